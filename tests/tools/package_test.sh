#!/usr/bin/env bash
# The Debian packages as a packager and a player meet them: CPack builds from this build into
# a scratch folder, leaving the install manifest, the game's .deb, its -dbgsym package and the
# brambolt3-data package (Architecture all, Multi-Arch foreign) on which the game depends at
# its own version; the game's Depends also names the program's libraries; the program is
# stripped into the debug package, which holds its symbols, and carries Debian's hardening
# (PIE, bind-now, stack protector, fortified calls); lintian reports no error and no warning
# on any of the three, nor a hardening note; `dpkg --root` installs them into a throwaway
# root with the files in the Debian games layout, the launcher from there answers --version
# and starts the game, which F4 ends with status 0; removing the packages leaves no file.
# The build folder's own type is the one checked: the README gives the command that checks a
# Release build the same way.
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
data="$work/brambolt3-data_${version}_all.deb"
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
echo "build type: ${build_type:-none}"
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
check "data package named brambolt3-data_VERSION_all.deb" test -s "$data"
check "exactly these three packages" \
  test "$(find "$work" -maxdepth 1 -name '*deb' | wc -l)" -eq 3
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglfw3 libopenal1 libvorbisfile3 libpng16-16 libc6; do
  check "Depends names $library" grep -q "\b$library\b" <<<"$depends"
done
check "the game depends on the data of its own version" \
  grep -qF "brambolt3-data (= $version)" <<<"$depends"
check "section games" test "$(dpkg-deb -f "$deb" Section)" = games
check "data package is Architecture: all" test "$(dpkg-deb -f "$data" Architecture)" = all
check "data package is Multi-Arch: foreign" test "$(dpkg-deb -f "$data" Multi-Arch)" = foreign
check "data package depends on nothing" test -z "$(dpkg-deb -f "$data" Depends)"
check "the data is in the data package" \
  sh -c "dpkg-deb -c '$data' | grep '/usr/share/games/brambolt3/data/blocks_world001.png' >/dev/null"
check "the game's package holds no data" \
  sh -c "! dpkg-deb -c '$deb' | grep '/usr/share/games/' >/dev/null"
check "the data package holds only data and its documents" \
  sh -c "! dpkg-deb -c '$data' | grep -v -e ' ./usr/share/games/' -e ' ./usr/share/doc/brambolt3-data/' -e '/\$' >/dev/null"

# lintian's own scratch files go to the scratch folder, which the exit removes. Hardening
# that is missing shows only as notes (info), which are listed too.
mkdir -p "$work/tmp"
TMPDIR="$work/tmp" lintian --fail-on error,warning --display-info "$deb" "$ddeb" "$data" \
  >"$work/lintian.log" 2>&1
check "lintian finds no error and no warning in the three packages" test $? -eq 0
check "lintian notes no missing hardening" sh -c "! grep -q 'hardening-' '$work/lintian.log'"
grep -E '^[EWI]: ' "$work/lintian.log"

# Install into a throwaway root: dpkg keeps its own database there. The root has none of the
# libraries, so their dependencies are not checked; nor is the PATH for dpkg's helper tools.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$root" --force-depends --force-not-root --force-bad-path "$@"; }
dpkg_root -i "$data" "$deb" >"$work/dpkg.log" 2>&1
check "dpkg --root installs the packages" test $? -eq 0
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
symbols="$work/symbols"
dpkg-deb -x "$ddeb" "$symbols"
debug_file="$symbols/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug"
# (readelf complains of the debug file's emptied interpreter section; the complaint is dropped.)
check "debug package holds the program's symbols" \
  sh -c "readelf -S '$debug_file' 2>/dev/null | grep -q '\.debug_info'"
# Debian's hardening: a position-independent executable, every symbol bound at start
# (bind-now) in read-only relocations, the stack protector and fortified library calls.
check "program is a PIE" sh -c "readelf -h '$program' | grep -q 'Type: *DYN'"
check "program binds every symbol at start" sh -c "readelf -d '$program' | grep -q 'BIND_NOW'"
check "program has read-only relocations" sh -c "readelf -lW '$program' 2>/dev/null | grep -q GNU_RELRO"
check "program has the stack protector" \
  sh -c "readelf --dyn-syms -W '$program' | grep -q '__stack_chk_fail'"
check "program calls fortified functions" \
  sh -c "readelf --dyn-syms -W '$program' | grep -q '__[a-z]*_chk@'"

check "--version" test "$("$root/usr/games/brambolt3" --version)" = "brambolt3 $version"
home="$work/home"
mkdir -p "$home"
start_game "$work/game.log" env HOME="$home" XDG_DATA_HOME= "$root/usr/games/brambolt3"
check "window opens" test -n "$window"
quit_game
check "F4 ends with status 0 through the launcher" test "$status" -eq 0

dpkg_root -r brambolt3 brambolt3-data >>"$work/dpkg.log" 2>&1
check "dpkg --root removes the packages" test $? -eq 0
check "removal leaves no file" test -z "$(find "$root/usr" -type f -o -type l)"

[ "$failures" -eq 0 ] || { cat "$work/dpkg.log"; echo "--- game output"; cat "$work/game.log"; }
exit $(( failures > 0 ))
