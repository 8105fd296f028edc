#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs the main job.
# - With a display of the user's ($DISPLAY): the launcher plays the logo and starts the benchmark for
#   a person to click through.
# - Without one: on a private Xvfb display, the launcher's logo, then the benchmark unattended (/auto,
#   the windowed modes; TRVX_RUN_MODES=1,2,3,4 asks for others), then what a person wants to see: the
#   total score, each mode's frame rate and lows, the result file and the screenshots kept in
#   build/run/. It exits with the benchmark's exit code (apps/viewer/bench/BENCHMARK.md).
set -euo pipefail
# setup.sh installs Wine first; only then can env.sh tell which build the tests run.
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"
trvx_wine_arch "$TRVX_TEST_ARCH"

# Where 32-bit programs cannot run, the 64-bit build of the same sources is what runs here.
bin="$TRVX_TEST_BUILD/bin"
for program in hx-21.exe hx21app.exe; do
  [ -f "$bin/$program" ] || { echo "run: $bin/$program was not built" >&2; exit 1; }
done

if [ -n "${DISPLAY:-}" ]; then
  export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$TRVX_RUNTIME/xdg}
  echo "run: the launcher plays its logo, then the benchmark waits for you (Escape during the logo ends it)."
  cd "$bin"
  "$TRVX_WINE" hx-21.exe || echo "run: the launcher ended with $? (-1 is 255: another copy runs, or no DirectX 9)"
  # The launcher ends as the viewer starts: wait for the benchmark to end too.
  "$TRVX_WINESERVER" -w
  exit 0
fi

# From here on a step that fails is reported, not fatal: the summary comes all the same.
set +e
# A display and sound server of this run's own, so that stopping them stops nothing else.
export TRVX_DISPLAY=${TRVX_RUN_DISPLAY:-:89} TRVX_RUNTIME=${TRVX_RUN_RUNTIME:-/tmp/trvx-run}
"$TRVX_ROOT/scripts/services.sh" start
trap '"$TRVX_ROOT/scripts/services.sh" stop >/dev/null' EXIT
export DISPLAY=$TRVX_DISPLAY XDG_RUNTIME_DIR=$TRVX_RUNTIME/xdg
source "$TRVX_ROOT/apps/tests/gui_helpers.sh"
trap 'end_started_processes; "$TRVX_ROOT/scripts/services.sh" stop >/dev/null' EXIT
shots=$TRVX_BUILD/run
rm -rf "$shots" && mkdir -p "$shots"

# --- The logo: the launcher from a folder of its own, where no viewer waits to be started ----------
stage=$TRVX_RUNTIME/launcher
rm -rf "$stage" && mkdir -p "$stage"
cp "$bin"/{hx-21.exe,trvx.dll,trvx_tvm.dll,vdr_d3d9.dll,trvx.ini} "$stage/"
ln -s "$bin/logo" "$stage/logo"
echo "run: the launcher plays its logo"
(cd "$stage" && exec "$TRVX_WINE" hx-21.exe) >"$shots/launcher.log" 2>&1 &
launcher=$!; pids+=("$launcher")
# The brightest of the logo's frames is kept: the word mark with its glint.
launcher_title='^HX-21 Flight Benchmark$'
launcher_shown() { [ -n "$(window_named "$launcher_title")" ]; }
best=0
wait_for 60 launcher_shown || echo "run: the launcher showed no window"
while ! exited "$launcher"; do
  logo_window=$(window_named "$launcher_title")
  [ -n "$logo_window" ] && client_shot "$logo_window" "$shots/logo-frame.png" || { sleep 0.5; continue; }
  lit=$(brightness "$shots/logo-frame.png")
  [ "$lit" -gt "$best" ] && best=$lit && mv "$shots/logo-frame.png" "$shots/logo.png"
  sleep 0.5
done
rm -f "$shots/logo-frame.png"

