#!/usr/bin/env bash
# Configures and builds the project into a build folder; later runs are incremental.
# Usage: tools/build.sh [build-dir] [cmake options...] [-- targets...]
# The folder is configured when it is new or when options are given (cmake keeps them in its
# cache, so a later run without options keeps the last ones). With no targets, everything that
# is configured is built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then
    shift
    targets=("$@")
    break
  fi
  options+=("$1")
  shift
done
if [ ! -f "$build/CMakeCache.txt" ] || [ ${#options[@]} -gt 0 ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
fi
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$build" -j "$(nproc)"
fi
