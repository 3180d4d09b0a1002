#!/bin/bash
# Plays the real program in a real X window under Xvfb, as a player would, with xdotool.
#   run_e2e.sh KORVANE CLOSE_WINDOW SCENARIO
# Scenarios:
#   close-in-game  close the window while a game runs: the program ends at once with 0
#   quit-key     press Q while a game runs: exit 0
#   exit-button  click Quit/exit: exit 0
#   close-in-settings / close-in-hint / close-in-about  while the settings dialog, a hint's
#                message box or the About box is open the main window refuses to close, and
#                the system's end request (SIGTERM) ends the program with exit 0
#   close-in-outcome  the same with a defeat dialog open, after a game at 0 stars (the
#                fastest) played until it is lost
#   keyboard-play  start a game: the ship's white test pixel and the stars on a screenshot;
#                then stop with the button: only the viewscreen's four yellow corner pixels
#                are left; close the window: exit 0 (every_key.sh plays the keys, pictures.sh
#                holds the windows to the README's pictures)
# Exit 77 (skipped) when a tool is missing.
set -u

korvane=$1
close_window=$2
scenario=$3

source "$(dirname "$0")/xvfb_session.sh"

"$korvane" >"$work/game.log" 2>&1 &
game_pid=$!

main=$(window_named "Korvane ")
[ -n "$main" ] || fail "the main window did not appear"

# The viewscreen of the last screenshot as "x y r g b" lines, in viewscreen pixels.
viewscreen_pixels() {
    read -r ox oy < <(origin_of "$main")
    convert "$work/shot.png" -crop "642x482+$((ox + 80))+$((oy + 8))" +repage -depth 8 txt:- |
        sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p'
}

# While a modal window is open the main window refuses to close, as a window blocked by a
# dialog does; the system's request to end (SIGTERM) ends the program cleanly all the same.
close_main_expecting_exit() {
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended before the close"
    "$close_window" "$main" || fail "could not ask the window to close"
    sleep 1
    kill -0 "$game_pid" 2>/dev/null || fail "the blocked main window closed under a modal window"
    kill -TERM "$game_pid"
    expect_exit_zero
}

case "$scenario" in
    close-in-settings)
        click_at "$main" 40 100                      # cmdStart opens the settings dialog
        [ -n "$(window_named Korvane)" ] || fail "the settings dialog did not appear"
        close_main_expecting_exit
        ;;
    close-in-hint | close-in-about)                  # H: the hint's box, A: the About box
        if [ "$scenario" = close-in-hint ]; then key=h box=korvane; else key=a box="About korvane"; fi
        xdotool windowfocus --sync "$main" 2>/dev/null
        xdotool key --clearmodifiers $key
        [ -n "$(window_named "$box")" ] || fail "no window \"$box\" appeared"
        close_main_expecting_exit
        ;;
    close-in-outcome)
        click_at "$main" 40 100
        settings=$(window_named Korvane)
        [ -n "$settings" ] || fail "the settings dialog did not appear"
        # Drag the star count's slider (at 150 of 500) to the left end: 0 stars.
        read -r sx sy < <(origin_of "$settings")
        xdotool mousemove $((sx + 148)) $((sy + 240)) mousedown 1
        xdotool mousemove $((sx + 20)) $((sy + 240))
        xdotool mouseup 1
        sleep 0.2
        click_at "$settings" 468 216                 # OK
        # With one star the cube comes down in a few seconds; a globe or the cube ends it.
        [ -n "$(timeout 30 xdotool search --sync --onlyvisible --name '^Korvane$' 2>/dev/null)" ] ||
            fail "no defeat dialog within 30 s"
        close_main_expecting_exit
        ;;
    keyboard-play)
        start_game
        sleep 0.3
        import -window root "$work/shot.png" || fail "no screenshot"
        viewscreen_pixels >"$work/first.txt"
        # The ship at x = 320: its white test pixel at (326, 469).
        grep -q '^326 469 255 255 255$' "$work/first.txt" || fail "no white ship test pixel"
        stars=$(awk '$5 == 0 && $3 == 255 && $4 == 255' "$work/first.txt" | wc -l)
        [ "$stars" -ge 1 ] || fail "no yellow star on the viewscreen"
        kill -0 "$game_pid" 2>/dev/null || fail "the program ended during the game"
        click_at "$main" 40 100                      # stop
        sleep 1
        import -window root "$work/shot.png" || fail "no screenshot"
        viewscreen_pixels >"$work/after.txt"
        # After the teardown only the four yellow corners are left on the viewscreen.
        corners=$(awk '$3 == 255 && $4 == 255 && $5 == 0' "$work/after.txt" | cut -d' ' -f1,2 | tr '\n' ' ')
        [ "$corners" = "0 0 641 0 0 481 641 481 " ] || fail "yellow after the stop at: $corners"
        [ "$(awk '$3 + $4 + $5 > 0' "$work/after.txt" | wc -l)" -eq 4 ] || fail "more than the corners"
        "$close_window" "$main" || fail "could not ask the window to close"
        expect_exit_zero
        ;;
    close-in-game)
        start_game
        sleep 1
        kill -0 "$game_pid" 2>/dev/null || fail "the program ended during the game"
        "$close_window" "$main" || fail "could not ask the window to close"
        expect_exit_zero
        ;;
    quit-key)
        start_game
        sleep 1
        xdotool windowfocus --sync "$main" 2>/dev/null
        xdotool key --clearmodifiers q
        expect_exit_zero
        ;;
    exit-button)
        click_at "$main" 40 44                       # cmdExit
        expect_exit_zero
        ;;
    *)
        fail "unknown scenario"
        ;;
esac
echo "PASS ($scenario)"
