#!/usr/bin/env bash
# Configures (once) and builds the project into a build folder; later runs are incremental.
# Usage: tools/build.sh [build-dir] [extra cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j "$(nproc)"
