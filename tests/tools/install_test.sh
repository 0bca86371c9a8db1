#!/usr/bin/env bash
# The installed game as a player meets it: `cmake --install` into a temporary prefix, the menu
# entry and metainfo pass their validators, the launcher answers --help and --version, starts
# the game from another working directory with the player's folder under a fake home (where
# the state file lands once the game saves), passes the game's exit status through, and
# refuses a missing data folder or an unwritable player folder with one line and status 1.
# Usage: install_test.sh BUILD_DIR (under a display: tests/with-xvfb.sh).
set -uo pipefail
build="$1"
work=$(mktemp -d)
game_pid=""
other_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() { # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  echo "FAILED: cmake --install"
  exit 1
}
launcher="$prefix/games/brambolt3"

check "desktop entry validates" desktop-file-validate "$prefix/share/applications/brambolt3.desktop"
check "metainfo validates" appstreamcli validate --no-net \
  "$prefix/share/metainfo/io.brambolt3.Brambolt3.metainfo.xml"
for size in 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/brambolt3.png"
  check "icon ${size}x${size}" test "$(identify -format %wx%h "$icon" 2>/dev/null)" = "${size}x${size}"
done
check "man page" test -s "$prefix/share/man/man6/brambolt3.6"
check "data folder" test -s "$prefix/share/games/brambolt3/data/blocks_world001.png"
check "--version" test "$("$launcher" --version)" = "brambolt3 $(grep -o 'CMAKE_PROJECT_VERSION:STATIC=.*' "$build/CMakeCache.txt" | cut -d= -f2)"
check "--help names the state file" sh -c "'$launcher' --help | grep -q '.zembrastate'"
"$launcher" --bogus >/dev/null 2>&1
check "unknown option is status 2" test $? -eq 2

# Start from an unrelated working directory with a fake home.
home="$work/home"
mkdir -p "$home" "$work/elsewhere"
(cd "$work/elsewhere" && HOME="$home" XDG_DATA_HOME= exec "$launcher" >"$work/game.log" 2>&1) &
game_pid=$!
window=$(timeout 30 xdotool search --sync --name '^Brambolt3$' | head -1)
check "window opens" test -n "$window"
player="$home/.local/share/brambolt3"
check "player folder links the data" test -L "$player/data"
if [ -n "$window" ]; then
  sleep 3
  xdotool windowfocus --sync "$window" 2>/dev/null
  # Another window takes the focus: the game suspends and saves.
  xmessage -geometry 100x50+500+400 focus >/dev/null 2>&1 &
  other_pid=$!
  other=$(timeout 10 xdotool search --sync --name '^xmessage$' | head -1)
  [ -n "$other" ] && xdotool windowfocus --sync "$other" 2>/dev/null
  for _ in $(seq 1 50); do [ -s "$player/.zembrastate" ] && break; sleep 0.2; done
  check "state file in the player's folder" test -s "$player/.zembrastate"
  check "no state file in the working directory" test ! -e "$work/elsewhere/.zembrastate"
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key --window "$window" F4
fi
status=124
for _ in $(seq 1 50); do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    wait "$game_pid"
    status=$?
    break
  fi
  sleep 0.2
done
game_pid=""
check "F4 ends with status 0 through the launcher" test "$status" -eq 0

# Bad input: one line on standard error and status 1.
mv "$prefix/share/games/brambolt3/data" "$prefix/share/games/brambolt3/data.away"
HOME="$home" "$launcher" >/dev/null 2>"$work/err1"
status=$?
check "missing data folder is status 1" test "$status" -eq 1
check "missing data folder says one line" test "$(wc -l <"$work/err1")" -eq 1
mv "$prefix/share/games/brambolt3/data.away" "$prefix/share/games/brambolt3/data"
touch "$work/not-a-folder"
XDG_DATA_HOME="$work/not-a-folder" "$launcher" >/dev/null 2>"$work/err2"
status=$?
check "unwritable player folder is status 1" test "$status" -eq 1
check "unwritable player folder says one line" test "$(wc -l <"$work/err2")" -eq 1

[ "$failures" -eq 0 ] || { echo "--- game output"; cat "$work/game.log"; }
exit $(( failures > 0 ))
