#!/usr/bin/env bash
# Builds the tests of the code that hands work to other threads with ThreadSanitizer into their
# own build folder and runs them: the lock-free ring must hand every operation between the main
# thread and the worker without a data race, a request given up or opened again must not share
# a buffer with a worker, the image prefetcher's worker must hand its pixels over cleanly, and
# so must the audio device's music decoder, also when its track is abandoned or replaced
# while the previous one still fades out.
# Races wholly inside uninstrumented system libraries are suppressed by tsan.supp beside this
# script; a race with our code on either side still fails the run.
# Each run's output goes to build-tsan/logs/; a failing run's report is printed.
# Usage: tests/sanitizers/tsan.sh [repository root] [repeats]. Exits non-zero on failure.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "${1:-$here/../..}" && pwd)"
repeats="${2:-1}"
build="$root/build-tsan"
tests=(net/net_async_queue net/net_http_lifetime runtime/runtime_image_prefetch
  audio/audio_device audio/audio_fade)
targets=("${tests[@]##*/}")

# Configured every time, so a test added since the folder was made has its target.
if ! cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRAMBOLT_TSAN=ON -DBUILD_TESTING=ON -DBRAMBOLT_WERROR=ON >/dev/null ||
  ! cmake --build "$build" --target "${targets[@]}" -j "$(nproc)" >"$build/build.log" 2>&1; then
  tail -40 "$build/build.log" >&2 2>/dev/null
  echo "tsan: the ThreadSanitizer build failed"
  echo "tsan: 0 passed, ${#tests[@]} failed"
  exit 1
fi

# A report fails the run at once; the exit code tells it apart from a failed expectation.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$here/tsan.supp"
mkdir -p "$build/logs"
passed=0
failed=0
for test in "${tests[@]}"; do
  target="${test##*/}"
  for run in $(seq 1 "$repeats"); do
    log="$build/logs/$target.$run.log"
    timeout 600 "$build/tests/$test" --gtest_brief=1 >"$log" 2>&1
    status=$?
    # Some kernels place memory where the sanitizer cannot work; retry without address randomness.
    if [ $status -ne 0 ] && grep -q "unexpected memory mapping" "$log" && command -v setarch >/dev/null; then
      setarch "$(uname -m)" -R timeout 600 "$build/tests/$test" --gtest_brief=1 >"$log" 2>&1
      status=$?
    fi
    if [ $status -eq 0 ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "tsan: $target FAILED (run $run of $repeats, status $status; log $log):" >&2
      grep -E -A 30 'WARNING: ThreadSanitizer|Failure|FAILED' "$log" | head -80 >&2
    fi
  done
  echo "tsan: $target: $repeats run(s) done"
done
echo "tsan: $passed passed, $failed failed"
[ $failed -eq 0 ]
