#!/usr/bin/env python3
"""run_postgres.sh deploy_test.py KORVANE_HALL KORVANE_SIM NGINX_SITE_FILE HALL_RECORDING: the
deployment of docs/hall.md, nginx with the operator's site file before two halls on one
PostgreSQL, on loopback ports (as nobody when run as root). A game is played live through
nginx and watched through it as it plays; then clients play through nginx and one hall is
killed with kill -9: every acknowledged score must be in the table, and the other hall must
go on taking games. Skipped (77) without nginx; run_postgres.sh skips without PostgreSQL."""
import bisect, http.client, json, os, re, shutil, signal, socket, subprocess, sys, tempfile, threading, time

HALL, SIM, SITE, RECORDER = sys.argv[1:5]
NGINX = shutil.which("nginx") or "/usr/sbin/nginx"
if not os.access(NGINX, os.X_OK):
    print("nginx is not installed: skipped")
    sys.exit(77)
AS = {"user": "nobody", "group": "nogroup"} if os.geteuid() == 0 else {}
CLIENT = "127.0.0.2"  # the client's own address, which the halls must learn from nginx
# All the clients share that address: the limits per address would stop them.
UNLIMITED = [w for o in ["--tickets-per-minute", "--open-tickets", "--submissions-per-minute"]
             for w in (o, "100000")]
JSON = "application/json"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(port, proc):
    deadline = time.time() + 20
    while time.time() < deadline and proc.poll() is None:
        try:
            return socket.create_connection(("127.0.0.1", port), 0.2).close()
        except OSError:
            time.sleep(0.05)
    raise RuntimeError("nothing listens on port %d" % port)


def request(port, method, path, body=None, ticket=None):
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=30, source_address=(CLIENT, 0))
    headers = {"Content-Type": JSON, **({"Authorization": "Bearer " + ticket} if ticket else {})}
    c.request(method, path, json.dumps(body) if isinstance(body, dict) else body, headers)
    r = c.getresponse()
    return r.status, r.read()


def start_nginx(tmp, halls):
    port = free_port()
    # The site's own port 80 (IPv4 and IPv6) becomes a free loopback port.
    site = open(SITE).read().replace("listen [::]:80;", "").replace(
        "listen 80;", "listen 127.0.0.1:%d;" % port)
    open(tmp + "/site.conf", "w").write(site.replace(":8643", ":%d" % halls[0]).replace(
        ":8644", ":%d" % halls[1]))
    temps = "".join("%s_temp_path %s/%s;\n" % (t, tmp, t)
                    for t in ["client_body", "proxy", "fastcgi", "uwsgi", "scgi"])
    open(tmp + "/nginx.conf", "w").write(
        "worker_processes 1;\npid %s/nginx.pid;\nevents { worker_connections 512; }\n"
        "http {\naccess_log %s/access.log;\n%sinclude %s/site.conf;\n}\n" % (tmp, tmp, temps, tmp))
    proc = subprocess.Popen([NGINX, "-p", tmp, "-c", tmp + "/nginx.conf", "-e", tmp + "/error.log",
                             "-g", "daemon off;"], **AS)
    wait_for(port, proc)
    return proc, port


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
                score = {"ticket": ticket["ticket"], "name": "Deploy", "recording": recording}
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
    subprocess.run(["psql", "-d", "postgres", "-qc", "CREATE DATABASE deploy"], check=True)
    database = os.environ["HALL_TEST_POSTGRES"] + "deploy"
    ports = [free_port(), free_port()]
    logs = [open("%s/hall%d.log" % (tmp, k), "w+") for k in range(2)]
    halls = [subprocess.Popen([HALL, "--database", database, "--port", str(p), "--web",
                               tmp + "/no-page", "--trusted-proxy", "127.0.0.1", "--whole-recordings"] + UNLIMITED,
                              stdout=log, stderr=log, **AS) for p, log in zip(ports, logs)]
    procs = list(halls)
    try:
        for p, h in zip(ports, halls):
            wait_for(p, h)
        nginx, port = start_nginx(tmp, ports)
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
            for name in ["hall0.log", "hall1.log", "error.log"]:
                print("--", name, open(os.path.join(tmp, name)).read()[-2000:], sep="\n")
        shutil.rmtree(tmp, ignore_errors=True)
    sys.exit(1 if failures else 0)


main()
