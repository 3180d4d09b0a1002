#!/usr/bin/env python3
"""run_postgres.sh chaos_test.py KORVANE_HALL NGINX_SITE_FILE HALL_RECORDING [--no-db-restart]:
nginx with the operator's site file before three halls on one PostgreSQL, 20 live games
played at their pace through it, each watched through it, while a hall is killed with
kill -9 every few seconds (and started again on its port) and PostgreSQL restarts once.
The clients behave as the page and the desktop do: numbered batches, each sent again while
no hall answers it (no answer, 502, 503, 504) for up to 15 s; watchers that come back with
the last id they read. Every game must be taken to its end and stored with its replayed
score, and every watcher must get every batch once, in order, and the end.
--no-db-restart leaves PostgreSQL alone. Skipped (77) without nginx; run_postgres.sh skips
without PostgreSQL."""
import bisect, http.client, json, os, shlex, shutil, signal, subprocess, sys, tempfile, threading, time
from nginx_halls import CLIENT, check, failures, free_port, new_database, request, show_logs, \
    skip_without_nginx, start_hall, start_nginx, wait_for

HALL, SITE, RECORDER = sys.argv[1:4]
RESTART_DB = "--no-db-restart" not in sys.argv[4:]
skip_without_nginx()
# hall-recording's paced game (3200 frames) at 100 stars lasts 11.2 s: each game lives through
# two kills. nginx leaves a hall it found down alone for 10 s (the site file's fail_timeout):
# a kill every 5 s leaves it one hall at least.
GAMES, STARS, STARTS_EVERY = 20, 100, 0.3
KILLS_EVERY, DB_RESTART_AT = 5.0, 10.0  # seconds from the first game's start
INTERVAL = 0.4  # between a game's batches, and between a batch's sendings
# A batch sent again while halls die comes seconds late: the pace check is the hall's own
# tests' subject, and here its lateness is raised to let the games live through the kills.
LIVE = ["--live-games-per-address", "1000", "--live-starts-per-hour", "100000",
        "--watchers-per-address", "1000", "--max-connections-per-address", "1000",
        "--live-late-ms", "5000"]


class Game:
    def __init__(self, port, k):
        self.port, self.name = port, "Chaos%02d" % k
        self.ticket = json.loads(request(port, "POST", "/api/tickets")[1])["ticket"]
        status, body = request(port, "POST", "/api/live", {"ticket": self.ticket})
        live = json.loads(body)
        check(status == 201, "%s opened: %s" % (self.name, body))
        self.id = live["live"]
        out = subprocess.run([RECORDER, "paced", str(live["seed"]), "3200", "2", str(STARS)], check=True,
                             capture_output=True, text=True).stdout.split("----\n")
        self.lines, self.times = out[0].splitlines(), [float(t) for t in out[1].split()]
        self.batches, self.answer, self.events, self.end, self.streams = [], None, [], None, 0

    def send(self, path, body, ticket=None):
        """The request, sent again every INTERVAL while no hall takes it, for 15 s at most."""
        first = time.time()
        while True:
            try:
                status, answer = request(self.port, "POST", path, body, ticket, timeout=15)
                if status not in (502, 503, 504):
                    return status, answer
            except (OSError, http.client.HTTPException) as e:
                status, answer = None, str(e)
            if time.time() - first > 15:
                return status, answer
            time.sleep(INTERVAL)

    def play(self, start):
        """At its pace from start: every INTERVAL the lines of the frames played, numbered."""
        time.sleep(max(0, start - time.time()))
        lines = self.lines
        while lines:
            frame = bisect.bisect_right(self.times, self.times[0] + time.time() - start)
            n = next((i for i, l in enumerate(lines) if frame < len(self.times) and (
                int(l.split()[1]) > frame if l.startswith("at ") else l.startswith("expect"))), len(lines))
            batch = lines[:n] + ["# batch %d" % (len(self.batches) + 1), "# frame %d" % frame]
            self.batches.append(batch)
            lines = lines[n:]
            self.answer = self.send("/api/live/%s/lines" % self.id, "\n".join(batch) + "\n", self.ticket)
            if self.answer[0] != 204:
                return
            time.sleep(max(0, start + len(self.batches) * INTERVAL - time.time()))

    def watch(self, until):
        """The game's stream, opened again when it drops, with the last id read."""
        last = None
        while self.end is None and time.time() < until:
            try:
                c = http.client.HTTPConnection("127.0.0.1", self.port, timeout=20, source_address=(CLIENT, 0))
                c.request("GET", "/api/live/%s/stream" % self.id,
                          headers={} if last is None else {"Last-Event-ID": str(last)})
                r, event = c.getresponse(), {"data": []}
                self.streams += 1
                for line in (l.decode().rstrip("\n") for l in r if r.status == 200):
                    if line.startswith("data: "):
                        event["data"].append(line[6:])
                    elif line.startswith(("id: ", "event: ")):
                        event[line.split(":")[0]] = line.split(": ", 1)[1]
                    elif line == "" and event.get("event") == "end":
                        self.end = event["data"]
                    elif line == "" and "id" in event:
                        self.events.append((int(event["id"]), event["data"]))
                        last = int(event["id"])
                    event = {"data": []} if line == "" else event
            except (OSError, http.client.HTTPException):
                pass  # its hall died: the browser's EventSource comes back
            time.sleep(0.2)


