#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the CTest suite (display and
# end-to-end tests start their own Xvfb server with Mesa's software renderer), the threaded
# code under ThreadSanitizer, and every fuzz target for a few seconds. Ends with a summary:
# each stage passed or failed, with its time, the names of what failed, and the exit status
# (0 only when every stage passed).
# BRAMBOLT_SANITIZE=1 ./test.sh builds into build-asan with address and UB sanitizers.
# BRAMBOLT_FUZZ_SECONDS sets how long each fuzz target runs (default 10; 0 skips fuzzing).
# BRAMBOLT_CTEST_ARGS adds arguments to ctest (e.g. "-L unit" or "--repeat until-fail:3").
# BRAMBOLT_WEB=0 skips the browser stage (the browser build in headless Chromium).
set -uo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"

if [ "${BRAMBOLT_SANITIZE:-0}" = "1" ]; then
  build="$root/build-asan"
  build_options=(-DBUILD_TESTING=ON -DBRAMBOLT_WERROR=ON -DBRAMBOLT_SANITIZE=ON)
else
  build="$root/build"
  build_options=(-DBUILD_TESTING=ON -DBRAMBOLT_WERROR=ON)
fi
logs="$root/build-logs"
mkdir -p "$logs"

# One row of the summary per stage: name, verdict, seconds, detail.
rows=()
passed=0
failed=0
status=0
record() { # record STAGE VERDICT SECONDS DETAIL
  rows+=("$(printf '%-18s %-8s %5s s  %s' "$1" "$2" "$3" "$4")")
  [ "$2" = "FAILED" ] && status=1
}
# Runs a stage's command with its output shown and kept in build-logs/STAGE.log; returns its
# status and leaves the seconds it took in $took.
run_stage() { # run_stage STAGE COMMAND...
  local stage="$1" start
  shift
  echo "== $stage =="
  start=$(date +%s)
  "$@" 2>&1 | tee "$logs/$stage.log"
  local result=${PIPESTATUS[0]}
  took=$(($(date +%s) - start))
  return "$result"
}
# Adds a stage's own count, the last "STAGE: N passed, N failed" line of its log, to the totals
# (one failure for a failed stage that printed none), and leaves "N passed, N failed" in
# $counted.
add_counts() { # add_counts STAGE RESULT
  local line
  line=$(grep -E "^$1: [0-9]+ passed, [0-9]+ failed" "$logs/$1.log" | tail -1)
  counted="${line#"$1": }"
  if [ -n "$line" ]; then
    passed=$((passed + $(echo "$line" | awk '{print $2}')))
    failed=$((failed + $(echo "$line" | awk '{print $4}')))
  elif [ "$2" -ne 0 ]; then
    failed=$((failed + 1))
  fi
}

# 1. Packages.
if run_stage packages tools/deps.sh test; then
  record packages passed "$took" ""
else
  record packages FAILED "$took" "see the lines above for what is missing"
fi

# 2. Build.
built=0
if [ $status -eq 0 ]; then
  if run_stage build tools/build.sh "$build" "${build_options[@]}"; then
    record build passed "$took" "$build"
    built=1
  else
    record build FAILED "$took" "build-logs/build.log"
  fi
fi

if [ $built -eq 1 ]; then
  # 3. The CTest suite.
  read -r -a ctest_args <<<"${BRAMBOLT_CTEST_ARGS:-}"
  run_stage tests bash -c 'cd "$1" && shift && ctest --output-on-failure -j "$(nproc)" "$@"' \
    _ "$build" "${ctest_args[@]}"
  result=$?
  counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' \
    "$logs/tests.log" | tail -1)
  if [ -n "$counts" ]; then
    read -r bad total <<<"$counts"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  names=""
  if [ -f "$build/Testing/Temporary/LastTestsFailed.log" ] && [ $result -ne 0 ]; then
    names=$(cut -d: -f2 "$build/Testing/Temporary/LastTestsFailed.log" | tr '\n' ' ')
  fi
  if [ $result -eq 0 ]; then
    record tests passed "$took" "${counts:+$((total - bad)) of $total}"
  else
    [ -n "$counts" ] || failed=$((failed + 1))
    record tests FAILED "$took" "failed: ${names:-see build-logs/tests.log}"
  fi

  # 4. ThreadSanitizer.
  run_stage tsan tests/sanitizers/tsan.sh "$root"
  result=$?
  add_counts tsan "$result"
  if [ $result -eq 0 ]; then
    record "thread sanitizer" passed "$took" "$counted"
  else
    names=$(sed -n 's/^tsan: \([a-z_]*\) FAILED.*/\1/p' "$logs/tsan.log" | sort -u | tr '\n' ' ')
    record "thread sanitizer" FAILED "$took" "failed: ${names:-see build-logs/tsan.log}"
  fi

  # 5. Fuzzing.
  fuzz_seconds="${BRAMBOLT_FUZZ_SECONDS:-10}"
  if [ "$fuzz_seconds" = "0" ]; then
    record fuzz skipped 0 "BRAMBOLT_FUZZ_SECONDS=0"
  else
    run_stage fuzz tools/fuzz.sh "$fuzz_seconds"
    result=$?
    good=$(grep -c ', no finding$' "$logs/fuzz.log")
    bad=$(grep -c ': FINDING' "$logs/fuzz.log")
    passed=$((passed + good))
    failed=$((failed + bad))
    if [ $result -eq 0 ]; then
      record fuzz passed "$took" "$good targets, $fuzz_seconds s each, no finding"
    else
      [ "$bad" -gt 0 ] || failed=$((failed + 1))
      names=$(sed -n 's/^fuzz: \([a-z_]*\): FINDING.*/\1/p' "$logs/fuzz.log" | tr '\n' ' ')
      record fuzz FAILED "$took" "failed: ${names:-the fuzz build, see build-logs/fuzz.log}"
    fi
  fi

  # 6. The browser build, tested on its page in headless Chromium.
  if [ "${BRAMBOLT_WEB:-1}" = "0" ]; then
    record web skipped 0 "BRAMBOLT_WEB=0"
  else
    run_stage web tests/web/run.sh
    result=$?
    add_counts web "$result"
    if [ $result -eq 0 ]; then
      record web passed "$took" "$counted"
    else
      names=$(sed -n 's/^web: FAILED \([^:]*\):.*/\1/p' "$logs/web.log" | tr '\n' ';')
      record web FAILED "$took" "failed: ${names:-see build-logs/web.log}"
    fi
  fi
fi

echo
echo "== Summary (logs in build-logs/) =="
for row in "${rows[@]}"; do echo "$row"; done
if [ $status -eq 0 ]; then
  echo "Result: every stage passed (exit status 0)"
else
  echo "Result: FAILED (exit status 1)"
fi
echo "test.sh: $passed passed, $failed failed"
exit $status
