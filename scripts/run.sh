#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs the main job: the launcher, which plays the
# logo and starts the viewer's benchmark, on the Xvfb display (or on $DISPLAY when one is set).
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$TRVX_ROOT/scripts/setup.sh"

if [ -z "${DISPLAY:-}" ]; then
  "$TRVX_ROOT/scripts/services.sh" start
  trap '"$TRVX_ROOT/scripts/services.sh" stop' EXIT
  export DISPLAY=$TRVX_DISPLAY
fi
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$TRVX_RUNTIME/xdg}

launcher="$TRVX_BUILD/bin/hx-21.exe"
if [ ! -f "$launcher" ]; then
  echo "run: built everything in $TRVX_BUILD/bin; the launcher hx-21 and the viewer hx21app are not written yet," \
       "so there is no main job to run."
  ls "$TRVX_BUILD/bin"
  exit 0
fi
cd "$TRVX_BUILD/bin"
"$TRVX_WINE" "$launcher"
"$TRVX_WINESERVER" -w
