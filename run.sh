#!/usr/bin/env bash
# Installs what building and playing need, builds the game and its data generator, generates
# the data folder and starts the game in a window, from the repository root (where it reads
# ./data/ and writes ./.zembrastate). The test tools are not needed: ./test.sh adds them.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
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
[ -f build/CMakeCache.txt ] || options=(-DBRAMBOLT_TESTS=OFF)
tools/build.sh "$root/build" "${options[@]}" -- brambolt3 assetgen
# The data folder is generated again only when the generator has changed since.
generator=build/tools/assetgen/assetgen
if [ ! -f data/.generated ] || [ "$generator" -nt data/.generated ]; then
  echo "Generating the data folder (images, sounds and music; about a minute)..."
  "$generator" "$root/data"
  touch data/.generated
fi
exec build/brambolt3
