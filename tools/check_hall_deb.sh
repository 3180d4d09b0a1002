#!/usr/bin/env bash
# Checks the korvane-hall package as an operator meets it: contents and lintian, then
# install, start as a service, ask it for its page and a ticket, stop, and purge. Run by
# tools/check_deb.sh. Usage: tools/check_hall_deb.sh PACKAGE VERSION
#
# Where systemd runs the machine (PID 1), the service is started with systemctl. In a
# container without it, the hall is started the way the unit would start it: as the
# unit's user (setpriv), with the unit's Environment= lines, then /etc/default/korvane-hall, and its
# ExecStart line.
set -euo pipefail
deb=$1 version=$2
root=()
[ "$(id -u)" -eq 0 ] || root=(sudo)
fail() { echo "check_hall_deb: $*" >&2; exit 1; }
unit=/lib/systemd/system/korvane-hall.service
settings=/etc/default/korvane-hall

listing=$(dpkg-deb -c "$deb")
for file in usr/bin/korvane-hall lib/systemd/system/korvane-hall.service etc/default/korvane-hall \
    usr/share/doc/korvane-hall/copyright usr/share/doc/korvane-hall/changelog.Debian.gz \
    usr/share/doc/korvane-hall/examples/nginx-korvane-hall.conf \
    usr/share/man/man8/korvane-hall.8.gz; do
    grep -q " \./$file\$" <<<"$listing" || fail "$file missing from the package"
done
grep -q " \./usr/share/korvane-hall/play/index.html\$" <<<"$listing" ||
    echo "check_hall_deb: the package carries no browser build (KORVANE_HALL_PACKAGE_WEB unset)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6sql6-sqlite libqt6core6 libprometheus-cpp-core1.0 adduser; do
    grep -Eq "(^|, )$lib( |,|\$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
lintian --fail-on error --info "$deb" || fail "lintian found errors"

export DEBIAN_FRONTEND=noninteractive
"${root[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >/dev/null
pid=
log=$(mktemp)
cleanup() {
    [ -z "$pid" ] || "${root[@]}" kill "$pid" 2>/dev/null || true
    "${root[@]}" apt-get purge -y -qq -o DPkg::Lock::Timeout=600 korvane-hall >/dev/null || true
    rm -f "$log"
}
trap cleanup EXIT
getent passwd korvane-hall >/dev/null || fail "no system user korvane-hall"
[ "$(stat -c %U /var/lib/korvane-hall)" = korvane-hall ] ||
    fail "/var/lib/korvane-hall does not belong to korvane-hall"
/usr/bin/korvane-hall --version | grep -qx "korvane-hall ${version%-*}" || fail "wrong version"

# The operator's settings file: a free port, as an operator would set one.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
"${root[@]}" sh -c "echo 'KORVANE_HALL_OPTIONS=\"--port $port\"' >> $settings"
if [ "$(cat /proc/1/comm 2>/dev/null)" = systemd ]; then
    "${root[@]}" systemctl restart korvane-hall
    how=systemctl
else
    # The unit's own lines, run by a shell as the unit's user: $VAR and ${VAR} as systemd
    # expands them for these values (no spaces in them).
    lines=$(sed -e ':a' -e '/\\$/{N;s/\\\n//;ba}' "$unit")  # continued lines joined
    start=$(
        sed -n 's/^Environment=/export /p' <<<"$lines"
        echo "set -a; [ ! -r $settings ] || . $settings; set +a"
        echo "exec $(sed -n 's/^ExecStart=//p' <<<"$lines")"
    )
    user=$(sed -n 's/^User=//p' <<<"$lines")
    # setpriv execs the shell, which execs the hall: $! is the hall itself.
    "${root[@]}" setpriv --reuid="$user" --regid="$user" --init-groups sh -c "$start" \
        >"$log" 2>&1 &
    pid=$!
    how="as $user by the unit's lines (no systemd here)"
fi
answer() {  # answer METHOD PATH: the status, once the hall answers (20 s at most)
    python3 - "$port" "$@" <<'PY'
import http.client, sys, time
for _ in range(200):
    try:
        c = http.client.HTTPConnection("127.0.0.1", int(sys.argv[1]), timeout=5)
        c.request(sys.argv[2], sys.argv[3])
        print(c.getresponse().status)
        sys.exit(0)
    except OSError:
        time.sleep(0.1)
print("none")
PY
}
if [ "$(answer GET /)" != 200 ]; then
    cat "$log"
    fail "GET / did not answer 200"
fi
[ "$(answer POST /api/tickets)" = 201 ] || fail "POST /api/tickets did not answer 201"
[ "$(stat -c %U /var/lib/korvane-hall/hall.sqlite)" = korvane-hall ] ||
    fail "the database is not in /var/lib/korvane-hall, the hall's own"
if [ -n "$pid" ]; then
    "${root[@]}" kill "$pid"
    wait "$pid" || fail "the hall did not stop cleanly on SIGTERM"
    pid=
fi
"${root[@]}" apt-get purge -y -qq -o DPkg::Lock::Timeout=600 korvane-hall >/dev/null
trap - EXIT
rm -f "$log"
[ ! -e /usr/bin/korvane-hall ] && [ ! -e /var/lib/korvane-hall ] && [ ! -e $settings ] ||
    fail "files left behind after purge"
echo "check_deb: $(basename "$deb") installs, starts ($how), answers on port $port" \
    "and purges cleanly"
