#!/usr/bin/env bash
# Builds the browser version of the game into a static site: tools/web/build.sh OUT writes
# OUT/index.html, brambolt3.js, brambolt3.wasm and the data packages (see docs/web.md).
# What it needs comes through tools/deps.sh web. zlib, libpng, libogg and libvorbis are built
# once with emcc from Debian's source packages into a cache outside the tree
# (${XDG_CACHE_HOME:-$HOME/.cache}/brambolt3-web, or BRAMBOLT_WEB_CACHE); the data comes from
# the desktop build's generator (build/data); the game is built by emcmake in build-web/.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
[ $# -eq 1 ] || {
  echo "usage: tools/web/build.sh OUT" >&2
  exit 2
}
out="$(mkdir -p "$1" && cd "$1" && pwd)"
cache="${BRAMBOLT_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brambolt3-web}"
prefix="$cache/prefix"
jobs="$(nproc)"
# Debian's node modules, for an emcc run by a Node.js that is not Debian's.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
# emscripten 3.1.6's code for Node.js loads its .wasm with fetch whenever Node has one, which
# fails on a file path: configure scripts that run test programs need Node without it.
export NODE_OPTIONS="${NODE_OPTIONS:+$NODE_OPTIONS }--no-experimental-fetch"

"$root/tools/deps.sh" web

# The source packages, in the order they depend on each other; a library is built once and
# marked done with its source version, so a new Debian version is built again.
LIBRARIES=(zlib libpng1.6 libogg libvorbis)

build_library() { # build_library PACKAGE SOURCE-FOLDER
  local package="$1" src="$2"
  local cmake_common=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_PREFIX_PATH="$prefix")
  case "$package" in
  zlib)
    (cd "$src" && CFLAGS=-O2 emconfigure ./configure --static --prefix="$prefix" &&
      emmake make -j "$jobs" libz.a && emmake make install) >/dev/null
    ;;
  libpng1.6)
    emcmake cmake -S "$src" -B "$src/web" "${cmake_common[@]}" -DPNG_SHARED=OFF -DPNG_TESTS=OFF \
      -DPNG_EXECUTABLES=OFF -DZLIB_INCLUDE_DIR="$prefix/include" \
      -DZLIB_LIBRARY="$prefix/lib/libz.a" >/dev/null
    cmake --build "$src/web" -j "$jobs" --target install >/dev/null
    ;;
  libogg | libvorbis)
    # Their CMake size checks fail under emcc; their configure scripts do not.
    (cd "$src" && CFLAGS=-O2 emconfigure ./configure --disable-shared --enable-static \
      --prefix="$prefix" --with-ogg="$prefix" --disable-oggtest --disable-docs \
      --disable-examples && emmake make -j "$jobs" && emmake make install) >/dev/null
    ;;
  esac
}

mkdir -p "$cache/src" "$prefix"
for package in "${LIBRARIES[@]}"; do
  version="$(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -V | tail -1)"
  stamp="$prefix/.done-$package-$version"
  [ -f "$stamp" ] && continue
  echo "web: building $package $version with emcc"
  work="$cache/src/$package"
  rm -rf "$work" && mkdir -p "$work"
  # The newest version the archive serves (a security update's source may not be there).
  fetched=0
  while read -r candidate; do
    if (cd "$work" && apt-get source -qq "$package=$candidate" >/dev/null 2>&1); then
      fetched=1
      break
    fi
  done < <(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -Vru)
  [ $fetched -eq 1 ] || {
    echo "web: apt-get source $package failed" >&2
    exit 1
  }
  build_library "$package" "$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -1)"
  rm -f "$prefix/.done-$package-"*
  touch "$stamp"
done

# The data, from the desktop build's generator (a new folder is configured without tests).
options=()
[ -f "$root/build/CMakeCache.txt" ] || options=(-DBUILD_TESTING=OFF)
"$root/tools/build.sh" "$root/build" "${options[@]}" -- data

# The game.
web_build="$root/build-web"
if [ ! -f "$web_build/CMakeCache.txt" ]; then
  emcmake cmake -S "$root" -B "$web_build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DBRAMBOLT_WERROR=ON -DKP_WEB_PREFIX="$prefix"
fi
cmake --build "$web_build" -j "$jobs" --target brambolt3

"$root/tools/web/package.sh" "$root/build/data" "$out"
cp "$web_build/tools/web/brambolt3.js" "$web_build/tools/web/brambolt3.wasm" "$out/"
# The page gets the game's own image-level thresholds.
assets="$root/game/c_MyApp_assets.cpp"
hd="$(sed -n 's/^constexpr int kHdAbove = \([0-9]*\);.*/\1/p' "$assets")"
hd2="$(sed -n 's/^constexpr int kHd2Above = \([0-9]*\);.*/\1/p' "$assets")"
[ -n "$hd" ] && [ -n "$hd2" ] || {
  echo "web: the image-level thresholds (kHdAbove, kHd2Above) are no longer in $assets" >&2
  exit 1
}
sed -e "s/@HD_ABOVE@/$hd/" -e "s/@HD2_ABOVE@/$hd2/" "$root/tools/web/shell.html" >"$out/index.html"
echo "web: the site is in $out"
