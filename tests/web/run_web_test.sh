#!/usr/bin/env bash
# Builds the browser version and plays it in Debian's headless Chromium (web_test.js, and
# phone_test.js by touch and gamepad); the sessions it records there must replay in korvane-sim.
#   tests/web/run_web_test.sh [KORVANE_SIM]     (default: build/korvane-sim)
# Exits 77 (skipped) when emscripten, CMake, Ninja, Chromium or npm is missing (./run.sh test
# installs them), or when puppeteer-core cannot be installed from npm.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
sim=$(realpath "${1:-$root/build/korvane-sim}")

what="the browser test"
# shellcheck source=prepare_page.sh
source "$here/prepare_page.sh"
[ -x "$sim" ] || { echo "no korvane-sim at $sim" >&2; exit 1; }

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$out" >/dev/null 2>&1 &
server=$!  # Debian's own python: no wrapper between this shell and the server
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.1
done
play "$here/web_test.js" "http://127.0.0.1:$port/" "$sim"
# Phones, tablets and gamepads, with the page served from a subfolder by the test itself.
play "$here/phone_test.js" "$out" "$sim"
