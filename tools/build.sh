#!/usr/bin/env bash
# Configures (once) and builds the project into a build folder; later runs are incremental.
# Options given are applied on every run, also to a folder configured before.
# Usage: tools/build.sh [build-dir] [extra cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
if [ ! -f "$build/CMakeCache.txt" ] || [ $# -gt 0 ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j "$(nproc)"
