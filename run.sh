#!/usr/bin/env bash
# Installs what is missing, builds, generates the data folder and starts the game in a window
# from the repository root (where it reads ./data/ and writes ./.zembrastate).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
tools/deps.sh
tools/build.sh "$root/build"
# The data folder is generated again only when the generator has changed since.
generator=build/tools/assetgen/assetgen
if [ ! -f data/.generated ] || [ "$generator" -nt data/.generated ]; then
  "$generator" "$root/data"
  touch data/.generated
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: DISPLAY is not set, so the game cannot open its window." >&2
  echo "Run it from a desktop session, or under a virtual one: xvfb-run ./run.sh" >&2
  exit 1
fi
exec build/brambolt3
