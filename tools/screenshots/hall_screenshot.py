#!/usr/bin/env python3
"""Renews docs/screenshot-hall.png: the hall's front page with a few verified scores and one
game being played live, taken in headless Chromium.

A korvane-hall of its own (a fresh SQLite file, a free loopback port) takes six games at the
default 150 stars made by hall-recording (built with the tests), as trusted clients send
them (one player twice: the table shows its best), and one live game that has played its
first batches, so the page lists it under the games played now and plays it in its viewer
(with WEB_DIR, a browser build such as build-web-test; without, the viewer says none is
there). The dates and the live game's number differ from run to run; nothing else does.
    tools/screenshots/hall_screenshot.py [BUILD_DIR] [PICTURE] [WEB_DIR]
"""
import bisect, http.client, json, os, shutil, socket, subprocess, sys, tempfile, time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
PICTURE = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else
                          os.path.join(ROOT, "docs", "screenshot-hall.png"))
WEB = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
HALL = os.path.join(BUILD, "hall", "korvane-hall")
RECORDER = os.path.join(BUILD, "tests", "hall", "hall-recording")
# Who entered, and their games: torpedo strikes (5 points each for the first three) and the
# frame the game was stopped at.
PLAYERS = [("Vessik Bane", 3, 4000), ("ada", 2, 3600), ("Halcyra", 2, 3300),
           ("<b>not bold</b>", 1, 3400), ("Cube Breaker", 1, 3200), ("ADA", 1, 3300)]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def request(port, method, path, body=None, headers={}):
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    c.request(method, path, body=json.dumps(body) if isinstance(body, dict) else body,
              headers=headers)
    r = c.getresponse()
    data = r.read()
    c.close()
    return r.status, json.loads(data) if data.startswith(b"{") else data


def wait_for(condition, what, seconds=20):
    deadline = time.time() + seconds
    while not condition():
        if time.time() > deadline:
            sys.exit("hall_screenshot: " + what + " did not happen")
        time.sleep(0.05)


def connects(port):
    try:
        socket.create_connection(("127.0.0.1", port), 0.2).close()
        return True
    except OSError:
        return False


def play_live(port, seconds):
    """A game played live for SECONDS at its own pace, its lines sent in numbered batches."""
    status, ticket = request(port, "POST", "/api/tickets")
    status, live = request(port, "POST", "/api/live", {"ticket": ticket["ticket"], "name": "Orla"})
    game, times = subprocess.run([RECORDER, "paced", str(live["seed"]), "3200", "2", "150"],
                                 check=True, capture_output=True, text=True).stdout.split("----\n")
    times = [float(t) for t in times.split()]
    lines, start, batch = game.splitlines(), time.time(), 0
    while time.time() - start < seconds:
        time.sleep(0.25)
        frame = bisect.bisect_right(times, times[0] + time.time() - start) - 1
        played = lambda l: int(l.split()[1]) <= frame if l.startswith("at ") else not l.startswith("expect")
        n = next((i for i, l in enumerate(lines) if not played(l)), len(lines))
        due, lines = lines[:n], lines[n:]
        batch += 1
        answer = request(port, "POST", "/api/live/%s/lines" % live["live"],
                         "\n".join(due + ["# batch %d" % batch, "# frame %d" % frame]) + "\n",
                         {"Authorization": "Bearer " + ticket["ticket"]})
        if answer[0] != 204:
            sys.exit("hall_screenshot: the hall refused the live game: %s" % (answer,))
    wait_for(lambda: request(port, "GET", "/api/live")[1]["live"], "the live game's listing")


def main():
    for program in (HALL, RECORDER):
        if not os.access(program, os.X_OK):
            sys.exit("hall_screenshot: %s is missing: build the tests first" % program)
    tmp = tempfile.mkdtemp(prefix="korvane-hall-shot-")
    port = free_port()
    hall = subprocess.Popen([HALL, "--database", os.path.join(tmp, "hall.sqlite"), "--port",
                             str(port), "--web", WEB or tmp, "--whole-recordings"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: hall.poll() is not None or connects(port), "the hall's start")
        keys = {}  # each player's, as its own client keeps it
        for name, shots, frames in PLAYERS:
            status, ticket = request(port, "POST", "/api/tickets")
            game = subprocess.run([RECORDER, "paced", str(ticket["seed"]), str(frames), str(shots), "150"],
                                  check=True, capture_output=True, text=True).stdout.split("----\n")[0]
            body = {"ticket": ticket["ticket"], "name": name, "recording": game}
            if name.lower() in keys:
                body["key"] = keys[name.lower()]
            status, answer = request(port, "POST", "/api/scores", body)
            keys.setdefault(name.lower(), answer.get("key"))
            if status != 201:
                sys.exit("hall_screenshot: the hall refused %s's game: %s" % (name, answer))
        play_live(port, 2.0)
        subprocess.run(["chromium", "--headless", "--no-sandbox", "--hide-scrollbars",
                        "--virtual-time-budget=3000", "--window-size=1024,640",
                        "--screenshot=" + PICTURE,
                        "http://127.0.0.1:%d/" % port],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        print("hall_screenshot: wrote " + PICTURE)
    finally:
        hall.terminate()
        hall.wait(30)
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
