#!/usr/bin/env bash
# The benchmark as its users run it, on the test display with the sound recorded:
# 1. unattended (/auto) in the windowed mode 1 and the full-screen mode 3: the program must end by
#    itself with code 0, the music and the engine loop must be heard, the result screen must show,
#    and the result file must hold the figures the screen shows, with every frame in the .csv;
# 2. driven with the mouse: the explanation screen with its texts, the second row chosen, the
#    result screen, and 終了 to end it.
# Usage: bench_run.sh <wine> <bin folder> <folder for screenshots and results>
set -uo pipefail
wine=$1 bin=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../tests/gui_helpers.sh"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/auto.json "$out"/auto.csv "$out"/capture.raw

window=
find_window() { window=$(window_named "ベンチマークテスト"); [ -n "$window" ]; }
shot() { client_shot "$window" "$out/$1.png"; } # name: the benchmark window's client area as <out>/<name>.png

# --- 1. unattended run with the sound recorded ---------------------------------------------------
parec --device=nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=50 \
  >"$out/capture.raw" &
recorder=$!
result_win="Z:$(echo "$out/auto.json" | sed 's|/|\\|g')"
(cd "$bin" && exec "$wine" hx21app.exe /auto /modes:1,3 "/result:$result_win") >"$out/auto.log" 2>&1 &
program=$!; pids+=("$program")
trap 'kill -INT $recorder 2>/dev/null; end_started_processes' EXIT

wait_for 60 find_window || { fail "no benchmark window"; exit 1; }
result_written() { [ -s "$out/auto.json" ]; }
if wait_for 900 result_written; then
  shot result_screen
  # The headings in yellow, the PC rows in green and the frame-rate rows in their blue.
  [ "$(count_colour "$out/result_screen.png" 300x20+40+180 '#FFFF00')" -gt 30 ] || fail "no PC heading"
  [ "$(count_colour "$out/result_screen.png" 400x340+60+210 '#00FF00')" -gt 500 ] || fail "no PC rows"
  [ "$(count_colour "$out/result_screen.png" 440x20+500+210 '#00B4FF')" -gt 50 ] || fail "no frame rate for mode 1"
else
  fail "no result file"
fi
wait $program
status=$?
kill -INT $recorder 2>/dev/null
wait $recorder 2>/dev/null
[ $status -eq 0 ] || fail "the unattended run ended with code $status"

if [ -s "$out/auto.json" ]; then
  python3 - "$out/auto.json" "$out/auto.csv" <<'PY' || fail "result file"
import json, sys
result = json.load(open(sys.argv[1]))
csv = open(sys.argv[2]).read().splitlines()
errors = []
modes = result["modes"]
tested = [m["mode"] for m in modes if m["tested"]]
if tested != [1, 3]:
    errors.append(f"tested modes {tested}")
frames = 0
for m in modes:
    if not m["tested"]:
        if "score" in m:
            errors.append(f"mode {m['mode']} untested but scored")
        continue
    shots = m["shots"]
    if m["score"] != sum(s["rate"] for s in shots) or m["frame_rate"] != m["score"] // 6:
        errors.append(f"mode {m['mode']}: score {m['score']} is not the sum of its shot rates")
    if m["frames"]["frames"] != sum(s["frames"] for s in shots) or any(s["frames"] < 1 for s in shots):
        errors.append(f"mode {m['mode']}: frame counts")
    if not (m["frames"]["min_frame_ms"] <= 1000 / m["frames"]["average_fps"] <= m["frames"]["max_frame_ms"]):
        errors.append(f"mode {m['mode']}: average outside min and max")
    frames += m["frames"]["frames"]
    print(f"mode {m['mode']} ({m['ran']['description']}): score {m['score']}, "
          f"{m['frames']['average_fps']} fps average, 1% low {m['frames']['low_1_percent_fps']}, "
          f"0.1% low {m['frames']['low_0_1_percent_fps']}, max {m['frames']['max_frame_ms']} ms"
          + (f" ({m['note']})" if "note" in m else ""))
if len(csv) != frames + 1 or csv[0] != "mode,shot,frame,ms":
    errors.append(f"csv has {len(csv) - 1} frames, the summary {frames}")
address = result["result_address"]
m_values = [str(m.get("score", 0) // 6) for m in modes]
if f"&m={' '.join(m_values)}&r={result['total_score']}" not in address or "/benchmark/post_data.php?a=" not in address:
    errors.append(f"address {address}")
print("total score", result["total_score"])
for e in errors:
    print("FAIL:", e)
sys.exit(1 if errors else 0)
PY
fi
python3 "$here/bench_sound_check.py" "$out/capture.raw" || fail "the recording lacks the music or the engine loop"
rm -f "$out/capture.raw"

# --- 2. as a person uses it: the explanation, a row chosen with the mouse, the result screen --------
# /modes:2 keeps it short: mode 2 runs only where the driver offers antialias level 2.
rm -f "$out/clicked.json" "$out/clicked.csv"
clicked_win="Z:$(echo "$out/clicked.json" | sed 's|/|\\|g')"
(cd "$bin" && exec "$wine" hx21app.exe /modes:2 "/result:$clicked_win") >"$out/clicked.log" 2>&1 &
program=$!; pids+=("$program")
window=
wait_for 60 find_window || fail "no benchmark window for the mouse"
if [ -n "$window" ]; then
  # The last line appears after the typewriter line and the waits: about ten seconds.
  last_line() { shot explanation; [ "$(count_colour "$out/explanation.png" 600x14+100+470 '#FF7800')" -gt 30 ]; }
  wait_for 60 last_line || fail "the explanation never finished"
  [ "$(count_colour "$out/explanation.png" 400x20+100+200 '#FFFF00')" -gt 30 ] || fail "no yellow title"
  [ "$(count_colour "$out/explanation.png" 700x20+100+380 '#00FF00')" -gt 100 ] || fail "no green typewriter line"
  click "$window" 300 320 # the second row: mode 2
  clicked_written() { click "$window" 40 40; [ -s "$out/clicked.json" ]; } # clicks hurry the typewriter
  if wait_for 400 clicked_written; then
    sleep 0.5
    shot result_clicked
    python3 - "$out/clicked.json" <<'PY' || fail "result of the clicked run"
import json, sys
result = json.load(open(sys.argv[1]))
modes = result["modes"]
errors = []
if any(m["tested"] for m in modes if m["mode"] != 2):
    errors.append("a mode other than the chosen row's ran")
if not modes[1]["tested"] and "note" not in modes[1]:
    errors.append("mode 2 neither ran nor says why")
if "&m=0 " not in result["result_address"] or (not modes[1]["tested"] and result["total_score"] != 0):
    errors.append(f"address {result['result_address']}, total {result['total_score']}")
print("clicked run: mode 2", "ran" if modes[1]["tested"] else "skipped: " + modes[1]["note"])
for e in errors:
    print("FAIL:", e)
sys.exit(1 if errors else 0)
PY
    [ "$(count_colour "$out/result_clicked.png" 440x80+500+210 '#0080FF')" -gt 50 ] || fail "no mode rows on the result screen"
    click "$window" 879 565 # 終了
  else
    fail "the clicked run wrote no result"
  fi
  ended() { ! kill -0 $program 2>/dev/null; }
  if wait_for 30 ended; then
    wait $program
    status=$?
    [ $status -eq 0 ] || fail "the clicked run ended with code $status"
  else
    fail "終了 did not end the benchmark"
  fi
fi

[ $failures -eq 0 ] && echo "benchmark run: all checks passed (screenshots and result in $out)"
exit $((failures > 0))
