#!/usr/bin/env bash
# The benchmark's results reach the results service, end to end: the service runs on loopback with a
# database of its own; the benchmark (with the graphics driver that draws nothing) is pointed at it by
# result_host in hx21app.ini. An unattended run with /submit posts its result file and prints the
# run's address; a clicked run's "結果を送信" opens the result address through Wine's hand-off to the
# browser, which a stand-in for xdg-open fetches. Both runs are then on the leaderboard with the
# figures of their result files. With the service gone, /submit says so and keeps the file.
# Usage: bench_submit.sh <wine> <folder with the program and the null driver> <results-server> <out folder> full|quick
set -uo pipefail
wine=$1 folder=$(realpath "$2") server=$(realpath "$3") out=$4 scope=$5
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../tests/gui_helpers.sh"
source "$here/../../../../services/results/tests/results_server.sh"
mkdir -p "$out" && out=$(realpath "$out")
rm -rf "${out:?}"/*

win_path() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
json() { python3 -c 'import json, sys; r = json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' "$@"; }
point_at() { printf '[BENCHMARK]\r\nresult_host=%s\r\n' "$1" >"$folder/hx21app.ini"; }
finish() {
  rm -f "$folder/hx21app.ini"
  results_server_stop
  [ -n "${RESULTS_SERVER_DIR:-}" ] && rm -rf "$RESULTS_SERVER_DIR"
  end_started_processes
}
trap finish EXIT

results_server_start "$server" --rate-limit 0 || { fail "the results service did not start"; exit 1; }
echo "results service at $RESULTS_SERVER_URL"
point_at "$RESULTS_SERVER_URL"

# The browser Wine hands addresses to: this stand-in, first on the PATH, keeps the address and fetches
# it as a browser would (a browser sends the address's spaces as %20).
mkdir -p "$out/browser"
cat >"$out/browser/xdg-open" <<STAND_IN
#!/bin/sh
printf '%s\n' "\$1" >>"$out/opened.txt"
curl -sS -o "$out/page.html" -w '%{http_code}\n' "\$(printf '%s' "\$1" | sed 's/ /%20/g')" >>"$out/fetched.txt"
STAND_IN
chmod +x "$out/browser/xdg-open"
export PATH=$out/browser:$PATH

# run <name> <options...>: the benchmark from start to end, its exit code in $code.
run() {
  local name=$1; shift
  (cd "$folder" && exec "$wine" hx21app.exe "$@") >"$out/$name.log" 2>&1 &
  local program=$!; pids+=("$program")
  wait "$program"; code=$?
}

# --- An unattended run posts its result file ----------------------------------------------------------
if [ "$scope" = full ]; then
  run auto /auto /modes:1 /submit "/result:$(win_path "$out/auto.json")"
  [ "$code" = 0 ] || fail "/auto /submit ended with $code"
  submitted=$(sed -n 's/^submitted: //p' "$out/auto.log" | tr -d '\r')
  [[ "$submitted" == "$RESULTS_SERVER_URL/runs/"* ]] || fail "no run address printed: $(cat "$out/auto.log")"
  [ -n "$submitted" ] && pass "the unattended run was stored at $submitted"
fi

# --- A clicked run's "結果を送信" -----------------------------------------------------------------------
# Mode 2 needs an antialias level the null driver does not offer: the result screen comes at once.
(cd "$folder" && exec "$wine" hx21app.exe /modes:2 "/result:$(win_path "$out/clicked.json")") >"$out/clicked.log" 2>&1 &
clicked=$!; pids+=("$clicked")
window=
found() { window=$(window_named "ベンチマークテスト"); [ -n "$window" ]; }
explained() { client_shot "$window" "$out/explanation.png" && [ "$(count_colour "$out/explanation.png" 600x14+100+470 '#FF7800')" -gt 30 ]; }
if wait_for 60 found && wait_for 60 explained; then
  click "$window" 746 565 # 開始
  written() { [ -s "$out/clicked.json" ]; }
  wait_for 60 written || fail "the clicked run wrote no result"
  # Clicks hurry the result screen's typewriter; then its first button sends.
  ended() { exited "$clicked"; }
  for _ in $(seq 15); do click "$window" 746 565; ended && break; done
  wait_for 20 ended || fail "結果を送信 did not end the benchmark"
  opened() { [ -s "$out/fetched.txt" ]; }
  if wait_for 30 opened; then
    [ "$(head -1 "$out/fetched.txt")" = 201 ] || fail "the service answered $(head -1 "$out/fetched.txt") to the address"
    # Wine's hand-off writes the address's spaces as %20 on its way to the browser.
    address=$(head -1 "$out/opened.txt" | sed 's/%20/ /g')
    [ "$address" = "$(json "$out/clicked.json" 'r["result_address"]')" ] || fail "the browser got another address: $address"
    client_shot "$window" "$out/sent.png" 2>/dev/null
    pass "結果を送信 opened the result address in the browser, and the service stored it"
  else
    fail "結果を送信 opened nothing"
  fi
else
  fail "the benchmark's explanation never finished"
fi

# --- Both runs on the leaderboard, with the figures of their files --------------------------------------
results_server_runs >"$out/runs.json" || fail "the service gave no list of runs"
python3 - "$out/runs.json" "$out/clicked.json" "$scope" "$out/auto.json" <<'PY' || fail "the leaderboard"
import json, sys
runs = json.load(open(sys.argv[1]))["runs"]
files = [json.load(open(sys.argv[2]))]
if sys.argv[3] == "full":
    files.append(json.load(open(sys.argv[4])))
errors = []
if len(runs) != len(files):
    errors.append(f"{len(runs)} runs stored, {len(files)} sent")
for result in files:
    rates = [m.get("frame_rate", 0) for m in result["modes"]]
    match = [r for r in runs if r["total"] == result["total_score"] and r["modes"] == rates]
    if not match:
        errors.append(f"no stored run with the total {result['total_score']} and the mode rates {rates}: {runs}")
        continue
    print(f"stored: total {result['total_score']}, mode rates {rates}")
for e in errors:
    print("FAIL:", e)
sys.exit(1 if errors else 0)
PY

# The leaderboard as a browser shows it, for a person to look at.
profile=$(mktemp -d)
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
  --window-size=1280,900 --screenshot="$out/leaderboard.png" "$RESULTS_SERVER_URL/" >/dev/null 2>&1
rm -rf "$profile"
[ -s "$out/leaderboard.png" ] || fail "no screenshot of the leaderboard"

# --- The service gone: /submit says so, the result file stays ----------------------------------------
results_server_stop
run gone /auto /modes:2 /submit "/result:$(win_path "$out/gone.json")"
grep -q '^not submitted: ' "$out/gone.log" || fail "no word that the result was not submitted"
[ -s "$out/gone.json" ] || fail "the result file was not kept"
[ "$code" = 1 ] || fail "a run that measured nothing ended with $code, not 1"

[ $failures = 0 ] && echo "benchmark submission: all checks passed (files in $out)"
exit $((failures > 0))
