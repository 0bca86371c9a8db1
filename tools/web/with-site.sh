#!/usr/bin/env bash
# Runs a browser script against the built site: tools/web/with-site.sh SCRIPT [ARGS...] builds
# the site (tools/web/build.sh), installs the browser driver puppeteer-core 24 from npm into the
# web cache (it downloads no browser), serves the site on loopback and runs
# `node SCRIPT URL ARGS...` with NODE_PATH finding the driver; the browser tests
# (tests/web/run.sh) and the benchmark (tools/web/bench.js) run through it. A failure of its own
# ends with "web: 0 passed, 1 failed", the line the test stage counts.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
[ $# -ge 1 ] || {
  echo "usage: tools/web/with-site.sh SCRIPT [ARGS...]" >&2
  exit 2
}
script="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
shift
cache="${BRAMBOLT_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brambolt3-web}"
site="$root/build-web/site"
node_dir="$cache/node"
# How long the server may take to say its port.
server_bound=30

fail() {
  echo "web: $1" >&2
  echo "web: 0 passed, 1 failed"
  exit 1
}

"$root/tools/web/build.sh" "$site" || fail "the site did not build"
if [ ! -f "$node_dir/node_modules/puppeteer-core/package.json" ]; then
  mkdir -p "$node_dir"
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --prefix "$node_dir" --no-audit --no-fund --silent \
    puppeteer-core@24 || fail "npm could not install puppeteer-core@24"
fi

server_log="$(mktemp)"
python3 -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$server_log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$server_log"' EXIT
port=""
for _ in $(seq $((server_bound * 10))); do
  port="$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$server_log" | head -1)"
  [ -n "$port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
[ -n "$port" ] || fail "the local server did not start: $(cat "$server_log")"

NODE_PATH="$node_dir/node_modules" node "$script" "http://127.0.0.1:$port/index.html" "$@"
