#!/usr/bin/env bash
# The installed game as a player meets it. `cmake --install` into a fake home's ~/.local: the
# launcher lands in ~/.local/bin and starts by name from the PATH, the menu entry names it by
# full path, the install manifest lists exactly the files written, the menu entry and metainfo
# pass their validators, --help, the man page and the README list the same keys, a relative
# XDG_DATA_HOME is ignored, the launcher started through a chain of symbolic links finds the
# installed game, the game starts from another working directory with its state file in the
# player's folder and passes its exit status through, a missing data folder or an unwritable
# player folder is refused with one line and status 1, and the uninstall target leaves none
# of the game's files or folders but keeps the player's progress. Then an install to
# /usr/local (through DESTDIR) puts the launcher in games/ and a bare name in the menu entry,
# its launcher links the same player's folder to its own data in place of the old link
# (whether the old data is gone or still there), and the uninstall target with the same
# DESTDIR removes it.
# Usage: install_test.sh BUILD_DIR (under a display: tests/with-xvfb.sh).
set -uo pipefail
build="$1"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work=$(mktemp -d)
other_pid=""
source "$repo/tests/tools/launcher_checks.sh"
cleanup() {
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  restore_manifest
  rm -rf "$work"
}
trap cleanup EXIT
keep_manifest "$build"

home="$work/home"
prefix="$home/.local"
mkdir -p "$home" "$work/elsewhere"
HOME="$home" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  echo "FAILED: cmake --install"
  exit 1
}
export PATH="$prefix/bin:$PATH"
check "launcher on the PATH in ~/.local/bin" test "$(command -v brambolt3)" = "$prefix/bin/brambolt3"
desktop="$prefix/share/applications/brambolt3.desktop"
check "menu entry names the launcher by full path" grep -qx "Exec=$prefix/bin/brambolt3" "$desktop"
check "manifest lists every installed file" \
  diff <(sort "$build/install_manifest.txt") <(find "$prefix" -type f -o -type l | sort)

check "desktop entry validates" desktop-file-validate "$desktop"
check "metainfo validates" appstreamcli validate --no-net \
  "$prefix/share/metainfo/io.brambolt3.Brambolt3.metainfo.xml"
for size in 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/brambolt3.png"
  check "icon ${size}x${size}" test "$(identify -format %wx%h "$icon" 2>/dev/null)" = "${size}x${size}"
done
check "data folder" test -s "$prefix/share/games/brambolt3/data/blocks_world001.png"
check "licence" grep -q "MIT License" "$prefix/share/doc/brambolt3/copyright"
check "--version" test "$(brambolt3 --version)" = "brambolt3 $(grep -o 'CMAKE_PROJECT_VERSION:STATIC=.*' "$build/CMakeCache.txt" | cut -d= -f2)"
brambolt3 --bogus >/dev/null 2>&1
check "unknown option is status 2" test $? -eq 2

# Every key that --help names (the left column of its key list) is named by the man page and
# the README too, and the man page names every exit status the launcher and the game give.
man="$work/brambolt3.6"
zcat "$prefix/share/man/man6/brambolt3.6.gz" >"$man"
check "man page" test -s "$man"
keys=$(brambolt3 --help | sed -n '/^Keys:/,/^$/p' | sed -n 's/^  \([^ ]\(.*[^ ]\)\{0,1\}\)   .*/\1/p' | tr ',' '\n' |
  sed 's/^ *//')
check "--help lists keys" test "$(printf '%s\n' "$keys" | wc -l)" -ge 12
while IFS= read -r key; do
  check "man page names key '$key'" grep -qw -- "$key" "$man"
  check "README names key '$key'" grep -qw -- "$key" "$repo/README.md"
done <<<"$keys"
for status in 0 1 2 255; do
  check "man page lists exit status $status" grep -qx "\.B $status" "$man"
done

# --help names the state file; a relative XDG_DATA_HOME is ignored for HOME's default.
check "--help names the state file" sh -c "HOME='$home' brambolt3 --help | grep -q '$home/.local/share/brambolt3/.zembrastate'"
check "relative XDG_DATA_HOME is ignored" sh -c "HOME='$home' XDG_DATA_HOME=rel brambolt3 --help | grep -q '$home/.local/share/brambolt3/.zembrastate'"
check "absolute XDG_DATA_HOME is used" sh -c "XDG_DATA_HOME='$work/xdg' brambolt3 --help | grep -q '$work/xdg/brambolt3/.zembrastate'"

# A player links the launcher into a folder of their own, through a relative link and a link
# to that: the launcher still finds the program and the data beside its real place. Without a
# display the game itself starts and stops with 255 (the launcher's own refusals are 1).
mkdir -p "$work/links/deeper"
ln -s "$prefix/bin/brambolt3" "$work/links/brambolt3"
ln -s ../brambolt3 "$work/links/deeper/bolt"
check "--help through links names the installed data" \
  sh -c "'$work/links/deeper/bolt' --help | grep -qxF '  $prefix/share/games/brambolt3'"
