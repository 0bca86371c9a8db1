#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Display and end-to-end tests start
# their own Xvfb server with Mesa's software renderer. Exits non-zero on any failure.
# BRAMBOLT_SANITIZE=1 ./test.sh builds into build-asan with address and UB sanitizers.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
tools/deps.sh

if [ "${BRAMBOLT_SANITIZE:-0}" = "1" ]; then
  build="$root/build-asan"
  tools/build.sh "$build" -DBRAMBOLT_SANITIZE=ON
else
  build="$root/build"
  tools/build.sh "$build"
fi

status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)") || status=1

if [ -x "$root/tests/net/tsan.sh" ]; then
  "$root/tests/net/tsan.sh" "$root" || status=1
fi
exit $status
