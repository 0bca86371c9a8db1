# shellcheck shell=bash
# Shell helpers of the install and package tests, sourced by both: `check` runs one check and
# counts the failures, `keep_manifest` saves the build's install_manifest.txt (which every
# install of the build rewrites) and puts it back when the test ends, and `start_game` /
# `quit_game` start an installed launcher under the test's display and end it with F4.
# Expects `work` (a scratch folder the caller removes) to be set.

failures=0
game_pid=""
check() { # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

keep_manifest() { # keep_manifest BUILD_DIR
  manifest="$1/install_manifest.txt"
  if [ -f "$manifest" ]; then cp -p "$manifest" "$work/manifest.kept"; fi
}
restore_manifest() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null
  if [ -f "$work/manifest.kept" ]; then
    cp -p "$work/manifest.kept" "$manifest"
  else
    rm -f "$manifest"
  fi
}

# start_game LOG COMMAND...: runs the command in the background and sets game_pid and window
# (empty when no window named Brambolt3 appeared within 30 seconds).
start_game() {
  local log="$1"
  shift
  "$@" >"$log" 2>&1 &
  game_pid=$!
  window=$(timeout 30 xdotool search --sync --name '^Brambolt3$' | head -1)
}

# quit_game: presses F4 in the game's window and sets status to the launcher's exit status
# (124 when it has not ended within 30 seconds).
quit_game() {
  if [ -n "$window" ]; then
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key --window "$window" F4
  fi
  status=124
  for _ in $(seq 1 150); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid"
      status=$?
      break
    fi
    sleep 0.2
  done
  game_pid=""
}
