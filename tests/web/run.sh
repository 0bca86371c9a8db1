#!/usr/bin/env bash
# The browser stage of ./test.sh: the browser tests (browser_test.js) on the built site, in
# Debian's Chromium, headless, then the network layer's check under Node (net_check.cpp, built
# with the site). Each part prints "web: ok NAME" or "web: FAILED NAME: WHY" per check and its
# own count; this stage's last line is their sum, "web: N passed, N failed", and its exit status
# is 0 only when every check passed.
root="$(cd "$(dirname "$0")/../.." && pwd)"
web_build="$root/build-web"
count='^web: [0-9]+ passed, [0-9]+ failed$'
passed=0
failed=0

# run_part NAME COMMAND...: runs one part with its lines shown, and adds its count. A part that
# fails without a failed check of its own (a crash, a build that did not finish) counts once.
run_part() {
  local name="$1" log status line part_passed=0 part_failed=0
  shift
  log="$(mktemp)"
  "$@" 2>&1 | tee "$log" | grep --line-buffered -Ev "$count"
  status=${PIPESTATUS[0]}
  line="$(grep -E "$count" "$log" | tail -1)"
  rm -f "$log"
  if [ -n "$line" ]; then
    part_passed="$(echo "$line" | awk '{print $2}')"
    part_failed="$(echo "$line" | awk '{print $4}')"
  fi
  if [ "$status" -ne 0 ] && [ "$part_failed" -eq 0 ]; then
    echo "web: FAILED $name: exit status $status"
    part_failed=1
  fi
  passed=$((passed + part_passed))
  failed=$((failed + part_failed))
}

# The site (and the Node checks with it) is built by the browser part.
run_part "the browser tests" "$root/tools/web/with-site.sh" "$root/tests/web/browser_test.js"
# emscripten's code for Node loads its .wasm with fetch whenever Node has one, which fails on a
# file path.
run_part "the network check" env NODE_OPTIONS=--no-experimental-fetch \
  node "$web_build/tools/web/web_net_check.js"

echo "web: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
