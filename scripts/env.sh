# Sourced by the other scripts: where things live and how Wine is run.
TRVX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TRVX_ROOT
export TRVX_BUILD=${TRVX_BUILD:-$TRVX_ROOT/build}
export WINEARCH=win32
export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/trvx-wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export TRVX_DISPLAY=${TRVX_DISPLAY:-:91}
export TRVX_RUNTIME=${TRVX_RUNTIME:-/tmp/trvx-runtime}
