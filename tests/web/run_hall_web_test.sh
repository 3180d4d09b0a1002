#!/usr/bin/env bash
# The browser build served by korvane-hall, played live for the hall in headless Chromium
# (hall_web_test.js): the live game's seed, a game that scores watched live by a second page,
# the name entered, the rank shown and the score listed; and the same page served as plain
# files shows nothing of the hall.
#   tests/web/run_hall_web_test.sh KORVANE_HALL
# Exits 77 (skipped) where emscripten, CMake, Ninja, Chromium or npm is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
hall=$(realpath "$1")

what="the hall's browser test"
# shellcheck source=prepare_page.sh
source "$here/prepare_page.sh"

tmp=$(mktemp -d)
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
wait_for() {
    for _ in $(seq 100); do
        python3 -c "import urllib.request; urllib.request.urlopen('$1')" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "nothing answers at $1" >&2
    return 1
}
hall_port=$(free_port)
# Every game live, as the halls will run. The pace is the hall's own tests' subject: here a
# busy machine that slows the page's game down must not end it (--live-pace-window).
"$hall" --database "$tmp/hall.sqlite" --port "$hall_port" --web "$out" --live-only \
    --live-pace-window 600 >"$tmp/hall.log" 2>&1 &
hall_pid=$!
static_port=$(free_port)
mkdir "$tmp/static" && ln -s "$out" "$tmp/static/play"  # the same path as the hall's
/usr/bin/python3 -m http.server "$static_port" --bind 127.0.0.1 --directory "$tmp/static" >/dev/null 2>&1 &
static_pid=$!
trap 'kill "$hall_pid" "$static_pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
wait_for "http://127.0.0.1:$hall_port/api/scores"
wait_for "http://127.0.0.1:$static_port/"
play "$here/hall_web_test.js" "http://127.0.0.1:$hall_port/" "http://127.0.0.1:$static_port/"
