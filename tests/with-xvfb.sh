#!/usr/bin/env bash
# Runs one test command under a private Xvfb server (Mesa's software renderer), so display
# tests neither need a real screen nor share focus with each other. Each server takes a
# display number drawn at random from a wide range rather than the lowest free one: a number
# freed by a server that is still shutting down is then not taken again at once, so one
# server's clean-up can never remove the socket of the next. -noreset keeps the server from
# resetting whenever its last client leaves (a test's short xdotool calls), which would
# refuse a program that connects during the reset.
set -uo pipefail
export LIBGL_ALWAYS_SOFTWARE=1
# In sanitizer builds, the system's OpenGL and X11 libraries keep allocations for the life of
# the process; leak checking is left to the tests that run without them.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset XAUTHORITY WAYLAND_DISPLAY

xvfb_pid=""
for attempt in $(seq 1 30); do
  number=$(( 100 + RANDOM % 9000 ))
  [ -e "/tmp/.X${number}-lock" ] && continue
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -S "/tmp/.X11-unix/X${number}" ] && DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$xvfb_pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X${number}" ]; then
    break
  fi
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
done
if [ -z "$xvfb_pid" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$number"

"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
