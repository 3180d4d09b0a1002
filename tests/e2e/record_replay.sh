#!/bin/bash
# A game played under Xvfb with --record replays in korvane-sim (exit 0); without its
# in-game keys and clicks it desyncs (exit 3). (--replay: three_recordings.sh.)
#   record_replay.sh KORVANE KORVANE_SIM
set -u
korvane=$1
sim=$2
scenario=record-replay
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
for name in score highscore gametime x crossx crossy cubex cubey winscore; do
    grep -q "^expect $name -\?[0-9]*$" "$rec" || fail "the recording does not check $name"
done
"$sim" "$rec" >"$work/sim.log" 2>&1 || fail "korvane-sim: exit $?: $(tail -2 "$work/sim.log")"
# The replay runs as many frames as the game did: the commands sit in their own frames.
frames=$(sed -n 's/^# \([0-9]*\) frames so far$/\1/p' "$rec" | tail -1)
[ "$(tail -1 "$work/sim.log")" = "$frames exit" ] ||
    fail "the game ran $frames frames, the replay: $(tail -1 "$work/sim.log")"
grep -v '^at [0-9]* \(keyup\|mouseup\)' "$rec" >"$work/no-input.rec"
"$sim" "$work/no-input.rec" >"$work/sim.log" 2>&1
code=$?
[ "$code" -eq 3 ] && grep -q ' desync ' "$work/sim.log" || fail "no desync without the input ($code)"

echo "PASS ($scenario)"
