#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests and benchmarks, reachable only by its Unix
# socket in a temporary folder.
#   tools/test-postgres.sh start   prints the folder (the socket's directory) on success
#   tools/test-postgres.sh stop DIR
# The server refuses to run as root, so as root it runs as the user postgres.
set -euo pipefail
as_server() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "${1:-}" in
start)
    bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
    [ -x "$bin/initdb" ] || { echo "no PostgreSQL server installed" >&2; exit 1; }
    dir=$(mktemp -d /tmp/morvane-pg-XXXXXX)
    chmod 755 "$dir"
    [ "$(id -u)" -ne 0 ] || chown postgres: "$dir"
    as_server "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || { cat "$dir/initdb.log" >&2; rm -rf "$dir"; exit 1; }
    if ! as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -s start \
           -o "-c listen_addresses='' -k $dir -c fsync=off -c full_page_writes=off -c synchronous_commit=off"; then
        cat "$dir/server.log" >&2
        rm -rf "$dir"
        exit 1
    fi
    echo "$dir"
    ;;
stop)
    dir=${2:?the folder start printed}
    bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)
    as_server "$bin/pg_ctl" -D "$dir/data" -m fast -w -s stop || true
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start | stop DIR" >&2
    exit 2
    ;;
esac
