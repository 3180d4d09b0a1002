#!/bin/bash
# The same inputs (same_inputs.kvs) replayed through korvane-sim, the desktop window
# (korvane --replay) and the page in Chromium (its watch mode), each recording what it
# played: the three recordings are the same text. (every_key.sh replays a game played under
# Xvfb.) Exit 77 (skipped) where Xvfb's tools, Chromium or the browser build are missing.
#   three_recordings.sh KORVANE KORVANE_SIM
set -u
korvane=$1
sim=$2
scenario=three-recordings
inputs=$(dirname "$0")/same_inputs.kvs
source "$(dirname "$0")/xvfb_session.sh"

"$sim" --record "$work/sim.rec" "$inputs" >"$work/sim.log" 2>&1 || fail "korvane-sim: exit $?"

"$korvane" --replay "$inputs" --record "$work/desktop.rec" >"$work/game.log" 2>&1 &
game_pid=$!
[ -n "$(window_named "Korvane ")" ] || fail "the replay's window did not appear"
expect_exit_zero 60
diff "$work/sim.rec" "$work/desktop.rec" || fail "the desktop recorded other than korvane-sim"

here=$(cd "$(dirname "$0")/../web" && pwd) root=$(cd "$here/../.." && pwd) what="the same inputs"
source "$here/prepare_page.sh" >"$work/web.log" 2>&1
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$out" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; cleanup' EXIT
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.1
done
NODE_PATH="$here/node_modules" node "$(dirname "$0")/watch_in_page.js" "http://127.0.0.1:$port/" \
    "$inputs" >"$work/page.rec" || fail "the page could not watch the inputs"
diff "$work/sim.rec" "$work/page.rec" || fail "the page recorded other than korvane-sim"
echo "PASS ($scenario)"
