#!/usr/bin/env bash
# The stored level plans replayed by the browser build's code: builds the headless runner with
# emcc (the playtest target of build-web/, linked with the same game libraries as the page) and
# runs its replay under Node.js on every plan of tests/game/plans, held against the recorded
# figures as the desktop's runner tests hold them. Prints "web: ok node replay: ..." or a
# "web: FAILED node replay: ..." line after the lines of the plans that lost or differ, and
# exits 0 only when every level has a plan and every plan won with its recorded figures.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
web_build="$root/build-web"
plans_dir="$root/tests/game/plans"
figures="$plans_dir/figures.txt"
# Debian's node modules for emcc, and emscripten 3.1.6's loader reads its .wasm from a file
# only when Node.js has no fetch (see tools/web/build.sh).
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
export NODE_OPTIONS="${NODE_OPTIONS:+$NODE_OPTIONS }--no-experimental-fetch"

fail() {
  echo "web: FAILED node replay: $1"
  exit 1
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The browser build's folder is configured by the site's build, which this one runs when alone.
if [ ! -f "$web_build/CMakeCache.txt" ]; then
  "$root/tools/web/build.sh" "$web_build/site" || fail "the browser build did not build"
fi
cmake --build "$web_build" -j "$(nproc)" --target playtest >"$work/build.log" 2>&1 || {
  tail -30 "$work/build.log"
  fail "the runner did not build with emcc"
}

plans=("$plans_dir"/level-*.plan)
levels="$(grep -cE '^[0-9]' "$figures")"
[ "${#plans[@]}" -eq "$levels" ] ||
  fail "${#plans[@]} plans for the $levels levels of $(basename "$figures")"

start="$(date +%s.%N)"
node "$web_build/tools/playtest/playtest.js" replay --expect "$figures" "${plans[@]}" \
  >"$work/results" 2>"$work/errors"
status=$?
seconds="$(awk -v from="$start" -v to="$(date +%s.%N)" 'BEGIN { print to - from }')"

# A result line is "LEVEL KIND TARGET PARAM won|LOST FRAMES SCORE BESTSUPER SPIKES SECONDS".
won="$(awk '$5 == "won"' "$work/results" | wc -l)"
awk '$5 != "won" { print "web: replay: level " $1 " no longer wins: " $0 }' "$work/results"
sed -n 's/^playtest: /web: replay: /p' "$work/errors"
if [ $status -eq 0 ] && [ "$won" -eq "${#plans[@]}" ]; then
  printf 'web: ok node replay: %d plans won as recorded, %.1f s under Node.js\n' "$won" "$seconds"
  exit 0
fi
[ $status -le 1 ] || tail -20 "$work/errors"
differ="$(grep -c '^playtest: level' "$work/errors")"
fail "of ${#plans[@]} plans, $((${#plans[@]} - won)) lost and $differ played to other figures \
than recorded (runner exit status $status)"
