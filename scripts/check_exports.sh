#!/usr/bin/env bash
# Checks that the shipping (32-bit) DLLs export exactly the names their .def files promise:
# undecorated stdcall names and the decorated names in quotes. Usage: check_exports.sh <bin folder>
set -uo pipefail
bin=$1
root=$(cd "$(dirname "$0")/.." && pwd)

names_of_def() { # the export names a .def file promises
  sed -n '/^EXPORTS/,$p' "$@" | grep -v '^EXPORTS' | sed -E 's/;.*//; s/^[ \t]*//; s/[ \t]*$//' | grep -v '^$' |
    sed -E 's/^"([^"]+)".*/\1/; t; s/^([^ =@]+).*/\1/'
}

check() { # dll def-files...
  local dll=$1; shift
  [ -f "$bin/$dll" ] || { echo "exports: $dll not built"; return 1; }
  local exported missing=0
  exported=$(i686-w64-mingw32-objdump -p "$bin/$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
             sed -nE 's/^\s*\[ *[0-9]+\] (.*)$/\1/p')
  while read -r name; do
    grep -qxF "$name" <<<"$exported" || { echo "exports: $dll lacks $name"; missing=1; }
  done < <(names_of_def "$@")
  return $missing
}

status=0
{ echo EXPORTS; cat "$root"/engine/exports/*.def; } > /tmp/trvx-exports.$$.def
check trvx.dll /tmp/trvx-exports.$$.def || status=1
rm -f /tmp/trvx-exports.$$.def
for def in "$root"/drivers/d3d9/*.def "$root"/formats/tvm/*.def "$root"/formats/gltf/*.def "$root"/sound/*.def; do
  [ -f "$def" ] || continue
  dll=$(sed -nE 's/^LIBRARY[ \t]+"?([^" \t]+)"?.*/\1/p' "$def")
  [ -n "$dll" ] && { check "$dll" "$def" || status=1; }
done
[ $status -eq 0 ] && echo "exports: every promised name is exported"
exit $status
