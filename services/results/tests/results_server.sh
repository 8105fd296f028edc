# Sourced by tests that need the results service running: starts results-server on a free port with
# a new SQLite database in a temporary folder, and stops it again.
#
#   source services/results/tests/results_server.sh
#   results_server_start <path to results-server> [more server options]   # e.g. build/host/results-server
#   ... "$RESULTS_SERVER_URL"/benchmark/post_data.php?...  or  POST "$RESULTS_SERVER_URL"/api/runs
#   results_server_runs                # the stored runs as JSON (GET /api/runs?limit=100)
#   results_server_run <id>            # one run with its PC table and result file (GET /api/runs/<id>)
#   results_server_stop                # SIGTERM; the database file stays for checks
#
# After results_server_start: RESULTS_SERVER_URL (http://127.0.0.1:PORT, no trailing slash),
# RESULTS_SERVER_DB (the SQLite file), RESULTS_SERVER_LOG (everything the server printed),
# RESULTS_SERVER_PID. The folder (RESULTS_SERVER_DIR) is left for the caller to remove.

results_server_start() {
  local server=${1:?usage: results_server_start <path to results-server> [options]}
  shift
  RESULTS_SERVER_DIR=$(mktemp -d /tmp/results-server.XXXXXX)
  RESULTS_SERVER_DB=$RESULTS_SERVER_DIR/results.db
  RESULTS_SERVER_LOG=$RESULTS_SERVER_DIR/server.log
  "$server" --port 0 --db "sqlite:$RESULTS_SERVER_DB" "$@" >"$RESULTS_SERVER_LOG" 2>&1 &
  RESULTS_SERVER_PID=$!
  local waited=0
  until grep -q '^results-server: serving ' "$RESULTS_SERVER_LOG"; do
    if ! kill -0 "$RESULTS_SERVER_PID" 2>/dev/null || [ $waited -ge 300 ]; then
      echo "results_server_start: results-server did not start:" >&2
      cat "$RESULTS_SERVER_LOG" >&2
      results_server_stop
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  RESULTS_SERVER_URL=$(sed -n 's|^results-server: serving \(http://[^ ]*\)/ .*|\1|p' "$RESULTS_SERVER_LOG")
  export RESULTS_SERVER_URL RESULTS_SERVER_DB RESULTS_SERVER_LOG RESULTS_SERVER_PID RESULTS_SERVER_DIR
}

results_server_runs() {
  curl -sS --fail-with-body "$RESULTS_SERVER_URL/api/runs?limit=100"
}

results_server_run() {
  curl -sS --fail-with-body "$RESULTS_SERVER_URL/api/runs/${1:?usage: results_server_run <id>}"
}

results_server_stop() {
  [ -n "${RESULTS_SERVER_PID:-}" ] || return 0
  kill -TERM "$RESULTS_SERVER_PID" 2>/dev/null
  wait "$RESULTS_SERVER_PID" 2>/dev/null
  local status=$?
  RESULTS_SERVER_PID=
  return $status
}
