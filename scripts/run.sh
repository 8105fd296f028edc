#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs the main job: the launcher, which plays the
# logo and starts the viewer's benchmark, on the Xvfb display (or on $DISPLAY when one is set).
set -euo pipefail
# setup.sh installs Wine first; only then can env.sh tell which build the tests run.
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"

if [ -z "${DISPLAY:-}" ]; then
  "$TRVX_ROOT/scripts/services.sh" start
  trap '"$TRVX_ROOT/scripts/services.sh" stop' EXIT
  export DISPLAY=$TRVX_DISPLAY
fi
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$TRVX_RUNTIME/xdg}

# Where 32-bit programs cannot run, the 64-bit build of the same sources is what runs here.
bin="$TRVX_TEST_BUILD/bin"
launcher="$bin/hx-21.exe"
if [ ! -f "$launcher" ]; then
  echo "run: built everything into $TRVX_BUILD/bin (32-bit, shipping) and $bin; the launcher hx-21 and the" \
       "viewer hx21app are not written yet, so there is no main job to run."
  ls "$TRVX_BUILD/bin"
  exit 0
fi
cd "$bin"
"$TRVX_WINE" "$launcher"
"$TRVX_WINESERVER" -w
