#!/usr/bin/env bash
# Builds the browser version and plays it in Debian's headless Chromium (web_test.js).
# Installs what it needs first: emscripten, chromium and npm from Debian, puppeteer-core from
# npm.
#   tests/web/run_web_test.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

# By command rather than by package: a node from elsewhere brings its own npm.
missing=()
command -v em++ >/dev/null || missing+=(emscripten)
command -v chromium >/dev/null || missing+=(chromium)
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi
if [ ! -d "$here/node_modules/puppeteer-core" ]; then
    (cd "$here" && npm install --no-audit --no-fund --loglevel=error)
fi

out="$root/build-web-test"
"$root/web/build.sh" "$out"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$out" >/dev/null 2>&1 &
server=$!  # Debian's own python: no wrapper between this shell and the server
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.1
done
node "$here/web_test.js" "http://127.0.0.1:$port/"
