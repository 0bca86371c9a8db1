#!/usr/bin/env bash
# Installs what is missing, builds (which generates the data folder) and starts the game in a
# window from the repository root (where it reads ./data/ and writes ./.zembrastate).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
tools/deps.sh
tools/build.sh "$root/build"
# The build generates build/data (a line per stage, again only when the generator has
# changed); ./data links to it. A folder an older run.sh generated here gives way to the link.
if [ -f data/.generated ] && [ ! -L data ]; then rm -rf data; fi
[ -e data ] || ln -sfn build/data data
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: DISPLAY is not set, so the game cannot open its window." >&2
  echo "Run it from a desktop session, or under a virtual one: xvfb-run ./run.sh" >&2
  exit 1
fi
exec build/brambolt3
