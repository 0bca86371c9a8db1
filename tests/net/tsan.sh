#!/usr/bin/env bash
# Builds only the tests of the code that hands work to other threads with ThreadSanitizer into
# their own build folder and runs them: the lock-free ring must hand every operation between the
# main thread and the worker without a data race, a request given up or opened again must not
# share a buffer with a worker, the image prefetcher's worker must hand its pixels over
# cleanly, and so must the audio device's music decoder, also when its track is abandoned.
# Usage: tests/net/tsan.sh [repository root]. Exits non-zero on failure.
set -euo pipefail
root="$(cd "${1:-$(dirname "$0")/../..}" && pwd)"
build="$root/build-tsan"
tests=(net/net_async_queue net/net_http_lifetime runtime/runtime_image_prefetch
  audio/audio_device)
targets=("${tests[@]##*/}")

# Configured every time, so a test added since the folder was made has its target.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRAMBOLT_TSAN=ON -DBUILD_TESTING=ON -DBRAMBOLT_WERROR=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$(nproc)"

# A report fails the run at once; the exit code tells it apart from a failed expectation.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1"
run() { timeout 300 "$build/tests/$test" "$@"; }
for test in "${tests[@]}"; do
  target="${test##*/}"
  # Some kernels place memory where the sanitizer cannot work; retry without address randomness.
  if ! run --gtest_brief=1 2>&1 | tee "$build/tsan-last.log"; then
    if grep -q "unexpected memory mapping" "$build/tsan-last.log" && command -v setarch >/dev/null; then
      setarch "$(uname -m)" -R timeout 300 "$build/tests/$test" --gtest_brief=1
    else
      exit 1
    fi
  fi
  echo "ThreadSanitizer run of $target passed"
done
