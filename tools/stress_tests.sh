#!/usr/bin/env bash
# Runs the test suite on a machine made busy on purpose, to show that a red run means a real
# fault and not a slow moment. Busy loops (two by default, one per core of a 2-core machine)
# run beside, in turn:
#   1. the unit, display and audio tests, each repeated until it fails or has passed N times
#      (ctest --repeat until-fail:N, default 10);
#   2. the ThreadSanitizer runs, each binary repeated (default 20 times);
#   3. ./test.sh as a whole (default 3 times).
# Prints the outcome and time of every step and a summary; exits 1 if any step failed. Logs
# are kept in build-logs/stress/.
# Usage: tools/stress_tests.sh [--busy N] [--ctest N] [--tsan N] [--full N]   (0 skips a step)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
busy=2
ctest_repeats=10
tsan_repeats=20
full_runs=3
while [ $# -gt 0 ]; do
  case "$1" in
  --busy) busy="$2" ;;
  --ctest) ctest_repeats="$2" ;;
  --tsan) tsan_repeats="$2" ;;
  --full) full_runs="$2" ;;
  *)
    echo "usage: tools/stress_tests.sh [--busy N] [--ctest N] [--tsan N] [--full N]" >&2
    exit 2
    ;;
  esac
  shift 2
done
logs="$root/build-logs/stress"
mkdir -p "$logs"

loops=()
stop_loops() {
  for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null; done
}
trap stop_loops EXIT
for _ in $(seq 1 "$busy"); do
  sh -c 'while :; do :; done' &
  loops+=($!)
done
echo "stress: $busy busy loop(s) running; load average now $(cut -d' ' -f1-3 /proc/loadavg)"

rows=()
status=0
step() { # step NAME LOG COMMAND...
  local name="$1" log="$2" start took result
  shift 2
  start=$(date +%s)
  "$@" >"$log" 2>&1
  result=$?
  took=$(($(date +%s) - start))
  local verdict=passed
  [ $result -eq 0 ] || { verdict=FAILED; status=1; }
  rows+=("$(printf '%-34s %-7s %6s s  load %s  (%s)' "$name" "$verdict" "$took" \
    "$(cut -d' ' -f1 /proc/loadavg)" "${log#"$root"/}")")
  echo "${rows[-1]}"
}

# The build the steps share, made before the clock of any step starts.
tools/deps.sh test >/dev/null && tools/build.sh "$root/build" -DBUILD_TESTING=ON -DBRAMBOLT_WERROR=ON >"$logs/build.log" 2>&1 ||
  { echo "stress: the build failed (see $logs/build.log)" >&2; exit 1; }

if [ "$ctest_repeats" -gt 0 ]; then
  step "unit+display+audio x$ctest_repeats" "$logs/ctest.log" \
    bash -c "cd build && ctest -L 'unit|display|audio' -j $(nproc) --output-on-failure --repeat until-fail:$ctest_repeats"
  grep -E 'tests passed|tests failed' "$logs/ctest.log" | tail -1
fi
if [ "$tsan_repeats" -gt 0 ]; then
  step "ThreadSanitizer x$tsan_repeats" "$logs/tsan.log" tests/sanitizers/tsan.sh "$root" "$tsan_repeats"
  grep -E '^tsan: [0-9]+ passed' "$logs/tsan.log" | tail -1
fi
for run in $(seq 1 "$full_runs"); do
  step "./test.sh run $run of $full_runs" "$logs/test-$run.log" ./test.sh
  grep -E '^test.sh: ' "$logs/test-$run.log" | tail -1
done

echo
echo "== Stress summary ($busy busy loops, $(nproc) cores) =="
for row in "${rows[@]}"; do echo "$row"; done
[ $status -eq 0 ] && echo "Result: every step passed" || echo "Result: FAILED"
exit $status
