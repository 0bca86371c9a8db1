#!/usr/bin/env bash
# Checks for the Debian packages a task needs and installs the missing ones, asking apt only
# when something is missing, so a prepared machine does not wait on the package lists.
#   tools/deps.sh run    what building and playing the game needs (./run.sh)
#   tools/deps.sh test   that, plus what the tests, sanitizer and fuzz runs add (./test.sh)
#   tools/deps.sh web    what building, serving and testing the browser build adds to run
#                        (tools/web/build.sh); it also adds a deb-src entry for Debian's archive
#                        when apt has none, since the web libraries are built from source packages
#   tools/deps.sh list run|test|web   prints the set, one package a line, and changes nothing
# As root the missing packages are installed. As anyone else nothing is installed: the script
# names the missing packages, prints the apt-get line to run as root, and exits 1.
set -euo pipefail

# Compiler, build system and the libraries the game and its data generator link; dpkg-dev's
# dpkg-buildflags gives the build Debian's hardening flags.
RUN_PACKAGES=(
  build-essential dpkg-dev cmake pkg-config
  libglfw3-dev libgl-dev libgl1-mesa-dri libopenal-dev libopenal1
  libpng-dev libvorbis-dev zlib1g-dev libstb-dev
)

# What the tests add: GoogleTest, the decoder benchmark's libspng, a virtual display and the
# X tools that drive and photograph it, ImageMagick for the screenshots, the desktop-file and
# AppStream validators of the install test, Python for its HTTP test server and the screenshot
# tool, clang with its sanitizer runtimes for the fuzz targets, and what the package test uses
# to make and lint the .deb (file for CPack, lintian; dpkg-dev is in the run set).
TEST_PACKAGES=(
  libgtest-dev libspng-dev libx11-dev
  xvfb xauth xdotool x11-utils x11-apps imagemagick
  desktop-file-utils appstream
  python3
  clang libclang-rt-14-dev
  file lintian
)

# The browser build: Debian's emscripten, what `apt-get source` unpacks and patches with, Python
# for the local server, Chromium for the browser tests and Node.js for their driver (npm comes
# with a Node.js that is not Debian's; Debian's own needs its npm package).
WEB_PACKAGES=(
  emscripten dpkg-dev xz-utils python3 chromium nodejs
)

usage() {
  echo "usage: tools/deps.sh run|test|web | tools/deps.sh list run|test|web" >&2
  exit 2
}

wanted() {
  case "$1" in
  run) printf '%s\n' "${RUN_PACKAGES[@]}" ;;
  test) printf '%s\n' "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ;;
  web)
    printf '%s\n' "${RUN_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
    command -v npm >/dev/null || echo npm
    ;;
  *) usage ;;
  esac
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

[ $# -ge 1 ] || usage
if [ "$1" = "list" ]; then
  [ $# -eq 2 ] || usage
  wanted "$2"
  exit 0
fi
set_name="$1"
case "$set_name" in run | test | web) ;; *) usage ;; esac
mapfile -t packages < <(wanted "$set_name")

# `apt-get source` needs a deb-src entry: one for Debian's main archive, as its binary entry
# names it (the security archive's sources are not always served where its packages are).
has_deb_src() {
  grep -Eqs '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
}
add_deb_src() {
  local file=/etc/apt/sources.list.d/brambolt3-deb-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # The first stanza whose address is not the security archive's, as deb-src.
    awk 'BEGIN { RS = ""; ORS = "\n\n" } !/debian-security/ && !done { sub(/Types: deb\n/, "Types: deb-src\n"); print; done = 1 }' \
      /etc/apt/sources.list.d/debian.sources >"$file"
  else
    sed -n '/security/!s/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"${file%.sources}.list"
  fi
  echo "Added a deb-src entry for Debian's archive; updating the package lists"
  apt-get update -qq
}
if [ "$set_name" = "web" ] && ! has_deb_src; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "apt has no deb-src entry, which 'apt-get source' needs for the web libraries:" >&2
    echo "  add one for Debian's archive as root, then run this again" >&2
    exit 1
  fi
  add_deb_src
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages for '$set_name': ${missing[*]}" >&2
  echo "Install them as root, then run this again:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Installing the missing Debian packages for '$set_name': ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
still=()
for p in "${missing[@]}"; do
  installed "$p" || still+=("$p")
done
if [ ${#still[@]} -gt 0 ]; then
  echo "apt-get did not install: ${still[*]}" >&2
  exit 1
fi
echo "Installed: ${missing[*]}"
