#!/usr/bin/env python3
"""run_postgres.sh deploy_test.py KORVANE_HALL KORVANE_SIM NGINX_SITE_FILE HALL_RECORDING: the
deployment of docs/hall.md, nginx with the operator's site file before two halls on one
PostgreSQL, on loopback ports (as nobody when run as root). A game is played live through
nginx and watched through it as it plays; then clients play through nginx and one hall is
killed with kill -9: every acknowledged score must be in the table, and the other hall must
go on taking games. Skipped (77) without nginx; run_postgres.sh skips without PostgreSQL."""
import bisect, http.client, json, os, re, shutil, signal, subprocess, sys, tempfile, threading, time
from nginx_halls import CLIENT, check, failures, free_port, new_database, request, show_logs, \
    skip_without_nginx, start_hall, start_nginx, wait_for

HALL, SIM, SITE, RECORDER = sys.argv[1:5]
skip_without_nginx()


def game(seed):
    """A game that scores, from seed: the ship moved aside a while, then torpedoes fired up
    at the cube that follows it; the side that scores depends on the seed."""
    for key, frames in [(90, 450), (67, 450), (90, 200), (67, 200)]:
        play = ("seed %d\nscreensize 1024x768\nstars 0\nclick cmdStart\nat 50 keyup %d\n"
                "at %d keyup 88\nat 600..2900/40 keyup 32\nat 3000 click cmdStart\n"
                % (seed, key, 50 + frames))
        probe = "".join("print %s\n" % v for v in ["score", "highscore", "gametime", "x", "crossx",
                                                  "crossy", "cubex", "cubey", "winscore"])
        log = subprocess.run([SIM, "--max-frames", "10000", "-"], input=play + probe, check=True,
                             capture_output=True, text=True).stdout
        checks = re.findall(r"^\d+ var (\w+ \S+)$", log, re.M)
        if "score 0" not in checks:
            return play + "".join("expect %s\n" % c for c in checks)
    return None


def play_live(port, hall):
    """A game played live at its pace through nginx (a batch every 0.1 s), watched through it:
    every batch must reach the hall that runs the game, and each event the watcher as it comes."""
    ticket = json.loads(request(port, "POST", "/api/tickets")[1])["ticket"]
    live = json.loads(request(port, "POST", "/api/live", {"ticket": ticket})[1])
    out = subprocess.run([RECORDER, "paced", str(live["seed"]), "3200", "2", "30"], check=True,
                         capture_output=True, text=True).stdout.split("----\n")
    lines, times, events, answers = out[0].splitlines(), [float(t) for t in out[1].split()], [], []

    def watch():
        c = http.client.HTTPConnection("127.0.0.1", port, timeout=30, source_address=(CLIENT, 0))
        c.request("GET", "/api/live/%s/stream" % live["live"])
        events.extend(l.decode().rstrip("\n") for l in c.getresponse())
    watcher, start = threading.Thread(target=watch), time.time()
    watcher.start()
    while lines:
        frame = bisect.bisect_right(times, times[0] + time.time() - start)
        n = next((i for i, l in enumerate(lines) if frame < len(times) and (
            int(l.split()[1]) > frame if l.startswith("at ") else l.startswith("expect"))), len(lines))
        batch, lines = lines[:n] + ["# frame %d" % frame], lines[n:]
        seen = [e for e in events if e.startswith("data: # frame")]  # before the last batch
        answers.append(request(port, "POST", "/api/live/%s/lines" % live["live"], "\n".join(batch) + "\n",
                               ticket))
        time.sleep(0.1)
    watcher.join(30)
    check([a for a in answers if a[0] != 204] == [], "every batch taken: %s" % answers[-1:])
    check(len(seen) > 10, "events passed on as they came, not held by nginx: %d" % len(seen))
    check(events[-3:-1] == ["event: end", 'data: {"score":10}'], "watched to its end: %s" % events[-3:])
    c = http.client.HTTPConnection("127.0.0.1", hall, timeout=30)  # nginx keeps X-Accel-* to itself
    c.request("GET", "/api/live/%s/stream" % live["live"])
    check(c.getresponse().getheader("X-Accel-Buffering") == "no", "the stream turns nginx's buffering off")
    status, body = request(port, "POST", "/api/scores", {"ticket": ticket, "name": "Live"})
    check(status == 201, "the live game stored: %s" % body)


def client(port, stop, accepted, errors):
    while not stop.is_set():
        try:
            status, body = request(port, "POST", "/api/tickets")
            ticket = json.loads(body) if status == 201 else None
            recording = ticket and game(ticket["seed"])
            if recording:
                # One player's key on every client: the first score claims the name for it.
                score = {"ticket": ticket["ticket"], "name": "Deploy", "recording": recording,
                         "key": "de" * 16}
                status, body = request(port, "POST", "/api/scores", score)
            if status != 201:
                errors.append((time.time(), status))
            elif recording:
                accepted.append((time.time(), json.loads(body)["id"]))
        except (OSError, http.client.HTTPException) as e:
            errors.append((time.time(), str(e)))


def main():
    tmp = tempfile.mkdtemp()
    os.chmod(tmp, 0o777)
    database = new_database("deploy")
    ports = [free_port(), free_port()]
    logs = [open("%s/hall%d.log" % (tmp, k), "w+") for k in range(2)]
    halls = [start_hall(HALL, database, p, log) for p, log in zip(ports, logs)]
    procs = list(halls)
    try:
        for p, h in zip(ports, halls):
            wait_for(p, h)
        nginx, port = start_nginx(tmp, SITE, ports)
        procs.append(nginx)
        play_live(port, ports[0])
        accepted, errors, stop = [], [], threading.Event()
        threads = [threading.Thread(target=client, args=(port, stop, accepted, errors))
                   for _ in range(6)]
        [th.start() for th in threads]
        deadline = time.time() + 90
        while len(accepted) < 60 and time.time() < deadline:
            time.sleep(0.05)
        served = [log.seek(0) or log.read().count("/api/scores") for log in logs]
        check(min(served) > 0, "nginx spread the load over both halls: %s" % served)
        halls[0].send_signal(signal.SIGKILL)
        killed = time.time()
        while sum(1 for t, _ in accepted if t > killed + 2) < 60 and time.time() < deadline:
            time.sleep(0.05)
        stop.set()
        [th.join() for th in threads]
        check(halls[0].wait(5) == -signal.SIGKILL, "the first hall was killed")
        after = sum(1 for t, _ in accepted if t > killed + 2)
        check(after >= 60, "games accepted through the other hall after the kill: %d" % after)
        stored = subprocess.run(["psql", "-d", "deploy", "-Atc", "SELECT id FROM scores"],
                                check=True, capture_output=True, text=True).stdout.split()
        lost = {i for _, i in accepted} - {int(i) for i in stored}
        check(not lost, "acknowledged scores not in the table: %s" % sorted(lost)[:5])
        # Only the requests the killed hall held fail; nginx sends the next ones elsewhere.
        late = [e for t, e in errors if t > killed + 2 or e != 502]
        check(not late, "requests failed other than those the killed hall held: %s" % late[:5])
        logs[1].seek(0)
        check(re.search(r"\b%s\b" % re.escape(CLIENT), logs[1].read()) is not None,
              "the hall logs the client's address that nginx passed on")
        print("%d games taken, %d after the kill; %d failed" % (len(accepted), after, len(errors)))
    finally:
        for p in procs:
            if p.poll() is None:
                p.terminate()
                p.wait(30)
        if failures:
            show_logs(tmp, ["hall0.log", "hall1.log", "error.log"])
        shutil.rmtree(tmp, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
