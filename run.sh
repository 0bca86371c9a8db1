#!/usr/bin/env bash
# Installs what building and playing need, builds the game and its data folder and starts the
# game in a window, from the repository root (where it reads ./data/ and writes
# ./.zembrastate). The test tools are not needed: ./test.sh adds them.
# ./run.sh --web builds the browser version instead (tools/web/build.sh) and serves it on
# this machine, printing the address to open (BRAMBOLT_WEB_PORT sets the port, 8000 by default).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
if [ "${1:-}" = "--web" ]; then
  tools/web/build.sh build-web/site
  port="${BRAMBOLT_WEB_PORT:-8000}"
  echo "Brambolt3 in a browser: open http://localhost:$port/ (Ctrl+C stops the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
# Checked first: without a display the game cannot open its window, so building is no use.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: DISPLAY is not set, so the game cannot open its window." >&2
  echo "Run it from a desktop session, or under a virtual one: xvfb-run ./run.sh" >&2
  exit 1
fi
tools/deps.sh run
# A new build folder is configured without the tests, whose packages a player need not have;
# a folder that ./test.sh configured keeps its tests.
options=()
[ -f build/CMakeCache.txt ] || options=(-DBUILD_TESTING=OFF)
# The data target generates build/data (a line per stage, again only when the generator has
# changed); ./data links to it. A folder an older run.sh generated here gives way to the link.
tools/build.sh "$root/build" "${options[@]}" -- brambolt3 data
if [ -f data/.generated ] && [ ! -L data ]; then rm -rf data; fi
[ -e data ] || ln -sfn build/data data
exec build/brambolt3
