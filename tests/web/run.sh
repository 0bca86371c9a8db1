#!/usr/bin/env bash
# The browser stage of ./test.sh: the browser tests (browser_test.js) on the built site, in
# Debian's Chromium, headless, then the stored level plans replayed by the browser build's code
# under Node.js (replay.sh), which counts as one more check. Its last line is
# "web: N passed, N failed" for both; the exit status is 0 only when every check passed.
root="$(cd "$(dirname "$0")/../.." && pwd)"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

"$root/tools/web/with-site.sh" "$root/tests/web/browser_test.js" | tee "$log"
browser=${PIPESTATUS[0]}
counts="$(grep -E '^web: [0-9]+ passed, [0-9]+ failed' "$log" | tail -1)"
passed="$(echo "$counts" | awk '{print $2}')"
failed="$(echo "$counts" | awk '{print $4}')"
[ -n "$counts" ] || { passed=0; failed=1; }

"$root/tests/web/replay.sh"
replay=$?
[ $replay -eq 0 ] && passed=$((passed + 1)) || failed=$((failed + 1))

echo "web: $passed passed, $failed failed"
[ "$browser" -eq 0 ] && [ "$replay" -eq 0 ]
