# Throwaway PostgreSQL 15 cluster for tests and benchmarks. Sourced, not run:
#
#   source scripts/lib/pg-cluster.sh
#   trap pg_cluster_stop EXIT
#   pg_cluster_start        # exports KANDOR_TEST_PG
#
# The cluster is set up the way a real installation is (superuser postgres
# with a password, scram-sha-256 over TCP on 127.0.0.1), so the password path
# of the client code is what gets tested. Durability is switched off: the
# data is thrown away at the end.

PG_CLUSTER_BIN=/usr/lib/postgresql/15/bin
PG_CLUSTER_PASSWORD=tarnelis
PG_CLUSTER_DIR=
PG_CLUSTER_PORT=

# initdb refuses to run as root; as root the cluster belongs to the postgres
# account, as any other user to that user.
_pg_cluster_as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        (cd "$PG_CLUSTER_DIR" && runuser -u postgres -- "$@")
    else
        (cd "$PG_CLUSTER_DIR" && "$@")
    fi
}

_pg_cluster_port_free() {
    ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

_pg_cluster_pick_port() {
    local port
    for _ in $(seq 1 200); do
        port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
        if _pg_cluster_port_free "$port"; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

pg_cluster_start() {
    if [[ ! -x $PG_CLUSTER_BIN/initdb ]]; then
        echo "pg-cluster: $PG_CLUSTER_BIN/initdb not found (is postgresql-15 installed?)" >&2
        return 1
    fi

    # The postgres account must be able to reach the folder, and root's own
    # TMPDIR may not let it.
    local base=${TMPDIR:-/tmp}
    if [[ $(id -u) -eq 0 ]]; then
        base=/tmp
    fi
    PG_CLUSTER_DIR=$(mktemp -d "$base/kandor-pg.XXXXXX") || return 1
    chmod 700 "$PG_CLUSTER_DIR"
    if [[ $(id -u) -eq 0 ]]; then
        chown postgres:postgres "$PG_CLUSTER_DIR" || return 1
    fi

    local locale=C
    if locale -a 2>/dev/null | grep -Eqi '^c\.utf-?8$'; then
        locale=C.UTF-8
    fi

    local pwfile=$PG_CLUSTER_DIR/pwfile
    # shellcheck disable=SC2016 # $1 and $2 are the inner shell's
    _pg_cluster_as_owner sh -c 'umask 077 && printf "%s\n" "$1" > "$2"' \
        sh "$PG_CLUSTER_PASSWORD" "$pwfile" || return 1
    if ! _pg_cluster_as_owner "$PG_CLUSTER_BIN/initdb" \
        -D "$PG_CLUSTER_DIR/data" -U postgres --pwfile="$pwfile" \
        --encoding=UTF8 --locale="$locale" \
        --auth-local=trust --auth-host=scram-sha-256 \
        >"$PG_CLUSTER_DIR/initdb.log" 2>&1; then
        echo "pg-cluster: initdb failed:" >&2
        cat "$PG_CLUSTER_DIR/initdb.log" >&2
        return 1
    fi
    rm -f "$pwfile"

    # Tests run in parallel and each fixture holds a few connections.
    cat >>"$PG_CLUSTER_DIR/data/postgresql.conf" <<CONF

# throwaway test cluster
listen_addresses = '127.0.0.1'
unix_socket_directories = '$PG_CLUSTER_DIR'
max_connections = 200
fsync = off
synchronous_commit = off
full_page_writes = off
CONF

    # The port is probed first, but another process may take it before the
    # server binds; then try another.
    local port attempt
    for attempt in 1 2 3 4 5; do
        port=$(_pg_cluster_pick_port) || {
            echo "pg-cluster: no free port found on 127.0.0.1" >&2
            return 1
        }
        rm -f "$PG_CLUSTER_DIR/server.log"
        if _pg_cluster_as_owner "$PG_CLUSTER_BIN/pg_ctl" -D "$PG_CLUSTER_DIR/data" \
            -l "$PG_CLUSTER_DIR/server.log" -o "-p $port" -w -t 60 start >/dev/null; then
            PG_CLUSTER_PORT=$port
            break
        fi
        if ! grep -q 'could not bind' "$PG_CLUSTER_DIR/server.log" 2>/dev/null; then
            echo "pg-cluster: server did not start:" >&2
            cat "$PG_CLUSTER_DIR/server.log" >&2
            return 1
        fi
    done
    if [[ -z $PG_CLUSTER_PORT ]]; then
        echo "pg-cluster: could not bind a port after $attempt attempts" >&2
        return 1
    fi

    export KANDOR_TEST_PG="host=127.0.0.1 port=$PG_CLUSTER_PORT user=postgres password=$PG_CLUSTER_PASSWORD"
    echo "PostgreSQL 15 on 127.0.0.1:$PG_CLUSTER_PORT (data in $PG_CLUSTER_DIR)"
}

# Stops the server and removes its folder. Safe to call more than once, and
# when the start failed half-way.
pg_cluster_stop() {
    [[ -n ${PG_CLUSTER_DIR:-} && -d $PG_CLUSTER_DIR ]] || return 0
    local data=$PG_CLUSTER_DIR/data pid=
    if [[ -f $data/postmaster.pid ]]; then
        pid=$(head -n 1 "$data/postmaster.pid" 2>/dev/null || true)
        if ! _pg_cluster_as_owner "$PG_CLUSTER_BIN/pg_ctl" -D "$data" -m fast -w -t 30 stop >/dev/null 2>&1 &&
            ! _pg_cluster_as_owner "$PG_CLUSTER_BIN/pg_ctl" -D "$data" -m immediate -w -t 30 stop >/dev/null 2>&1; then
            # Last resort; the backends exit by themselves once their
            # postmaster is gone.
            if [[ $pid =~ ^[0-9]+$ ]]; then
                kill -KILL "$pid" 2>/dev/null || true
            fi
        fi
    fi
    # pg_ctl returns once the pid file is gone, a moment before the
    # postmaster itself has exited and been reaped by init (its parent, since
    # pg_ctl detaches it); wait for that so nothing is left when the caller
    # ends.
    if [[ $pid =~ ^[0-9]+$ ]]; then
        local _
        for _ in $(seq 1 100); do
            [[ -e /proc/$pid ]] || break
            sleep 0.1
        done
    fi
    rm -rf "$PG_CLUSTER_DIR"
    PG_CLUSTER_DIR=
    PG_CLUSTER_PORT=
}
