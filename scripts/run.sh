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
  echo "run: $launcher was not built" >&2
  exit 1
fi
[ -f "$bin/hx21app.exe" ] || echo "run: the viewer hx21app is not built yet: the launcher plays its logo and ends."
echo "run: the launcher plays its logo, then the viewer runs its benchmark (Escape during the logo ends it)."
cd "$bin"
"$TRVX_WINE" "$launcher" || echo "run: the launcher ended with $? (-1 is 255: another copy runs, or no DirectX 9)"
# The launcher ends as the viewer starts: wait for the benchmark to end too.
"$TRVX_WINESERVER" -w
