#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster on 127.0.0.1 for the tests.
#   pg-cluster.sh start STATE_DIR   writes STATE_DIR/port and STATE_DIR/data
#   pg-cluster.sh stop STATE_DIR
# The server runs as the unprivileged postgres account when started by root, never as a service.
# It has the role kiosk (password kiosk-pass) owning the database library.
set -euo pipefail
action=$1
state=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
    [ -f "$state/data" ] || return 0
    local data
    data=$(cat "$state/data")
    as_server "$bin/pg_ctl" -D "$data/db" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$data" "$state"
}

start() {
    stop
    mkdir -p "$state"
    local data port
    data=$(mktemp -d /tmp/kiosk-pg.XXXXXX)
    [ "$(id -u)" -eq 0 ] && chown postgres: "$data"
    echo "$data" > "$state/data"
    as_server "$bin/initdb" -D "$data/db" -U postgres -E UTF8 --no-locale \
        --auth-local=trust --auth-host=scram-sha-256 >"$data/initdb.log" 2>&1
    for _ in $(seq 1 50); do
        port=$(shuf -i 20000-60000 -n 1)
        if as_server "$bin/pg_ctl" -D "$data/db" -l "$data/server.log" -w -t 30 \
            -o "-p $port -k $data -c listen_addresses=127.0.0.1" start >/dev/null; then
            echo "$port" > "$state/port"
            "$bin/psql" -q -h "$data" -p "$port" -U postgres -v ON_ERROR_STOP=1 \
                -c "create role kiosk login password 'kiosk-pass'" \
                -c "create database library owner kiosk" >/dev/null
            echo "PostgreSQL listening on 127.0.0.1:$port"
            return 0
        fi
    done
    echo "could not start PostgreSQL; see $data/server.log" >&2
    return 1
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
