#!/usr/bin/env bash
# Checks the korvane-hall package as an operator meets it: contents and lintian, then
# install, start as a service, ask it for its page and a ticket; start two halls of the
# template unit korvane-hall@.service, each with its port and SQLite file, take a ticket of
# each, upgrade over them (the same package installed again), and find both running again
# with their tickets, and their databases backed up; stop, and purge. Run by
# tools/check_deb.sh. Usage: tools/check_hall_deb.sh PACKAGE VERSION
#
# Where systemd runs the machine (PID 1), the services are started with systemctl, and the
# package's upgrade restarts them. In a container without it, a hall is started the way its
# unit would start it: as the unit's user (setpriv), with the unit's Environment= lines,
# then its EnvironmentFile, and its ExecStart line; after the upgrade the halls are
# restarted so, one after another, as the package's upgrade would have systemd do.
set -euo pipefail
deb=$1 version=$2
root=()
[ "$(id -u)" -eq 0 ] || root=(sudo)
fail() { echo "check_hall_deb: $*" >&2; exit 1; }
unit=/lib/systemd/system/korvane-hall.service
template=/lib/systemd/system/korvane-hall@.service
settings=/etc/default/korvane-hall

listing=$(dpkg-deb -c "$deb")
examples=usr/share/doc/korvane-hall/examples
for file in usr/bin/korvane-hall lib/systemd/system/korvane-hall.service \
    lib/systemd/system/korvane-hall@.service etc/default/korvane-hall \
    usr/share/doc/korvane-hall/copyright usr/share/doc/korvane-hall/changelog.Debian.gz \
    $examples/nginx-one-hall.conf $examples/nginx-several-halls.conf \
    $examples/korvane-hall-instance.conf usr/share/man/man8/korvane-hall.8.gz; do
    grep -q " \./$file\$" <<<"$listing" || fail "$file missing from the package"
done
grep -q " \./usr/share/korvane-hall/play/index.html\$" <<<"$listing" ||
    echo "check_hall_deb: the package carries no browser build (KORVANE_HALL_PACKAGE_WEB unset)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6sql6-sqlite libqt6core6 libprometheus-cpp-core1.0 adduser; do
    grep -Eq "(^|, )$lib( |,|\$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
grep -Eq "(^|, )sqlite3( |,|\$)" <<<"$(dpkg-deb -f "$deb" Suggests)" ||
    fail "Suggests lacks sqlite3, which backs the halls up before an upgrade"
lintian --fail-on error --info "$deb" || fail "lintian found errors"

export DEBIAN_FRONTEND=noninteractive
"${root[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >/dev/null
declare -A pids=()  # each hall started here without systemd, by its unit's name
log=$(mktemp)
cleanup() {
    for hall in "${!pids[@]}"; do "${root[@]}" kill "${pids[$hall]}" 2>/dev/null || true; done
    "${root[@]}" apt-get purge -y -qq -o DPkg::Lock::Timeout=600 korvane-hall >/dev/null || true
    rm -f "$log"
}
trap cleanup EXIT
getent passwd korvane-hall >/dev/null || fail "no system user korvane-hall"
[ "$(stat -c %U /var/lib/korvane-hall)" = korvane-hall ] ||
    fail "/var/lib/korvane-hall does not belong to korvane-hall"
/usr/bin/korvane-hall --version | grep -qx "korvane-hall ${version%-*}" || fail "wrong version"

# A unit's lines, continued lines joined, with %i as its instance NAME would have it.
unit_lines() {  # unit_lines UNIT_FILE [NAME]
    sed -e ':a' -e '/\\$/{N;s/\\\n//;ba}' -e "s/%i/${2:-}/g" "$1"
}
# The template's halls are confined and limited as the one hall is.
confinement() { unit_lines "$1" | grep -Ev '^(#|Description=|Environment|ExecStart=|$)'; }
diff <(confinement $unit) <(confinement $template) ||
    fail "korvane-hall@.service is not confined and limited as korvane-hall.service is"

