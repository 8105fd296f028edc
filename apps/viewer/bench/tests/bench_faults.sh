#!/usr/bin/env bash
# The benchmark with a graphics driver that draws nothing, as it runs on a fast graphics card: at
# thousands of frames a second every shot still ends on its scripted time and reports its frames over
# their time, and Escape in a later mode stops it with its own exit code, the finished mode kept. The
# quick cases: a result name ending in .csv is refused, a result file that cannot be written is an
# error, a click on another window lying over the start button presses nothing, and a PC model full of
# quotes and shell characters reaches the result address escaped.
# Usage: bench_faults.sh <wine> <folder with the program and the null driver> <out folder> full|quick
set -uo pipefail
wine=$1 folder=$(realpath "$2") out=$3 scope=$4
source "$(dirname "$0")/../../../tests/gui_helpers.sh"
mkdir -p "$out" && out=$(realpath "$out")
rm -rf "${out:?}"/*

win_path() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
benchmark_window() { window_named "ベンチマークテスト"; }
# run <name> <options...>: the benchmark from start to end, its exit code in $code, its output in <name>.log.
run() {
  local name=$1; shift
  (cd "$folder" && exec "$wine" hx21app.exe "$@") >"$out/$name.log" 2>&1 &
  local program=$!; pids+=("$program")
  wait "$program"; code=$?
}
# Values of the result JSON for the checks below.
json() { python3 -c 'import json, sys; r = json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' "$@"; }

# --- A summary named .csv would be overwritten by its own frame times: refused --------------------
for name in run.csv RUN.CSV; do
  run csv /auto /modes:2 "/result:$(win_path "$out/$name")"
  [ "$code" = 2 ] || fail "/result:$name ended with $code, not 2"
  [ -e "$out/$name" ] && fail "/result:$name wrote a file"
  grep -q 'names the JSON summary' "$out/csv.log" || fail "/result:$name: no message on the console"
done
[ $failures = 0 ] && pass "a .csv result name is refused with exit code 2 and a message"

# --- A result file that cannot be written (a missing folder, a name too long, a name taken by a
# folder): exit code 3 and a console line saying so --------------------------------------------------
# Mode 2 needs an antialias level that the null driver does not offer: skipped at once, the result
# comes straight away.
# (A read-only folder cannot be had here: the tests run as root, whom nothing is read-only. A name
# taken by a folder fails the same way.)
long=$out/$(printf 'x%.0s' $(seq 300)).json
mkdir -p "$out/taken.json"
for target in "$out/missing/run.json" "$long" "$out/taken.json"; do
  run unwritable /auto /modes:2 "/result:$(win_path "$target")"
  [ "$code" = 3 ] || fail "an unwritable result file ($(basename "$(dirname "$target")")/$(basename "$target" | cut -c1-20)) ended with $code, not 3"
  grep -q 'result file could not be written' "$out/unwritable.log" || fail "no console line about the result file"
done
[ $failures = 0 ] && pass "an unwritable result file ends with exit code 3"

# --- The PC model from oeminfo.ini reaches the result address escaped -------------------------------
oeminfo=$WINEPREFIX/drive_c/windows/system32/oeminfo.ini
[ -e "$oeminfo" ] && mv "$oeminfo" "$out/oeminfo.ini.kept"
restore_oeminfo() { rm -f "$oeminfo"; [ -e "$out/oeminfo.ini.kept" ] && mv "$out/oeminfo.ini.kept" "$oeminfo"; }
trap 'restore_oeminfo; end_started_processes' EXIT
printf '[general]\r\nManufacturer=Tokyo & Co\r\nModel=X" --switch "y<b>|c\r\n' >"$oeminfo"
run oeminfo /auto /modes:2 "/result:$(win_path "$out/oem.json")"
restore_oeminfo
if [ -s "$out/oem.json" ]; then
  address=$(json "$out/oem.json" 'r["result_address"]')
  echo "recorded address: $address"
  case "$address" in
    *'"'* | *'<'* | *'>'* | *'|'* | *'^'* | *'`'*) fail "the address holds a raw quote or shell character" ;;
  esac
  [[ "$address" == *'&n=Tokyo %26 Co&o=X%22 --switch %22y%3Cb%3E%7Cc&'* ]] || fail "maker and model not escaped as expected"
  [ "$(json "$out/oem.json" 'r["pc"]["o"]["value"]')" = 'X" --switch "y<b>|c' ] || fail "the model itself changed"
  [ "$code" = 1 ] || fail "a run that measured nothing ended with $code, not 1"
  [ $failures = 0 ] && pass "a hostile PC model goes into the address escaped"
else
  fail "no result file with the hostile PC model"
fi

# --- A click on another window lying over the start button presses nothing ---------------------------
(cd "$folder" && exec "$wine" hx21app.exe /modes:2 "/result:$(win_path "$out/buttons.json")") >"$out/buttons.log" 2>&1 &
clicked=$!; pids+=("$clicked")
window=
found() { window=$(benchmark_window); [ -n "$window" ]; }
explained() { client_shot "$window" "$out/explanation.png" && [ "$(count_colour "$out/explanation.png" 600x14+100+470 '#FF7800')" -gt 30 ]; }
title_shown() { client_shot "$window" "$out/$1.png" && [ "$(count_colour "$out/$1.png" 400x20+100+200 '#FFFF00')" -gt 30 ]; }
if wait_for 60 found && wait_for 60 explained; then
  client_geometry "$window"
  "$wine" notepad >"$out/notepad.log" 2>&1 & notepad=$!; pids+=("$notepad")
  other=
  other_found() { other=$(window_named "Notepad|メモ帳"); [ -n "$other" ]; }
  if wait_for 60 other_found; then
    # The notepad covers the start button at (686, 547)-(806, 583) of the benchmark's client area,
    # and lies in front of it: the screen shows the notepad's white page where the button was.
    xdotool windowsize "$other" 400 200 windowmove "$other" $((X + 600)) $((Y + 480))
    at_button() { import -window root -crop "1x1+$((X + 746))+$((Y + 565))" +repage "$out/at_button.png" 2>/dev/null &&
                    [ "$(pixel "$out/at_button.png" 0 0)" = "255 255 255" ]; }
    covered() { xdotool windowraise "$other"; sleep 0.3; at_button; }
    wait_for 20 covered || fail "the notepad never came in front of the start button"
    xdotool mousemove $((X + 746)) $((Y + 565)) mousedown 1; sleep 0.15; xdotool mouseup 1
    sleep 6
    client_shot "$other" "$out/notepad_over_button.png"
    if title_shown after_other_click && [ ! -e "$out/buttons.json" ]; then
      pass "a click on the window over the start button pressed nothing"
    else
      fail "a click on another window started the benchmark"
    fi
    # The notepad must be gone before the button is clicked: its window is waited out, not assumed.
    kill -KILL "$notepad" 2>/dev/null
    wait "$notepad" 2>/dev/null
    notepad_gone() { [ -z "$(window_named "Notepad|メモ帳")" ]; }
    wait_for 20 notepad_gone || fail "the notepad's window stayed"
    sleep 1
    click "$window" 746 565
    result_written() { [ -s "$out/buttons.json" ]; }
    if wait_for 30 result_written; then
      pass "a click on the start button itself starts the benchmark"
      # Clicks hurry the result screen's typewriter; 終了 then ends the program.
      ended() { exited "$clicked"; }
      for _ in $(seq 10); do click "$window" 879 565; ended && break; done
      wait_for 10 ended && wait "$clicked"; code=$?
      [ "$code" = 0 ] || fail "the clicked run ended with $code"
    else
      fail "the start button did not start the benchmark"
    fi
  else
    fail "no notepad window to lay over the button"
  fi
else
  fail "the benchmark's explanation never finished"
fi

# --- Thousands of frames a second; Escape in the later mode stops the run ---------------------------
if [ "$scope" = full ] && [ -z "${SKIP_FULL:-}" ]; then
  start=$SECONDS
  (cd "$folder" && exec "$wine" hx21app.exe /auto /modes:1,3 "/result:$(win_path "$out/fast.json")") >"$out/fast.log" 2>&1 &
  program=$!; pids+=("$program")
  window=
  # Each mode's set-up line stays on the window while the null driver draws nothing over it; the
  # full-screen mode's set-up adds the wide-monitor note in green.
  mode_line() { client_shot "$window" "$out/$1.png" && [ "$(count_colour "$out/$1.png" 600x20+20+20 '#FFFF00')" -gt 30 ]; }
  wide_note() { client_shot "$window" "$out/mode3.png" && [ "$(count_colour "$out/mode3.png" 600x20+20+50 '#00FF00')" -gt 30 ]; }
  if wait_for 60 found && wait_for 60 mode_line mode1; then
    mode1_start=$SECONDS
    if wait_for 150 wide_note; then
      mode1_seconds=$((SECONDS - mode1_start))
      echo "mode 1 ran (with its scene loaded and released) in ${mode1_seconds} s; the script takes 88 s"
      # The scripted 88 s within 10 %, the scene's loading and release besides.
      [ "$mode1_seconds" -ge 79 ] && [ "$mode1_seconds" -le 107 ] || fail "mode 1 took ${mode1_seconds} s"
      sleep 2
      xdotool windowfocus --sync "$window" 2>/dev/null
      xdotool key --window "$window" Escape
      if wait_for 30 exited "$program"; then
        wait "$program"; code=$?
        [ "$code" = 4 ] || fail "Escape in mode 3 ended the run with $code, not 4"
      else
        fail "Escape did not end the run"
      fi
    else
      fail "mode 3 never began (mode 1 did not end within 150 s)"
    fi
  else
    fail "no mode line for mode 1"
  fi
  if [ -s "$out/fast.json" ]; then
    python3 - "$out/fast.json" <<'PY' || fail "the stopped run's result file"
import json, sys
result = json.load(open(sys.argv[1]))
modes = result["modes"]
errors = []
if not result["stopped"]:
    errors.append("not marked as stopped")
if not modes[0]["tested"] or modes[2]["tested"]:
    errors.append("mode 1 should be kept and mode 3 not")
ranges = [18000, 10000, 15000, 15000, 15000, 15000]
total_frames = total_ms = 0
for shot, scripted in zip(modes[0].get("shots", []), ranges):
    measured = shot["total_ms"]
    exact = shot["frames"] * 1000.0 / measured if measured else 0
    print(f"shot {shot['shot']}: {shot['frames']} frames in {measured / 1000:.2f} s (script {scripted / 1000:.0f} s), "
          f"rate {shot['rate']}, frames / time {exact:.1f}")
    if abs(measured - scripted) > 0.1 * scripted:
        errors.append(f"shot {shot['shot']} took {measured:.0f} ms, not {scripted}")
    if abs(shot["rate"] - exact) > 0.01 * exact:
        errors.append(f"shot {shot['shot']} reports {shot['rate']}, frames over time give {exact:.1f}")
    total_frames += shot["frames"]
    total_ms += measured
fps = total_frames * 1000.0 / total_ms if total_ms else 0
print(f"mode 1: {fps:.0f} frames a second over {total_ms / 1000:.1f} s; score {modes[0].get('score')}")
if fps < 1000:
    errors.append(f"only {fps:.0f} frames a second: not the fast end")
for e in errors:
    print("FAIL:", e)
sys.exit(1 if errors else 0)
PY
  else
    fail "the stopped run left no result file"
  fi
  echo "the fast run took $((SECONDS - start)) s"
fi

[ $failures = 0 ] && echo "benchmark faults: all checks passed (files in $out)"
exit $((failures > 0))
