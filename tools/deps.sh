#!/usr/bin/env bash
# Checks for the Debian packages a task needs and installs the missing ones, asking apt only
# when something is missing, so a prepared machine does not wait on the package lists.
#   tools/deps.sh run    what building and playing the game needs (./run.sh)
#   tools/deps.sh test   that, plus what the tests, sanitizer and fuzz runs add (./test.sh)
#   tools/deps.sh list run|test   prints the set, one package a line, and changes nothing
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

usage() {
  echo "usage: tools/deps.sh run|test | tools/deps.sh list run|test" >&2
  exit 2
}

wanted() {
  case "$1" in
  run) printf '%s\n' "${RUN_PACKAGES[@]}" ;;
  test) printf '%s\n' "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ;;
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
case "$set_name" in run | test) ;; *) usage ;; esac
mapfile -t packages < <(wanted "$set_name")

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
