#!/bin/bash
# Each key of the controls table does its command in the real window: a game recorded with
# --record while the keys are pressed one by one (then a click on the viewscreen and the
# stop), replayed in korvane-sim with each key's effect checked right after the line the key
# gave. A key the desktop turns into a wrong code (Ctrl that no longer fires the phasers, say)
# fails here. Without its keys and clicks the recording desyncs.
#   every_key.sh KORVANE KORVANE_SIM
set -u
korvane=$1
sim=$2
scenario=every-key
source "$(dirname "$0")/xvfb_session.sh"

# The keys in the order pressed, each with what must hold after it (@: the key's frame).
# Each is pressed where a wrong one would differ: Right after Left stops the crosshairs,
# and X twice stops the ship for good where Z or C would turn it.
keys=(Left Up Right Down c x x z s Control_L space h a q)
effects=("expect crossxdelta -1" "expect crossydelta -1" "expect crossxdelta 0"
         "expect crossydelta 0" "expect deltax 1" "expect deltax 0" "expect deltax 0"
         "expect deltax -1" "expect shieldsOn True" "logged @ sound 105" "logged @ sound 110"
         "logged @ msgbox" "logged @ dialog frmAbout" "")

"$korvane" --record "$work/game.rec" >"$work/game.log" 2>&1 &
game_pid=$!
main=$(window_named "Korvane ")
[ -n "$main" ] || fail "the main window did not appear"
start_game
# The lines of the keys pressed: Enter, which answers the dialogs, reaches the window too.
key_lines() { grep -E '^(at [0-9]+ )?keyup ' "$1" | grep -v ' keyup 13$'; }
keyups() { key_lines "$work/game.rec" | wc -l; }
for key in "${keys[@]}"; do
    if [ "$key" = q ]; then                                  # first a click and the stop
        read -r ox oy < <(origin_of "$main")
        xdotool mousemove $((ox + 480)) $((oy + 100)) click 1   # crosshairs to (400, 92)
        sleep 0.3
        click_at "$main" 40 100
        sleep 0.3
    fi
    before=$(keyups)
    xdotool windowfocus --sync "$main" 2>/dev/null
    xdotool key --clearmodifiers "$key"
    [ "$key" = q ] && break
    for _ in $(seq 100); do [ "$(keyups)" -gt "$before" ] && break; sleep 0.1; done
    [ "$(keyups)" -gt "$before" ] || fail "$key gave the game no key"
    # The hint and the About box wait for their OK.
    if [ "$key" = h ] || [ "$key" = a ]; then
        box=$(timeout 10 xdotool search --sync --onlyvisible --name '^(korvane|About korvane)$' | head -1)
        [ -n "$box" ] || fail "$key opened no window"
        xdotool windowfocus --sync "$box" 2>/dev/null
        xdotool key --clearmodifiers Return
    fi
done
expect_exit_zero

# Each key's line gets its check, in the order the keys were pressed.
awk -v checks="$(printf '%s\n' "${effects[@]}")" '
    BEGIN { n = split(checks, check, "\n") }
    /^at [0-9]+ keyup / && $4 != 13 && ++k <= n && check[k] != "" { sub(/@/, $2, check[k]); $0 = $0 "; " check[k] }
    { print }' "$work/game.rec" >"$work/checked.rec"
[ "$(keyups)" -eq ${#keys[@]} ] || fail "not one line a key: $(grep keyup "$work/game.rec")"
"$sim" "$work/checked.rec" >"$work/sim.log" 2>&1 ||
    fail "a key did not do its command: $(grep -E 'desync|korvane-sim' "$work/sim.log")"
# Q, after the stop, ends the program: the replay exits in the frame the recording counted to.
frames=$(sed -n 's/^# \([0-9]*\) frames so far$/\1/p' "$work/game.rec" | tail -1)
[ "$(tail -1 "$work/sim.log")" = "$frames exit" ] || fail "Q did not quit: $(tail -1 "$work/sim.log")"
grep -q '^at [0-9]* mouseup 1 400 92$' "$work/game.rec" || fail "no click: $(cat "$work/game.rec")"
# Without the player's keys and clicks the same recording desyncs.
grep -v '^at [0-9]* \(keyup\|mouseup\)' "$work/game.rec" >"$work/no-input.rec"
"$sim" "$work/no-input.rec" >"$work/sim.log" 2>&1
code=$?
[ "$code" -eq 3 ] && grep -q ' desync ' "$work/sim.log" || fail "no desync without the input ($code)"
echo "PASS ($scenario)"
