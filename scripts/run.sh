#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs the main job: the launcher, which plays the
# logo and starts the viewer's benchmark, on the Xvfb display (or on $DISPLAY when one is set).
set -euo pipefail
# setup.sh installs Wine first; only then can env.sh tell which build the tests run.
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"
trvx_wine_arch "$TRVX_TEST_ARCH"

# Without a display of the user's the run happens on a private Xvfb display, where nobody can click
# through the benchmark's screens: it is shown for TRVX_RUN_SECONDS (120 by default), a screenshot of
# it is kept as build/run.png, and then it is ended.
headless=
if [ -z "${DISPLAY:-}" ]; then
  headless=1
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
echo "run: the launcher plays its logo, then the viewer runs its benchmark (Escape during the logo ends it)."
cd "$bin"
"$TRVX_WINE" "$launcher" || echo "run: the launcher ended with $? (-1 is 255: another copy runs, or no DirectX 9)"
if [ -z "$headless" ]; then
  # The launcher ends as the viewer starts: wait for the benchmark to end too.
  "$TRVX_WINESERVER" -w
  exit 0
fi
seconds=${TRVX_RUN_SECONDS:-120}
for _ in $(seq "$seconds"); do
  pgrep -f hx21app.exe >/dev/null || break
  sleep 1
done
if pgrep -f hx21app.exe >/dev/null; then
  import -window root "$TRVX_BUILD/run.png" 2>/dev/null && echo "run: the screen after ${seconds}s is in $TRVX_BUILD/run.png"
  echo "run: no one to click through the benchmark on this private display; ending it."
  "$TRVX_WINESERVER" -k
fi
