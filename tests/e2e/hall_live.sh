#!/bin/bash
# The real program plays live for a korvane-hall of its own under Xvfb, watched as it plays
# through the stream and in the page at play/?live=ID:
#   hall_live.sh KORVANE KORVANE_HALL
# `korvane --hall URL --replay FILE` plays fixed inputs (0 stars, the shields up, torpedoes
# all along) from the hall's seed. A watcher is a function given the live game's id
# (watch_stream reads GET /api/live/ID/stream); another, e.g. a page at play/?live=ID, goes
# beside it with its own check. Exit 77 (skipped) without a tool.
set -u
korvane=$1
scenario=hall-live
source "$(dirname "$0")/xvfb_session.sh"
here=$(cd "$(dirname "$0")/../web" && pwd) root=$(cd "$here/../.." && pwd) what="a live game watched"
source "$here/prepare_page.sh" >"$work/web.log" 2>&1
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
url=http://127.0.0.1:$port
# The pace check is the hall's own tests' subject: a busy machine that slows the program's
# game must not end it here.
"$2" --database "$work/hall.sqlite" --port "$port" --web "$out" --live-only \
    --live-pace-window 600 >/dev/null 2>&1 &
hall_pid=$!
trap 'kill "$hall_pid" ${page_pid:-} 2>/dev/null; cleanup' EXIT

# Prints the Python expression $2 of the JSON (d) the hall answers to GET $1.
api() { python3 -c "import json, urllib.request
d = json.load(urllib.request.urlopen('$url/$1', timeout=10)); print($2)" 2>/dev/null; }
within() {  # SECONDS COMMAND...: until the command succeeds
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
watch_stream() {
    python3 -u -c 'import sys, urllib.request
for line in urllib.request.urlopen(sys.argv[1], timeout=60): print(line.decode().rstrip())' \
        "$url/api/live/$1/stream" >"$work/stream.txt" 2>&1 &
}
stream_played() { grep -q '^data: # frame [1-9]' "$work/stream.txt"; }
stream_ended() { grep -q '^event: end' "$work/stream.txt"; }
stored() { [ "$(api "api/scores?stars=0&all=1" "[(s['name'], s['score']) for s in d['scores']]")" = "$1" ]; }

within 30 api api/hall "d['hall']" >/dev/null || fail "the hall did not start"
{
    printf 'seed 1\nscreensize 1024x768\nstars 0\nclick cmdStart\nat 2 keyup 83\n'
    for frame in $(seq 2000 15 16000); do echo "at $frame keyup 32"; done
} >"$work/inputs.kvs"
"$korvane" --hall "$url/" --replay "$work/inputs.kvs" >"$work/game.log" 2>&1 &
game_pid=$!
within 30 api api/live "d['live'][0]['id']" >/dev/null || fail "no live game listed"
id=$(api api/live "d['live'][0]['id']")
watch_stream "$id"
NODE_PATH="$here/node_modules" node "$(dirname "$0")/watch_live_in_page.js" "$url/play/?live=$id" \
    >"$work/page.txt" 2>&1 &
page_pid=$!
within 30 stream_played || fail "the watcher saw no frame played"
[ "$(api api/live "[g['id'] for g in d['live']]")" = "['$id']" ] ||
    fail "the game was over before the watcher saw it played"
within 60 stream_ended || fail "no end of the game in the stream"
end=$(grep -A1 '^event: end' "$work/stream.txt" | sed -n 's/^data: //p')
score=$(sed -n 's/^{"score":\([0-9]*\)}$/\1/p' <<<"$end")
[ -n "$score" ] || fail "the hall ended the game with $end"
grep -q '^data: seed 1$' "$work/stream.txt" && fail "played from the recording's seed"
wait "$page_pid" || fail "the page did not watch the game to its end: $(cat "$work/page.txt")"
[ "$(cat "$work/page.txt")" = "$score" ] || fail "the page's end: $(cat "$work/page.txt"), the hall's: $score"

# After a game that scored nothing (the cube kept away from every torpedo) no dialog holds
# the program: it ends with the replay.
if [ "$score" -gt 0 ]; then
    dialog=$(window_named "Korvane: hall of fame")
    [ -n "$dialog" ] || fail "no hall dialog after a game that scored $score"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    xdotool type --delay 20 "Xvfb Pilot"
    xdotool key --clearmodifiers Return
    within 30 stored "[('Xvfb Pilot', $score)]" || fail "not stored: $(api "api/scores?stars=0&all=1" d)"
    xdotool key --clearmodifiers Escape
fi
expect_exit_zero 30
