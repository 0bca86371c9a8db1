#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, asking apt only when
# one of them is missing, so a prepared machine does not wait on the package lists.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libglfw3-dev libgl-dev libgl1-mesa-dri libx11-dev libopenal-dev libopenal1 libstb-dev libvorbis-dev zlib1g-dev
  libpng-dev libspng-dev
  libgtest-dev clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils x11-apps imagemagick
  desktop-file-utils appstream
  python3
  # Packaging: the .deb (CPack asks dpkg-dev's dpkg-shlibdeps and file) and its lint.
  dpkg-dev file lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages and not root: run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