env -u DISPLAY HOME="$work/link-home" XDG_DATA_HOME= "$work/links/deeper/bolt" \
  >"$work/linked.log" 2>&1
status=$?
check "launcher started through links starts the game, which has no display (255)" \
  test "$status" -eq 255
check "launcher started through links links the installed data" \
  test "$(readlink "$work/link-home/.local/share/brambolt3/data")" = \
  "$prefix/share/games/brambolt3/data"

# Start by name from an unrelated working directory with the fake home.
cd "$work/elsewhere" || exit 1
start_game "$work/game.log" env HOME="$home" XDG_DATA_HOME= brambolt3
check "window opens" test -n "$window"
player="$home/.local/share/brambolt3"
check "player folder links the data" test -L "$player/data"
if [ -n "$window" ]; then
  xdotool windowfocus --sync "$window" 2>/dev/null
  # Another window takes the focus: the game suspends and saves.
  xmessage -geometry 100x50+500+400 focus >/dev/null 2>&1 &
  other_pid=$!
  other=$(timeout 10 xdotool search --sync --name '^xmessage$' | head -1)
  [ -n "$other" ] && xdotool windowfocus --sync "$other" 2>/dev/null
  for _ in $(seq 1 150); do [ -s "$player/.zembrastate" ] && break; sleep 0.2; done
  check "state file in the player's folder" test -s "$player/.zembrastate"
  check "no state file in the working directory" test ! -e "$work/elsewhere/.zembrastate"
fi
quit_game
check "F4 ends with status 0 through the launcher" test "$status" -eq 0
cd "$work" || exit 1

# Bad input: one line on standard error and status 1.
mv "$prefix/share/games/brambolt3/data" "$prefix/share/games/brambolt3/data.away"
HOME="$home" brambolt3 >/dev/null 2>"$work/err1"
status=$?
check "missing data folder is status 1" test "$status" -eq 1
check "missing data folder says one line" test "$(wc -l <"$work/err1")" -eq 1
mv "$prefix/share/games/brambolt3/data.away" "$prefix/share/games/brambolt3/data"
touch "$work/not-a-folder"
XDG_DATA_HOME="$work/not-a-folder" brambolt3 >/dev/null 2>"$work/err2"
status=$?
check "unwritable player folder is status 1" test "$status" -eq 1
check "unwritable player folder says one line" test "$(wc -l <"$work/err2")" -eq 1

# Uninstall: nothing the install wrote is left, nor the game's own folders; progress stays.
cmake --build "$build" --target uninstall >"$work/uninstall.log" 2>&1
check "uninstall target runs" test $? -eq 0
left=$(find "$prefix" \( -type f -o -type l \) -not -path "$player/*")
check "uninstall leaves no file" test -z "$left"
check "uninstall removes the game's folders" \
  test -z "$(find "$prefix" -type d -name brambolt3 -not -path "$player")"
check "uninstall keeps the player's progress" test -s "$player/.zembrastate"

# A system-wide prefix, staged through DESTDIR: games/ and a bare name in the menu entry.
root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr/local >"$work/install2.log" 2>&1
check "install to /usr/local" test $? -eq 0
check "launcher in /usr/local/games" test -x "$root/usr/local/games/brambolt3"
check "no launcher in /usr/local/bin" test ! -e "$root/usr/local/bin/brambolt3"
check "menu entry names the launcher by name" \
  grep -qx "Exec=brambolt3" "$root/usr/local/share/applications/brambolt3.desktop"
# Moved by DESTDIR, the launcher still finds its program and data: without a display the game
# itself starts and stops with 255. The player's folder still links the data of the install
# removed above; the new install's launcher links its own data instead. Then the same with the
# old data still in place, where a link to a folder must be replaced, not followed.
new_data="$root/usr/local/share/games/brambolt3/data"
old_data="$prefix/share/games/brambolt3/data"
check "the player's folder still links the removed data" test "$(readlink "$player/data")" = "$old_data"
for old in removed present; do
  if [ "$old" = present ]; then
    mkdir -p "$work/old/data"
    ln -sfn "$work/old/data" "$player/data"
  fi
  env -u DISPLAY HOME="$home" XDG_DATA_HOME= "$root/usr/local/games/brambolt3" \
    >"$work/nodisplay.log" 2>&1
  status=$?
  check "moved install starts the game, which has no display (255), old data $old" \
    test "$status" -eq 255
  check "reinstall elsewhere links the player's folder to the new data, old data $old" \
    test "$(readlink "$player/data")" = "$new_data"
done
check "the old data folder is left as it was" test -z "$(ls -A "$work/old/data")"

DESTDIR="$root" cmake --build "$build" --target uninstall >"$work/uninstall2.log" 2>&1
check "uninstall with the same DESTDIR" test -z "$(find "$root" -type f -o -type l)"

[ "$failures" -eq 0 ] || { echo "--- game output"; cat "$work/game.log"; }
exit $(( failures > 0 ))
