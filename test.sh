#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Display and end-to-end tests start
# their own Xvfb server with Mesa's software renderer. Exits non-zero on any failure.
# BRAMBOLT_SANITIZE=1 ./test.sh builds into build-asan with address and UB sanitizers.
# With clang installed, every fuzz target then runs for a few seconds (tools/fuzz.sh, in its
# own build-fuzz folder); BRAMBOLT_FUZZ_SECONDS changes how long, 0 skips them.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
tools/deps.sh

# Warnings are errors here (and so in CI), while a plain configure leaves them warnings.
if [ "${BRAMBOLT_SANITIZE:-0}" = "1" ]; then
  build="$root/build-asan"
  tools/build.sh "$build" -DBRAMBOLT_WERROR=ON -DBRAMBOLT_SANITIZE=ON
else
  build="$root/build"
  tools/build.sh "$build" -DBRAMBOLT_WERROR=ON
fi

status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)") || status=1

if [ -x "$root/tests/net/tsan.sh" ]; then
  "$root/tests/net/tsan.sh" "$root" || status=1
fi

fuzz_seconds="${BRAMBOLT_FUZZ_SECONDS:-10}"
if [ "$fuzz_seconds" != "0" ] && command -v clang++ >/dev/null 2>&1; then
  "$root/tools/fuzz.sh" "$fuzz_seconds" || status=1
fi
exit $status
