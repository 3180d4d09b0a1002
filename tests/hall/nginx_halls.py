"""What deploy_test.py and chaos_test.py share: halls on one PostgreSQL, on loopback ports (as
nobody when run as root), behind an nginx run with the operator's site file."""
import http.client, json, os, re, shutil, socket, subprocess, sys, time

NGINX = shutil.which("nginx") or "/usr/sbin/nginx"
AS = {"user": "nobody", "group": "nogroup"} if os.geteuid() == 0 else {}
CLIENT = "127.0.0.2"  # the client's own address, which the halls must learn from nginx
# All the clients share that address: the limits per address would stop them.
UNLIMITED = [w for o in ["--tickets-per-minute", "--open-tickets", "--submissions-per-minute"]
             for w in (o, "100000")]
failures = []


def skip_without_nginx():
    if not os.access(NGINX, os.X_OK):
        print("nginx is not installed: skipped")
        sys.exit(77)


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


def request(port, method, path, body=None, ticket=None, timeout=30):
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout, source_address=(CLIENT, 0))
    headers = {"Content-Type": "application/json", **({"Authorization": "Bearer " + ticket} if ticket else {})}
    c.request(method, path, json.dumps(body) if isinstance(body, dict) else body, headers)
    r = c.getresponse()
    return r.status, r.read()


def new_database(name):
    subprocess.run(["psql", "-d", "postgres", "-qc", "CREATE DATABASE " + name], check=True)
    return os.environ["HALL_TEST_POSTGRES"] + name


def start_hall(hall, database, port, log, *extra):
    """A hall that believes nginx's X-Forwarded-For, serving no page, taking whole recordings."""
    return subprocess.Popen([hall, "--database", database, "--port", str(port), "--web", "/nonexistent",
                             "--trusted-proxy", "127.0.0.1", "--whole-recordings"] + UNLIMITED + list(extra),
                            stdout=log, stderr=log, **AS)


def start_nginx(tmp, site_file, halls):
    """nginx with the site file, its port 80 a free loopback port and its halls these ports
    (the file names two: each upstream gets a line for every other)."""
    port = free_port()
    # The site's own port 80 (IPv4 and IPv6) becomes a free loopback port.
    site = open(site_file).read().replace("listen [::]:80;", "").replace(
        "listen 80;", "listen 127.0.0.1:%d;" % port)
    # Each upstream's second hall, whatever its parameters, is followed by the others.
    site = re.sub(r"    server 127\.0\.0\.1:8644 [^\n]*\n", lambda m: m.group(0) + "".join(
        m.group(0).replace("8644", "HALL%d" % k) for k in range(2, len(halls))), site)
    site = site.replace(":8643", ":HALL0").replace(":8644", ":HALL1")
    for k, p in enumerate(halls):
        site = site.replace(":HALL%d" % k, ":%d" % p)
    open(tmp + "/site.conf", "w").write(site)
    temps = "".join("%s_temp_path %s/%s;\n" % (t, tmp, t)
                    for t in ["client_body", "proxy", "fastcgi", "uwsgi", "scgi"])
    open(tmp + "/nginx.conf", "w").write(
        "worker_processes 1;\npid %s/nginx.pid;\nevents { worker_connections 512; }\n"
        "http {\naccess_log %s/access.log;\n%sinclude %s/site.conf;\n}\n" % (tmp, tmp, temps, tmp))
    proc = subprocess.Popen([NGINX, "-p", tmp, "-c", tmp + "/nginx.conf", "-e", tmp + "/error.log",
                             "-g", "daemon off;"], **AS)
    wait_for(port, proc)
    return proc, port


def show_logs(tmp, names):
    for name in names:
        path = os.path.join(tmp, name)
        if os.path.exists(path):
            print("--", name, open(path).read()[-3000:], sep="\n")