# --- The benchmark, unattended ---------------------------------------------------------------------
modes=${TRVX_RUN_MODES:-1,2}
echo "run: the benchmark runs unattended (/auto /modes:$modes): each mode flies its 88-second script"
(cd "$bin" && exec "$TRVX_WINE" hx21app.exe /auto "/modes:$modes") >"$shots/benchmark.log" 2>&1 &
benchmark=$!; pids+=("$benchmark")
window=
found() { window=$(window_named "ベンチマークテスト"); [ -n "$window" ]; }
wait_for 60 found || echo "run: the benchmark showed no window"
# One frame of each mode, twenty seconds into its flight, and the result screen while it stays. A
# flight is a picture of many colours lasting (the menu pages between flights last a moment, the
# loading screens are black and grey).
colours() { convert "$1" -format '%k' info: 2>/dev/null || echo 0; }
colourful() { [ "$(colours "$1")" -gt 2000 ]; }
saved=0 flying=0 since=0 kept=0
while [ -n "$window" ] && ! exited "$benchmark"; do
  if grep -q '^result file' "$shots/benchmark.log"; then
    # The result screen stays three seconds: it is photographed without pause until the screen goes
    # black as the program ends, so the last photo holds the notes drawn under the figures. Its
    # picture and text make over a thousand colours, a black screen one.
    client_shot "$window" "$shots/now.png" 2>/dev/null || break
    [ "$(colours "$shots/now.png")" -gt 500 ] && cp "$shots/now.png" "$shots/result.png"
    continue
  fi
  client_shot "$window" "$shots/now.png" 2>/dev/null || break
  if colourful "$shots/now.png"; then
    [ "$flying" = 0 ] && flying=1 since=$SECONDS kept=0
    if [ "$kept" = 0 ] && [ $((SECONDS - since)) -ge 20 ]; then
      saved=$((saved + 1)) kept=1
      cp "$shots/now.png" "$shots/flight-$saved.png"
    fi
  else
    flying=0
  fi
  # A second between photos of the flight, in steps short enough to meet the result screen early.
  for _ in 1 2 3 4 5; do
    grep -q '^result file' "$shots/benchmark.log" && break
    sleep 0.2
  done
done
rm -f "$shots/now.png"
wait "$benchmark" && code=0 || code=$?

# --- What a person wants to see ----------------------------------------------------------------------
result_line=$(grep -a '^result file: ' "$shots/benchmark.log" | head -1 | tr -d '\r')
result=
if [ -n "$result_line" ]; then
  result=$(printf '%s' "${result_line#result file: }" | sed -e 's|^Z:||' -e 's|\\|/|g')
fi
if [ -n "$result" ] && [ -s "$result" ]; then
  python3 - "$result" "$shots" <<'PY'
import json, os, sys
result, shots = json.load(open(sys.argv[1])), sys.argv[2]
print()
print(f"HX-21 benchmark: total score {result['total_score']} Point" + (" (stopped)" if result["stopped"] else ""))
flight = 0
for mode in result["modes"]:
    description = mode["requested"]["description"]
    if not mode["tested"]:
        print(f"  mode {mode['mode']}  {description}: not tested" + (f" ({mode['note']})" if "note" in mode else ""))
        continue
    frames = mode["frames"]
    print(f"  mode {mode['mode']}  {description}: FrameRate = {mode['frame_rate']}  "
          f"(1% low {frames['low_1_percent_fps']} fps, 0.1% low {frames['low_0_1_percent_fps']} fps, "
          f"longest frame {frames['max_frame_ms']} ms)" + (f"  [{mode['note']}]" if "note" in mode else ""))
    flight += 1
    shot = os.path.join(shots, f"flight-{flight}.png")
    if os.path.exists(shot):
        os.rename(shot, os.path.join(shots, f"mode-{mode['mode']}.png"))
print(f"  result file: {sys.argv[1]} (every frame in the .csv beside it)")
PY
else
  echo "run: the benchmark wrote no result file (see $shots/benchmark.log)"
fi
rm -f "$shots"/flight-*.png
echo "  screenshots: $(cd "$shots" && ls *.png 2>/dev/null | tr '\n' ' ')(in $shots)"
echo "run: the benchmark ended with exit code $code"
exit "$code"
