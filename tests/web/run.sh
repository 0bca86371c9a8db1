#!/usr/bin/env bash
# The browser stage of ./test.sh: the browser tests (browser_test.js) on the built site, in
# Debian's Chromium, headless; then, under Node.js with the browser build's own code, the
# network layer's check (net_check.cpp, built with the site) and the stored level plans
# replayed (replay.sh). Each part prints "web: ok NAME" or "web: FAILED NAME: WHY" per check;
# this stage's last line counts them all, "web: N passed, N failed", and its exit status is 0
# only when every check passed.
root="$(cd "$(dirname "$0")/../.." && pwd)"
web_build="$root/build-web"
# A part's own count line: this stage prints the sum instead.
count='^web: [0-9]+ passed, [0-9]+ failed$'
passed=0
failed=0

# run_part NAME COMMAND...: runs one part with its lines shown, and counts its checks. A part
# that fails without a failed check of its own (a crash, a build that did not finish) counts as
# one failed check.
run_part() {
  local name="$1" log status ok bad
  shift
  log="$(mktemp)"
  "$@" 2>&1 | tee "$log" | grep --line-buffered -Ev "$count"
  status=${PIPESTATUS[0]}
  ok="$(grep -c '^web: ok ' "$log")"
  bad="$(grep -c '^web: FAILED ' "$log")"
  rm -f "$log"
  if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then
    echo "web: FAILED $name: exit status $status"
    bad=1
  fi
  passed=$((passed + ok))
  failed=$((failed + bad))
}

# The network check, built in the browser build's folder and run under Node. emcc needs
# Debian's node modules, and emscripten's code for Node loads its .wasm with fetch whenever
# Node has one, which fails on a file path.
net_check() {
  NODE_PATH="${NODE_PATH:-/usr/share/nodejs}" cmake --build "$web_build" -j "$(nproc)" --target web_net_check >/dev/null || {
    echo "web: FAILED the network check: it did not build with emcc"
    return 1
  }
  NODE_OPTIONS=--no-experimental-fetch node "$web_build/tools/web/web_net_check.js"
}

# The browser part builds the site, and with it the browser build's folder the others use.
run_part "the browser tests" "$root/tools/web/with-site.sh" "$root/tests/web/browser_test.js"
run_part "the network check" net_check
run_part "node replay" "$root/tests/web/replay.sh"

echo "web: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
