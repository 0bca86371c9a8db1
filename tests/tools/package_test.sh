#!/usr/bin/env bash
# The Debian package as a packager and a player meet it: CPack builds the .deb and its -dbgsym
# package from this build into a scratch folder, leaving the install manifest; the .deb has the Debian name, a Depends
# computed from the program's libraries and a stripped program whose symbols are in the
# debug package; lintian finds no error in either; `dpkg --root` installs it into a throwaway
# root with the files in the Debian games layout, the launcher from there answers --version
# and starts the game, which F4 ends with status 0; removing the package leaves no file.
# Usage: package_test.sh BUILD_DIR (under a display: tests/with-xvfb.sh).
set -uo pipefail
build="$1"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work=$(mktemp -d)
source "$repo/tests/tools/launcher_checks.sh"
trap 'restore_manifest; rm -rf "$work"' EXIT
keep_manifest "$build"

version=$(grep -o 'CMAKE_PROJECT_VERSION:STATIC=.*' "$build/CMakeCache.txt" | cut -d= -f2)
arch=$(dpkg --print-architecture)
deb="$work/brambolt3_${version}_${arch}.deb"
ddeb="$work/brambolt3-dbgsym_${version}_${arch}.ddeb"
echo "/the/last/install" >"$build/install_manifest.txt"
cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  echo "FAILED: cpack"
  exit 1
}
# Packaging installs into a staging folder; the manifest of the last real install must stay,
# or the uninstall target would remove the package's files from /usr.
check "packaging leaves the install manifest alone" \
  test "$(cat "$build/install_manifest.txt")" = "/the/last/install"
check "package named brambolt3_VERSION_ARCH.deb" test -s "$deb"
check "debug package" test -s "$ddeb"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglfw3 libopenal1 libvorbisfile3 libpng16-16 libc6; do
  check "Depends names $library" grep -q "\b$library\b" <<<"$depends"
done
check "section games" test "$(dpkg-deb -f "$deb" Section)" = games

# lintian's own scratch files go to the scratch folder, which the exit removes.
mkdir -p "$work/tmp"
TMPDIR="$work/tmp" lintian --fail-on error "$deb" "$ddeb" >"$work/lintian.log" 2>&1
check "lintian finds no error in either package" test $? -eq 0
grep -E '^[EW]: ' "$work/lintian.log"

# Install into a throwaway root: dpkg keeps its own database there. The root has none of the
# libraries, so their dependencies are not checked; nor is the PATH for dpkg's helper tools.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$root" --force-depends --force-not-root --force-bad-path "$@"; }
dpkg_root -i "$deb" >"$work/dpkg.log" 2>&1
check "dpkg --root installs the package" test $? -eq 0
program="$root/usr/lib/games/brambolt3/brambolt3"
check "launcher in /usr/games" test -x "$root/usr/games/brambolt3"
check "program in /usr/lib/games/brambolt3" test -x "$program"
check "data in /usr/share/games/brambolt3/data" \
  test -s "$root/usr/share/games/brambolt3/data/blocks_world001.png"
check "copyright" grep -q "^License: Expat" "$root/usr/share/doc/brambolt3/copyright"
check "man page" test -s "$root/usr/share/man/man6/brambolt3.6.gz"
check "menu entry names the launcher by name" \
  grep -qx "Exec=brambolt3" "$root/usr/share/applications/brambolt3.desktop"
check "program is stripped" sh -c "! readelf -S '$program' | grep -q '\.debug_info'"
build_id=$(readelf -n "$program" | sed -n 's/.*Build ID: \([0-9a-f]*\).*/\1/p')
check "debug package holds the program's symbols" \
  sh -c "dpkg-deb -c '$ddeb' | grep -q '/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug'"

check "--version" test "$("$root/usr/games/brambolt3" --version)" = "brambolt3 $version"
home="$work/home"
mkdir -p "$home"
start_game "$work/game.log" env HOME="$home" XDG_DATA_HOME= "$root/usr/games/brambolt3"
check "window opens" test -n "$window"
quit_game
check "F4 ends with status 0 through the launcher" test "$status" -eq 0

dpkg_root -r brambolt3 >>"$work/dpkg.log" 2>&1
check "dpkg --root removes the package" test $? -eq 0
check "removal leaves no file" test -z "$(find "$root/usr" -type f -o -type l)"

[ "$failures" -eq 0 ] || { cat "$work/dpkg.log"; echo "--- game output"; cat "$work/game.log"; }
exit $(( failures > 0 ))
