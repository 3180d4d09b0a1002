#!/usr/bin/env bash
# The bar under a game of the hall watched at /play/?watch=ID (watch_bar_test.js): a game of
# hall-recording's entered whole into a korvane-hall of its own, then watched in headless
# Chromium, paused, sped up and moved to its end.
#   tests/web/run_watch_bar_test.sh KORVANE_HALL HALL_RECORDING
# Exits 77 (skipped) where emscripten, CMake, Ninja, Chromium or npm is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
hall=$(realpath "$1")
recorder=$(realpath "$2")

what="the watch bar's browser test"
# shellcheck source=prepare_page.sh
source "$here/prepare_page.sh"

tmp=$(mktemp -d)
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$hall" --database "$tmp/hall.sqlite" --port "$port" --web "$out" --whole-recordings \
    >"$tmp/hall.log" 2>&1 &
hall_pid=$!
trap 'kill "$hall_pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
# The game: 3200 frames at 100 stars (about 11 s), two torpedoes into the cube.
python3 - "http://127.0.0.1:$port" "$recorder" >"$tmp/entry" <<'PY'
import json, subprocess, sys, time, urllib.request
url, recorder = sys.argv[1:]
def call(path, body=None):
    request = urllib.request.Request(url + path, data=body, method="POST" if body is not None else "GET",
                                     headers={"Content-Type": "application/json"})
    try:
        with urllib.request.urlopen(request) as answer:
            return json.load(answer)
    except urllib.error.HTTPError as e:
        sys.exit("the hall refused %s: %s" % (path, e.read().decode()))
for _ in range(100):
    try:
        call("/api/scores")
        break
    except OSError:
        time.sleep(0.1)
ticket = call("/api/tickets", b"")
out = subprocess.run([recorder, "paced", str(ticket["seed"]), "3200", "2", "100"], check=True,
                     capture_output=True, text=True).stdout
entry = call("/api/scores", json.dumps({"ticket": ticket["ticket"], "name": "Watcher",
                                        "recording": out.split("----\n")[0]}).encode())
print(entry["id"], entry["score"])
PY
read -r id score <"$tmp/entry"
play "$here/watch_bar_test.js" "http://127.0.0.1:$port/play/?watch=$id" "$score"
