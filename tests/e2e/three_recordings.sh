#!/bin/bash
# A game played under Xvfb with --record replays in korvane-sim (exit 0); without its
# in-game keys and clicks it desyncs (exit 3). Then the same inputs (same_inputs.kvs) are
# replayed through korvane-sim, the desktop window (korvane --replay) and the page in
# Chromium (its watch mode), each recording what it played: the three recordings are the
# same text. Exit 77 (skipped) where Xvfb's tools, Chromium or the browser build are missing.
#   three_recordings.sh KORVANE KORVANE_SIM
set -u
korvane=$1
sim=$2
scenario=three-recordings
inputs=$(dirname "$0")/same_inputs.kvs
source "$(dirname "$0")/xvfb_session.sh"

"$korvane" --record "$work/game.rec" >"$work/game.log" 2>&1 &
game_pid=$!
main=$(window_named "Korvane ")
[ -n "$main" ] || fail "the main window did not appear"
start_game
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key --clearmodifiers c space
sleep 0.5
read -r ox oy < <(origin_of "$main")
xdotool mousemove $((ox + 480)) $((oy + 100)) click 1   # crosshairs to (400, 92)
sleep 0.3
click_at "$main" 40 100                                  # stop
sleep 0.3
xdotool key --clearmodifiers q
expect_exit_zero

rec=$work/game.rec
grep -q '^at [0-9]* keyup 67$' "$rec" && grep -q '^at [0-9]* mouseup 1 400 92$' "$rec" ||
    fail "the recording lacks the game: $(cat "$rec")"
"$sim" "$rec" >"$work/sim.log" 2>&1 || fail "korvane-sim: exit $?: $(tail -2 "$work/sim.log")"
# The replay runs as many frames as the game did: the commands sit in their own frames.
frames=$(sed -n 's/^# \([0-9]*\) frames so far$/\1/p' "$rec" | tail -1)
[ "$(tail -1 "$work/sim.log")" = "$frames exit" ] ||
    fail "the game ran $frames frames, the replay: $(tail -1 "$work/sim.log")"
grep -v '^at [0-9]* \(keyup\|mouseup\)' "$rec" >"$work/no-input.rec"
"$sim" "$work/no-input.rec" >"$work/sim.log" 2>&1
code=$?
[ "$code" -eq 3 ] && grep -q ' desync ' "$work/sim.log" || fail "no desync without the input ($code)"

"$sim" --record "$work/sim.rec" "$inputs" >"$work/sim.log" 2>&1 || fail "korvane-sim: exit $?"

"$korvane" --replay "$inputs" --record "$work/desktop.rec" >"$work/game.log" 2>&1 &
game_pid=$!
[ -n "$(window_named "Korvane ")" ] || fail "the replay's window did not appear"
for _ in $(seq 600); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
expect_exit_zero
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
