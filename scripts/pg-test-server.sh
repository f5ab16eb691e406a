#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL server for the tests.
#   source scripts/pg-test-server.sh start   -> exports ARBOR_TEST_PG_* for the tests
#   scripts/pg-test-server.sh stop DIR
# Host connections need a password (scram-sha-256), so the tests can check a refused one.
pg_test_start() {
  local pgbin port
  pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$pgbin" ] || [ ! -x "$pgbin/initdb" ]; then
    echo "pg-test-server: PostgreSQL server binaries not found" >&2; return 1
  fi
  # The first free port from 54329 on, unless one is asked for (another server, such as a
  # developer's own test server, may hold the usual one).
  port=${ARBOR_TEST_PG_PORT:-}
  if [ -z "$port" ]; then
    for port in $(seq 54329 54399); do
      (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
    done
  fi
  ARBOR_PG_ROOT=$(mktemp -d /tmp/arbor-pg.XXXXXX)
  local as=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres:postgres "$ARBOR_PG_ROOT"
    as=(runuser -u postgres --)
  fi
  "${as[@]}" "$pgbin/initdb" -D "$ARBOR_PG_ROOT/data" -U postgres --auth-local=trust \
      --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 --no-sync >"$ARBOR_PG_ROOT/initdb.log" 2>&1 \
    || { echo "pg-test-server: initdb failed:" >&2; cat "$ARBOR_PG_ROOT/initdb.log" >&2; return 1; }
  "${as[@]}" "$pgbin/pg_ctl" -D "$ARBOR_PG_ROOT/data" -l "$ARBOR_PG_ROOT/server.log" -w -t 30 \
      -o "-p $port -k $ARBOR_PG_ROOT -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start >/dev/null \
    || { echo "pg-test-server: server did not start:" >&2; cat "$ARBOR_PG_ROOT/server.log" >&2; return 1; }
  "${as[@]}" psql -q -h "$ARBOR_PG_ROOT" -p "$port" -U postgres -d postgres -v ON_ERROR_STOP=1 \
      -c "CREATE ROLE arbor LOGIN CREATEDB PASSWORD 'arbor'" >/dev/null \
    || { echo "pg-test-server: could not create the test role" >&2; return 1; }
  export ARBOR_PG_ROOT
  export ARBOR_TEST_PG_ADMIN="host=$ARBOR_PG_ROOT port=$port user=postgres dbname=postgres"
  export ARBOR_TEST_PG_HOST=127.0.0.1 ARBOR_TEST_PG_PORT=$port
  export ARBOR_TEST_PG_USER=arbor ARBOR_TEST_PG_PASSWORD=arbor
  # The tests connect as root's tests too; the socket folder must be reachable.
  chmod 755 "$ARBOR_PG_ROOT"
  echo "pg-test-server: PostgreSQL ready on 127.0.0.1:$port ($ARBOR_PG_ROOT)"
}

pg_test_stop() {
  local dir=${1:-${ARBOR_PG_ROOT:-}} pgbin
  [ -n "$dir" ] && [ -d "$dir/data" ] || return 0
  pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  local as=()
  [ "$(id -u)" -eq 0 ] && as=(runuser -u postgres --)
  "${as[@]}" "$pgbin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    start) pg_test_start ;;
    stop) pg_test_stop "${2:-}" ;;
    *) echo "usage: $0 start|stop [DIR]" >&2; exit 2 ;;
  esac
fi
