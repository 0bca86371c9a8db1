#!/usr/bin/env bash
# The browser stage of ./test.sh: the browser tests (browser_test.js) on the built site, in
# Debian's Chromium, headless. Its last line is "web: N passed, N failed"; the exit status is 0
# only when every check passed.
root="$(cd "$(dirname "$0")/../.." && pwd)"
exec "$root/tools/web/with-site.sh" "$root/tests/web/browser_test.js"
