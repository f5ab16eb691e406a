#!/usr/bin/env bash
# Builds Arbor and runs every test, on SQLite and on a throwaway PostgreSQL server.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ARBOR_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"

# shellcheck source=pg-test-server.sh
source "$root/scripts/pg-test-server.sh"
if pg_test_start; then
  trap 'pg_test_stop "$ARBOR_PG_ROOT"' EXIT
else
  echo "****************************************************************" >&2
  echo "*  PostgreSQL could not start: the server tests will be SKIPPED *" >&2
  echo "****************************************************************" >&2
  if [ "${CI:-}" = "true" ]; then echo "CI=true: failing because PostgreSQL is required" >&2; exit 1; fi
fi

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/arbor-xdg.XXXXXX)}
chmod 700 "$XDG_RUNTIME_DIR"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
