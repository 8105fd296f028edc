# Sourced by the other scripts: where things live and how Wine is run.
TRVX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TRVX_ROOT
# The shipping build: 32-bit DLLs and programs. The same sources built as 64-bit Windows programs.
export TRVX_BUILD=${TRVX_BUILD:-$TRVX_ROOT/build}
export TRVX_BUILD_X64=${TRVX_BUILD_X64:-$TRVX_ROOT/build-x64}

# Some kernels run without 32-bit emulation, and then no 32-bit Wine can start. There the tests run
# the 64-bit build alone; elsewhere the shipping build is tested and the 64-bit build after it.
trvx_runs_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
# Only an installed Wine can tell: scripts source this file again after setup.sh installed Wine.
if [ -z "${TRVX_TEST_ARCH:-}" ]; then
  if trvx_runs_32bit; then TRVX_TEST_ARCH=i686; else TRVX_TEST_ARCH=x86_64; fi
fi
export TRVX_TEST_ARCH

# trvx_wine_arch i686|x86_64: Wine and its prefix for programs of that build. The choice is exported,
# so a script that sources this file again (a test's helper) keeps it.
trvx_wine_arch() {
  export TRVX_WINE_ARCH=$1
  if [ "$1" = i686 ]; then
    export WINEARCH=win32 TRVX_WINE=/usr/lib/wine/wine
    export TRVX_WINEPREFIX_32=${TRVX_WINEPREFIX_32:-$HOME/.local/share/trvx-wine-win32}
    export WINEPREFIX=$TRVX_WINEPREFIX_32
  else
    export WINEARCH=win64 TRVX_WINE=/usr/lib/wine/wine64
    export TRVX_WINEPREFIX_64=${TRVX_WINEPREFIX_64:-$HOME/.local/share/trvx-wine-win64}
    export WINEPREFIX=$TRVX_WINEPREFIX_64
  fi
}
# A prefix chosen by the caller holds for the tested build.
if [ -n "${WINEPREFIX:-}" ] && [ -z "${TRVX_WINE_ARCH:-}" ]; then
  if [ "$TRVX_TEST_ARCH" = i686 ]; then
    TRVX_WINEPREFIX_32=${TRVX_WINEPREFIX_32:-$WINEPREFIX}
  else
    TRVX_WINEPREFIX_64=${TRVX_WINEPREFIX_64:-$WINEPREFIX}
  fi
fi
if [ "$TRVX_TEST_ARCH" = i686 ]; then
  export TRVX_TEST_BUILD=${TRVX_TEST_BUILD:-$TRVX_BUILD}
else
  export TRVX_TEST_BUILD=${TRVX_TEST_BUILD:-$TRVX_BUILD_X64}
fi
trvx_wine_arch "${TRVX_WINE_ARCH:-$TRVX_TEST_ARCH}"
export TRVX_WINESERVER=wineserver
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts in a fresh prefix. The sound goes to PulseAudio (the scripts start a
# server when there is none): Wine's ALSA driver would only probe for MIDI devices the programs never
# use, and print errors about them at every start.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winealsa.drv=d}
export TRVX_DISPLAY=${TRVX_DISPLAY:-:91}
export TRVX_RUNTIME=${TRVX_RUNTIME:-/tmp/trvx-runtime}
