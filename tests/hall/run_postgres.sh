#!/usr/bin/env bash
# run_postgres.sh COMMAND...: a PostgreSQL 15 of the test's own in a temporary folder, run
# by an unprivileged user on a free loopback port; COMMAND runs with HALL_TEST_POSTGRES set
# to postgresql://hall@127.0.0.1:PORT/ (and HALL_TEST_POSTGRES_SOCKET to its socket's
# folder) and HALL_TEST_PG_CTL to the pg_ctl command that stops and starts it again (its
# settings are in its configuration), and the server is stopped after. Skips (77) when the
# PostgreSQL binaries are missing.
set -euo pipefail
bin=/usr/lib/postgresql/15/bin
if [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ] || ! command -v psql >/dev/null; then
    echo "PostgreSQL 15 is not installed: skipped"; exit 77
fi
dir=$(mktemp -d)
as=()
if [ "$(id -u)" -eq 0 ]; then
    user=$(id -u postgres >/dev/null 2>&1 && echo postgres || echo nobody)
    chown "$user" "$dir"
    as=(runuser -u "$user" --)
fi
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
stop() { "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true; rm -rf "$dir"; }
trap stop EXIT
"${as[@]}" "$bin/initdb" -D "$dir/data" -U hall --auth=trust -E UTF8 >/dev/null
printf "port = %s\nunix_socket_directories = '%s'\nlisten_addresses = '127.0.0.1'\nfsync = off\n" \
    "$port" "$dir" >>"$dir/data/postgresql.conf"
pg_ctl="${as[*]} $bin/pg_ctl -D $dir/data -l $dir/log -w"
$pg_ctl start >/dev/null
HALL_TEST_POSTGRES="postgresql://hall@127.0.0.1:$port/" HALL_TEST_PG_CTL="$pg_ctl" \
    HALL_TEST_POSTGRES_SOCKET=$dir PGHOST=127.0.0.1 PGPORT=$port PGUSER=hall "$@"