systemd=
[ "$(cat /proc/1/comm 2>/dev/null)" != systemd ] || systemd=yes
start() {  # start UNIT_NAME: the service, or the hall as its unit would run it
    if [ -n "$systemd" ]; then
        "${root[@]}" systemctl restart "$1"
        return
    fi
    local name=${1#*@} file=$unit lines start user
    name=${name%.service}
    [ "$1" = "${1#*@}" ] || file=$template
    lines=$(unit_lines "$file" "$name")
    # Run by a shell as the unit's user: $VAR and ${VAR} as systemd expands them for these
    # values (no spaces in them).
    start=$(
        sed -n 's/^Environment=/export /p' <<<"$lines"
        sed -n 's/^EnvironmentFile=-\{0,1\}\(.*\)/set -a; [ ! -r \1 ] || . \1; set +a/p' \
            <<<"$lines"
        echo "exec $(sed -n 's/^ExecStart=//p' <<<"$lines")"
    )
    user=$(sed -n 's/^User=//p' <<<"$lines")
    # setpriv execs the shell, which execs the hall: $! is the hall itself.
    "${root[@]}" setpriv --reuid="$user" --regid="$user" --init-groups sh -c "$start" \
        >>"$log" 2>&1 &
    pids[$1]=$!
}
stop() {  # stop UNIT_NAME started here without systemd; it must stop cleanly on SIGTERM
    "${root[@]}" kill "${pids[$1]}"
    wait "${pids[$1]}" || fail "$1 did not stop cleanly on SIGTERM"
    unset "pids[$1]"
}
ask() {  # ask PORT METHOD PATH [JSON]: the status and the body, once the hall answers (20 s)
    python3 - "$@" <<'PY'
import http.client, sys, time
for _ in range(200):
    try:
        c = http.client.HTTPConnection("127.0.0.1", int(sys.argv[1]), timeout=5)
        c.request(sys.argv[2], sys.argv[3], sys.argv[4] if len(sys.argv) > 4 else None)
        r = c.getresponse()
        print(r.status, r.read().decode())
        sys.exit(0)
    except OSError:
        time.sleep(0.1)
print("none")
PY
}
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}
how=systemctl
[ -n "$systemd" ] || how="as korvane-hall by the units' lines (no systemd here)"

# The one hall, with the operator's settings file: a free port, as an operator would set one.
port=$(free_port)
"${root[@]}" sh -c "echo 'KORVANE_HALL_OPTIONS=\"--port $port\"' >> $settings"
start korvane-hall.service
if [[ "$(ask "$port" GET /)" != "200 "* ]]; then
    cat "$log"
    fail "GET / did not answer 200"
fi
[[ "$(ask "$port" POST /api/tickets)" = "201 "* ]] || fail "POST /api/tickets did not answer 201"
[ "$(stat -c %U /var/lib/korvane-hall/hall.sqlite)" = korvane-hall ] ||
    fail "the database is not in /var/lib/korvane-hall, the hall's own"
[ -n "$systemd" ] || stop korvane-hall.service

# Two halls of the template, each with its port and (by default) its own SQLite file, and a
# ticket taken from each.
declare -A ports=() tickets=()
for name in first second; do
    ports[$name]=$(free_port)
    "${root[@]}" sh -c "echo KORVANE_HALL_PORT=${ports[$name]} >/etc/korvane-hall/$name.conf"
    start "korvane-hall@$name.service"
    answer=$(ask "${ports[$name]}" POST /api/tickets)
    [[ "$answer" = "201 "* ]] || { cat "$log"; fail "korvane-hall@$name gave no ticket: $answer"; }
    tickets[$name]=$(python3 -c 'import json, sys; print(json.loads(sys.argv[1][4:])["ticket"])' \
        "$answer")
    [ -f "/var/lib/korvane-hall/$name.sqlite" ] || fail "korvane-hall@$name has no SQLite file"
done
opens() {  # opens NAME TICKET: whether korvane-hall@NAME opens a live game with TICKET
    [[ "$(ask "${ports[$1]}" POST /api/live "{\"ticket\": \"$2\"}")" = "201 "* ]]
}
! opens second "${tickets[first]}" || fail "the template's halls share a database"
mains() {
    [ -z "$systemd" ] || systemctl show -p MainPID --value korvane-hall@first korvane-hall@second
}
before=$(mains)

# The upgrade, over the running halls: the package installed again.
"${root[@]}" dpkg -i "$deb" >/dev/null
if [ -n "$systemd" ]; then
    after=$(mains)
    for k in 0 1; do
        old=$(sed -n "$((k + 1))p" <<<"$before") new=$(sed -n "$((k + 1))p" <<<"$after")
        if [ "$new" = 0 ] || [ "$new" = "$old" ]; then
            fail "a hall was not restarted by the upgrade"
        fi
    done
else
    for name in first second; do
        stop "korvane-hall@$name.service"
        start "korvane-hall@$name.service"
    done
fi
for name in first second; do
    database=/var/lib/korvane-hall/$name.sqlite
    if command -v sqlite3 >/dev/null; then
        [ "$(stat -c %U "$database.before-upgrade" 2>/dev/null)" = korvane-hall ] ||
            fail "the upgrade made no copy of $database (as korvane-hall)"
    fi
    opens "$name" "${tickets[$name]}" ||
        { cat "$log"; fail "korvane-hall@$name lost its ticket in the upgrade"; }
done
command -v sqlite3 >/dev/null || echo "check_deb: sqlite3 is not installed: no backups to check"
for hall in "${!pids[@]}"; do stop "$hall"; done

"${root[@]}" apt-get purge -y -qq -o DPkg::Lock::Timeout=600 korvane-hall >/dev/null
trap - EXIT
rm -f "$log"
for file in /usr/bin/korvane-hall /var/lib/korvane-hall $settings /etc/korvane-hall; do
    [ ! -e "$file" ] || fail "$file left behind after purge"
done
echo "check_deb: $(basename "$deb") installs, starts ($how), answers on port $port," \
    "runs two halls of korvane-hall@.service that keep their data through an upgrade," \
    "and purges cleanly"
