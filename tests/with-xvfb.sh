#!/usr/bin/env bash
# Runs one test command under a private Xvfb server (Mesa's software renderer), so display
# tests neither need a real screen nor share focus with each other. Xvfb picks a free display
# number itself (-displayfd), so servers started side by side by parallel tests never clash.
set -uo pipefail
export LIBGL_ALWAYS_SOFTWARE=1
unset XAUTHORITY WAYLAND_DISPLAY

coproc XVFB { exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null; }
xvfb_pid=$XVFB_PID
if ! read -r -t 20 number <&"${XVFB[0]}"; then
  echo "Xvfb did not start" >&2
  kill "$xvfb_pid" 2>/dev/null
  exit 1
fi
export DISPLAY=":$number"

"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
