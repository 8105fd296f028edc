#!/usr/bin/env bash
# Runs a command beside a PostgreSQL 15 server of its own: a cluster made with initdb in a temporary
# folder, listening on 127.0.0.1 at a free port, stopped and removed afterwards however the command
# ends. The command finds the database in RESULTS_TEST_POSTGRES (postgresql://results@127.0.0.1:PORT/results).
# PostgreSQL refuses to run as root: as root, the server runs as the "postgres" account that the
# postgresql package creates (RESULTS_PG_USER chooses another unprivileged one).
# Usage: with_postgres.sh <command> [arguments...]
set -euo pipefail
bin=${RESULTS_PG_BIN:-/usr/lib/postgresql/15/bin}
[ -x "$bin/initdb" ] || { echo "with_postgres: no PostgreSQL 15 in $bin (scripts/setup.sh installs it)"; exit 1; }

work=$(mktemp -d /tmp/results-postgres.XXXXXX)
chmod 755 "$work"
as_owner=()
if [ "$(id -u)" = 0 ]; then
  owner=${RESULTS_PG_USER:-postgres}
  id "$owner" >/dev/null 2>&1 || { echo "with_postgres: no user $owner to run PostgreSQL as"; rm -rf "$work"; exit 1; }
  chown "$owner" "$work"
  as_owner=(setpriv --reuid="$owner" --regid="$(id -g "$owner")" --clear-groups --)
fi
# The server's tools run from the cluster's folder: the caller's may not be readable by the owner.
pg() { (cd "$work" && "${as_owner[@]}" "$bin/$1" "${@:2}"); }

started=
stop() {
  local status=$?
  if [ -n "$started" ]; then
    pg pg_ctl -D "$work/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  [ $status -ne 0 ] && [ -f "$work/server.log" ] && { echo "with_postgres: the server's log:"; tail -n 20 "$work/server.log"; }
  rm -rf "$work"
  exit $status
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

pg initdb -D "$work/data" -U results --auth=trust -E UTF8 --locale=C.UTF-8 >"$work/initdb.log" 2>&1 ||
  { cat "$work/initdb.log"; exit 1; }
# Another program may take the chosen port before the server does: a few tries.
for try in 1 2 3; do
  port=$(free_port)
  if pg pg_ctl -D "$work/data" -l "$work/server.log" -w -t 60 \
       -o "-p $port -k $work -c listen_addresses=127.0.0.1 -c max_connections=200" start >/dev/null; then
    started=1
    break
  fi
done
[ -n "$started" ] || { echo "with_postgres: the server did not start"; exit 1; }
pg createdb -h 127.0.0.1 -p "$port" -U results results

export RESULTS_TEST_POSTGRES="postgresql://results@127.0.0.1:$port/results"
"$@"