def chaos(halls, start_hall_at, players, pg_ctl):
    """Kills a hall every KILLS_EVERY s (each in turn) while games play, and restarts
    PostgreSQL once; each hall is started again on its port as soon as it is dead."""
    kills, restarted, begin = 0, False, time.time()
    while any(p.is_alive() for p in players):
        next_kill = begin + KILLS_EVERY * (kills + 0.5)
        if pg_ctl and not restarted and begin + DB_RESTART_AT < next_kill:
            time.sleep(max(0, begin + DB_RESTART_AT - time.time()))
            subprocess.run(pg_ctl + ["restart", "-m", "fast"], check=True, stdout=subprocess.DEVNULL)
            restarted = True
            continue
        time.sleep(max(0, next_kill - time.time()))
        k = kills % len(halls)
        halls[k].send_signal(signal.SIGKILL)
        check(halls[k].wait(10) == -signal.SIGKILL, "hall %d killed" % k)
        halls[k] = start_hall_at(k)
        kills += 1
    return kills, restarted


def main():
    tmp = tempfile.mkdtemp()
    os.chmod(tmp, 0o777)
    database, ports = new_database("chaos"), [free_port() for _ in range(3)]
    logs = [open("%s/hall%d.log" % (tmp, k), "a+") for k in range(3)]

    def start_hall_at(k):
        h = start_hall(HALL, database, ports[k], logs[k], "--name", "hall%d" % k, *LIVE)
        wait_for(ports[k], h)
        return h
    halls, nginx = [start_hall_at(k) for k in range(3)], None
    try:
        nginx, port = start_nginx(tmp, SITE, ports)
        games = [Game(port, k) for k in range(GAMES)]
        start = time.time() + 1
        players = [threading.Thread(target=g.play, args=(start + k * STARTS_EVERY,)) for k, g in enumerate(games)]
        watchers = [threading.Thread(target=g.watch, args=(start + 90,)) for g in games]
        [t.start() for t in players + watchers]
        kills, restarted = chaos(halls, start_hall_at, players,
                                 RESTART_DB and shlex.split(os.environ["HALL_TEST_PG_CTL"]))
        [t.join() for t in watchers]
        for g in games:
            check(g.answer == (204, b""), "%s played to its end: batch %d answered %s" % (
                g.name, len(g.batches), g.answer))
            wrong = [(e, b) for e, b in zip(g.events + [None] * len(g.batches), enumerate(g.batches)) if e != b]
            check(not wrong, "%s's watcher got every batch once, in order: %d of %d, first wrong %s" % (
                g.name, len(g.events), len(g.batches), wrong[:1]))
            check(g.end == ['{"score":10}'], "%s watched to its end: %s" % (g.name, g.end))
            status, body = g.send("/api/scores", {"ticket": g.ticket, "name": g.name})
            check(status in (201, 409), "%s stored: %s %s" % (g.name, status, body))
        stored = subprocess.run(["psql", "-d", "chaos", "-Atc", "SELECT name, score FROM scores ORDER BY name"],
                                check=True, capture_output=True, text=True).stdout.split()
        check(stored == ["%s|10" % g.name for g in games], "every game stored once with its score: %s" % stored)
        taken = subprocess.run(["psql", "-d", "chaos", "-Atc", "SELECT sum(fence) FROM live_games"],
                               check=True, capture_output=True, text=True).stdout.strip()
        check(int(taken or 0) >= kills // 2, "the kills landed mid-game: %s takeovers, %d kills" % (taken, kills))
        back = [log.seek(0) or log.read().count("the database is back") for log in logs]
        check(not restarted or min(back) > 0, "every hall lived through the database's restart: %s" % back)
        print("%d kills, database restarted: %s, %s takeovers, %d streams opened in all" % (
            kills, restarted, taken, sum(g.streams for g in games)))
    finally:
        for p in halls + [nginx]:
            if p and p.poll() is None:
                p.terminate()
                p.wait(30)
        if failures:
            show_logs(tmp, ["hall0.log", "hall1.log", "hall2.log", "error.log"])
        shutil.rmtree(tmp, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
