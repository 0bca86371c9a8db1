#!/usr/bin/env bash
# Runs one test command under a private Xvfb server (Mesa's software renderer), so display
# tests neither need a real screen nor share focus with each other.
set -euo pipefail
export LIBGL_ALWAYS_SOFTWARE=1
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
