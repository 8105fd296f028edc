#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test under Wine; fails when any test fails.
set -euo pipefail
# setup.sh installs Wine first; only then can env.sh tell which build the tests run.
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"
trvx_wine_arch "$TRVX_TEST_ARCH"

"$TRVX_ROOT/scripts/services.sh" start
trap '"$TRVX_ROOT/scripts/services.sh" stop' EXIT
export DISPLAY=$TRVX_DISPLAY XDG_RUNTIME_DIR=$TRVX_RUNTIME/xdg

status=0
ctest --test-dir "$TRVX_TEST_BUILD" --output-on-failure "$@" || status=1
if [ "$TRVX_TEST_BUILD" != "$TRVX_BUILD_X64" ]; then
  # The 64-bit build must behave exactly like the shipping one: its Windows tests run as well. The
  # whole-program runs (the benchmark's flights, the viewer and launcher driven by mouse and keys)
  # only repeat there what the parts' own tests already showed of the 64-bit code.
  echo "test: the 64-bit build"
  (trvx_wine_arch x86_64 &&
    ctest --test-dir "$TRVX_BUILD_X64" --output-on-failure -LE 'native|whole_program' "$@") || status=1
fi
if [ -x "$TRVX_ROOT/scripts/fuzz.sh" ]; then
  "$TRVX_ROOT/scripts/fuzz.sh" || status=1
fi
exit $status
