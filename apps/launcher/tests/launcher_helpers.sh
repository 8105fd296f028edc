# Shared by the launcher's window tests: pass/fail bookkeeping, polling, finding the launcher's
# window on the Xvfb display and photographing its client area. Sourced, not run.
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/env.sh"
export DISPLAY=${DISPLAY:-$TRVX_DISPLAY}

title="HX-21 Flight Benchmark"
failures=0
pids=()
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# Only the processes this test started.
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; }
trap cleanup EXIT

# Polls `condition` every 0.2 s for up to `seconds`; true when it held.
wait_for() { # seconds condition...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.2; done
}
launcher_window() { xdotool search --name "^$title\$" 2>/dev/null | head -1; }
has_launcher_window() { [ -n "$(launcher_window)" ]; }
no_launcher_window() { [ -z "$(launcher_window)" ]; }
exited() { ! kill -0 "$1" 2>/dev/null; }

# A shot of the launcher's 960 x 600 client area: the bottom of its X window, between the side
# borders. One process per shot, so that shots come often even on a busy machine; false once the
# window is gone (import can then hang: bounded).
shoot() { # window file
  timeout 10 import -window "$1" -gravity South -crop 960x600+0+0 +repage "$2" 2>/dev/null
}
# True when a new shot of the window shows the logo's red (its first lines, later its T).
logo_showing() { # window shot launcher-shot-stats
  local red
  shoot "$1" "$2" && read -r _ red _ < <("$3" "$2") && [ "$red" -gt 20 ]
}
