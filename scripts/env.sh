# Sourced by the other scripts: where things live and how Wine is run.
TRVX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TRVX_ROOT
# The shipping build: 32-bit DLLs and programs.
export TRVX_BUILD=${TRVX_BUILD:-$TRVX_ROOT/build}

# Some kernels run without 32-bit emulation, and then no 32-bit Wine can start. There the same
# sources are also built as 64-bit Windows programs and the tests run those under 64-bit Wine.
trvx_runs_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
# Only a working 32-bit Wine can tell: scripts source this file again after setup.sh installed Wine.
if [ -z "${TRVX_TEST_ARCH:-}" ]; then
  if trvx_runs_32bit; then TRVX_TEST_ARCH=i686; else TRVX_TEST_ARCH=x86_64; fi
fi
export TRVX_TEST_ARCH
if [ "$TRVX_TEST_ARCH" = i686 ]; then
  export WINEARCH=win32 TRVX_TEST_BUILD=${TRVX_TEST_BUILD:-$TRVX_BUILD}
  TRVX_WINE=/usr/lib/wine/wine TRVX_WINESERVER=wineserver
else
  export WINEARCH=win64 TRVX_TEST_BUILD=${TRVX_TEST_BUILD:-$TRVX_ROOT/build-x64}
  TRVX_WINE=/usr/lib/wine/wine64 TRVX_WINESERVER=wineserver
fi
export TRVX_WINE TRVX_WINESERVER
export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/trvx-wine-$WINEARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export TRVX_DISPLAY=${TRVX_DISPLAY:-:91}
export TRVX_RUNTIME=${TRVX_RUNTIME:-/tmp/trvx-runtime}
