#!/usr/bin/env bash
# Fuzzes the decoders and parsers of tests/fuzz: builds them with clang, libFuzzer and the
# address and UB sanitizers into build-fuzz (the main build stays gcc), seeds each corpus
# (the generated data folder for the WAV, OGG and PNG readers, tests/fuzz/seeds for the
# rest), then runs every target for SECONDS, as many at once as there are cores. Corpora
# grow in build-fuzz/corpus between runs; a crash, leak, timeout or oversized allocation is
# kept in build-fuzz/findings and fails the run. Prints each target's executions.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]   (default 60 seconds, every target)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
all=(fuzz_wav fuzz_ogg fuzz_png fuzz_url fuzz_http fuzz_databuffer fuzz_text fuzz_state)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
build="$root/build-fuzz"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is not installed" >&2
  exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRAMBOLT_FUZZ=ON -DBUILD_TESTING=OFF -DBRAMBOLT_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target fuzz_all >"$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log" >&2; exit 1; }

# The main build's generated data, made again only when the generator changed.
main="$root/build"
[ -f "$main/CMakeCache.txt" ] || cmake -S "$root" -B "$main" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$main" -j "$(nproc)" --target data >/dev/null
data="$main/data"

# smallest N PATTERN: the N smallest generated files matching PATTERN.
smallest() { find "$data" -name "$2" -printf '%s %p\n' | sort -n | head -n "$1" | cut -d' ' -f2-; }
seed() {
  local target="$1" corpus="$build/corpus/$1"
  mkdir -p "$corpus"
  case "$target" in
  fuzz_wav) for f in $(smallest 4 '*.wav'); do cp "$f" "$corpus/"; done ;;
  fuzz_png) for f in $(smallest 6 '*.png'); do cp "$f" "$corpus/"; done ;;
  fuzz_ogg) # the headers and first pages of the shortest tunes: whole pages decode as far as they go
    for f in $(smallest 2 '*.ogg'); do head -c 12000 "$f" >"$corpus/$(basename "$f").head"; done ;;
  *) cp "$root/tests/fuzz/seeds/${target#fuzz_}"/* "$corpus/" 2>/dev/null || true ;;
  esac
}

run() {
  local target="$1" log="$build/logs/$1.log"
  seed "$target"
  mkdir -p "$build/findings"
  if "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
    "$build/corpus/$target" >"$log" 2>&1; then
    local runs
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz: $target: ${runs:-?} executions in $seconds s, no finding"
  else
    echo "fuzz: $target: FINDING (see $log and $build/findings)" >&2
    grep -m 5 -E 'ERROR|SUMMARY|deadly|runtime error' "$log" >&2 || true
    return 1
  fi
}

mkdir -p "$build/logs"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
status=0
pids=()
for target in "${targets[@]}"; do
  run "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$(nproc)" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
