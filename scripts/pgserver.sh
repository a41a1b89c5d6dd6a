#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster on 127.0.0.1 for the tests.
#   eval "$(scripts/pgserver.sh start)"   prints the VT_TEST_PG* variables to export
#   scripts/pgserver.sh stop DIR          stops the cluster and removes DIR
# The tests' cluster runs with fsync off; VT_PG_FSYNC=on starts one that flushes its commits to
# disk as a production server does (for benchmarks, where commits must cost what they cost).
set -euo pipefail
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/initdb" ] || { echo "PostgreSQL server binaries not found" >&2; exit 1; }

case "${1:-}" in
start)
    dir=$(mktemp -d /tmp/vtpg.XXXXXX)
    chown postgres:postgres "$dir" 2>/dev/null || true
    chmod 700 "$dir"
    fsync=${VT_PG_FSYNC:-off}
    case $fsync in on|off) ;; *) echo "VT_PG_FSYNC must be on or off" >&2; exit 2;; esac
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
    pass=vtpass$RANDOM
    as_pg() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
    echo "$pass" > "$dir/pw"; chmod 600 "$dir/pw"; chown postgres:postgres "$dir/pw" 2>/dev/null || true
    as_pg "$bindir/initdb" -D "$dir/data" -U postgres --pwfile="$dir/pw" -A scram-sha-256 \
        -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || { cat "$dir/initdb.log" >&2; exit 1; }
    as_pg "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$dir -c fsync=$fsync -c max_connections=60" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    PGPASSWORD=$pass psql -h 127.0.0.1 -p "$port" -U postgres -d postgres -qAt \
        -c "CREATE ROLE vttest LOGIN PASSWORD '$pass' CREATEDB" \
        -c "CREATE DATABASE vttest OWNER vttest" >/dev/null
    echo "export VT_TEST_PGDIR=$dir VT_TEST_PGHOST=127.0.0.1 VT_TEST_PGPORT=$port VT_TEST_PGUSER=vttest VT_TEST_PGPASSWORD=$pass VT_TEST_PGDATABASE=vttest VT_TEST_PG_REQUIRED=1"
    ;;
stop)
    dir=${2:?cluster folder}
    if [ -d "$dir/data" ]; then
        if [ "$(id -u)" = 0 ]; then
            runuser -u postgres -- "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
        else
            "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
        fi
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start | stop DIR" >&2; exit 2;;
esac
