#!/usr/bin/env bash
# Installs what is missing, builds, generates the data folder and starts the game in a window
# from the repository root (where it reads ./data/ and writes ./.zembrastate).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
tools/deps.sh
tools/build.sh "$root/build"
if [ -x build/tools/assetgen/assetgen ]; then
  build/tools/assetgen/assetgen "$root/data"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: DISPLAY is not set, so the game cannot open its window." >&2
  echo "Run it from a desktop session, or under a virtual one: xvfb-run ./run.sh" >&2
  exit 1
fi
exec build/brambolt3
