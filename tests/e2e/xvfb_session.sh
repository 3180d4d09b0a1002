# The Xvfb session of the end-to-end tests, sourced by each of them: a display of their own
# (exit 77, skipped, when a tool is missing), a work folder, and the helpers that find the
# game's windows and click in them. The caller sets korvane and scenario, and game_pid and
# main once the program runs.

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

# A display of our own: Xvfb picks a free number and writes it to us once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$work/display" ] || fail "no Xvfb display could be started"
display=":$(tr -d ' \n' <"$work/display")"
export DISPLAY=$display
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM

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

# Waits (at most $1 seconds, 10 by default) for the program to end and checks that it ended
# with code 0.
expect_exit_zero() {
    timeout "${1:-10}" tail --pid="$game_pid" -f /dev/null ||
        fail "the program did not end within ${1:-10} s"
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
