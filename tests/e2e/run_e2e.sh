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
#   keyboard-play  start a game, then play it from the keyboard: the ship's white test pixel
#                and the stars on a screenshot, C moves the ship right, space launches a
#                torpedo that flies up, Ctrl fires, X stops; then stop with the button: only
#                the viewscreen's four yellow corner pixels are left; close the window: exit 0
# Exit 77 (skipped) when a tool is missing.
set -u

korvane=$1
close_window=$2
scenario=$3

for tool in Xvfb xdotool xwininfo xdpyinfo import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($scenario): $*"
    if [ -f "$work/game.log" ]; then sed 's/^/  korvane: /' "$work/game.log"; fi
    exit 1
}

# A display of our own: the first free number from 90 up.
display=""
for n in $(seq 90 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            # The server that answers must be ours, not one that won the number first.
            if xdpyinfo -display ":$n" >/dev/null 2>&1 &&
                [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb_pid" ]; then
                display=":$n"
                break
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        [ -n "$display" ] && break
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    fi
done
[ -n "$display" ] || fail "no Xvfb display could be started"
export DISPLAY=$display
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM

"$korvane" >"$work/game.log" 2>&1 &
game_pid=$!

# Waits (at most 10 s) for a visible window whose name is exactly $1 and prints its id.
window_named() {
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1
}

# Client-area origin of a window on the screen.
origin_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# Clicks at client position (x, y) of a window.
click_at() {
    local id=$1 x=$2 y=$3
    read -r ox oy < <(origin_of "$id")
    xdotool mousemove $((ox + x)) $((oy + y)) click 1
}

# Waits (at most 10 s) for the program to end and checks that it ended with code 0.
expect_exit_zero() {
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$game_pid" 2>/dev/null; then fail "the program did not end within 10 s"; fi
    wait "$game_pid"
    local code=$?
    game_pid=""
    [ "$code" -eq 0 ] || fail "the program ended with exit code $code"
}

# The settings dialog caption "Korvane" differs from the main window's "Korvane ".
start_game() {
    click_at "$main" 40 100                          # cmdStart
    local settings
    settings=$(window_named "Korvane")
    [ -n "$settings" ] || fail "the settings dialog did not appear"
    xdotool windowfocus --sync "$settings" 2>/dev/null
    xdotool key --clearmodifiers Return              # OK has the focus and is the default
    for _ in $(seq 50); do
        [ -z "$(xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    # Enter did not reach it (focus elsewhere): press OK with the mouse instead.
    click_at "$settings" 468 216
    sleep 0.5
    [ -z "$(xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null)" ] ||
        fail "the settings dialog did not close"
}

main=$(window_named "Korvane ")
[ -n "$main" ] || fail "the main window did not appear"

# The viewscreen of the last screenshot as "x y r g b" lines, in viewscreen pixels.
viewscreen_pixels() {
    read -r ox oy < <(origin_of "$main")
    convert "$work/shot.png" -crop "642x482+$((ox + 80))+$((oy + 8))" +repage -depth 8 txt:- |
        sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p'
}

# Waits (at most $1 seconds) for a visible window captioned exactly "Korvane" (every dialog
# of the game but the About box) and prints its id.
dialog_window() {
    timeout "$1" xdotool search --sync --onlyvisible --name '^Korvane$' 2>/dev/null | head -1
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
        [ -n "$(dialog_window 10)" ] || fail "the settings dialog did not appear"
        close_main_expecting_exit
        ;;
    close-in-hint)
        xdotool windowfocus --sync "$main" 2>/dev/null
        xdotool key --clearmodifiers h
        [ -n "$(timeout 10 xdotool search --sync --onlyvisible --name '^korvane$' | head -1)" ] ||
            fail "the hint did not appear"
        close_main_expecting_exit
        ;;
    close-in-about)
        xdotool windowfocus --sync "$main" 2>/dev/null
        xdotool key --clearmodifiers a
        [ -n "$(window_named "About korvane")" ] || fail "the About box did not appear"
        close_main_expecting_exit
        ;;
    close-in-outcome)
        click_at "$main" 40 100
        settings=$(dialog_window 10)
        [ -n "$settings" ] || fail "the settings dialog did not appear"
        # Drag the star count's slider (at 150 of 500) to the left end: 0 stars.
        read -r sx sy < <(origin_of "$settings")
        xdotool mousemove $((sx + 148)) $((sy + 240)) mousedown 1
        xdotool mousemove $((sx + 20)) $((sy + 240))
        xdotool mouseup 1
        sleep 0.2
        click_at "$settings" 468 216                 # OK
        # With one star the cube comes down in a few seconds; a globe or the cube ends it.
        for _ in $(seq 300); do
            [ -n "$(xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null)" ] && break
            sleep 0.1
        done
        [ -n "$(xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null)" ] ||
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
        xdotool windowfocus --sync "$main" 2>/dev/null
        xdotool key --clearmodifiers c space Control_L
        sleep 0.6
        import -window root "$work/shot.png" || fail "no screenshot"
        viewscreen_pixels >"$work/second.txt"
        # The ship has moved right: its white row 469 now reaches beyond column 340.
        moved=$(awk '$2 == 469 && $1 > 340 && $3 == 255 && $4 == 255 && $5 == 255' \
            "$work/second.txt" | wc -l)
        [ "$moved" -ge 1 ] || fail "the ship did not move right"
        # The torpedo (red) flies above the ship, or has already exploded on the cube.
        torpedo=$(awk '$2 < 440 && $3 == 255 && $4 == 0 && $5 == 0' "$work/second.txt" | wc -l)
        [ "$torpedo" -ge 1 ] || fail "no torpedo or explosion above the ship"
        xdotool key --clearmodifiers x
        sleep 0.3
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
