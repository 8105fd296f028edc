#!/usr/bin/env bash
# The zip as a Windows user gets it: unpacked into a folder of its own, it holds the programs, DLLs,
# content tree, settings and read-me, and its launcher, started from elsewhere, finds its DLLs and
# logo and plays (Escape then ends it before the benchmark would start).
# Usage: zip_test.sh <wine> <hx-21.zip> <work folder> <launcher-shot-stats>
set -uo pipefail
wine=$1 zip=$(realpath "$2") work=$3 stats=$4
source "$(dirname "$0")/../../apps/launcher/tests/launcher_helpers.sh"

rm -rf "$work" && mkdir -p "$work/unpacked" && work=$(realpath "$work")
(cd "$work/unpacked" && cmake -E tar xf "$zip") || { echo "FAIL: cannot unpack $zip"; exit 1; }
product=$work/unpacked/HX-21
for entry in hx-21.exe trvx.dll vdr_d3d9.dll trvx_tvm.dll sonra.dll trvx.ini hx21app.ini readme.txt \
             logo/trv5/trv5.tvm logo/trv5/trv5.wav plane port etc cursor sound photo; do
  [ -e "$product/$entry" ] || fail "$entry missing from the zip"
done
[ -e "$product/hx21app.exe" ] && pass "the viewer is in the zip" || echo "note: this build has no viewer"
# The photo folder ships empty: a developer's photos never reach users.
shipped_photos=$(cmake -E tar tf "$zip" | grep -c '^HX-21/photo/.')
[ "$shipped_photos" = 0 ] && pass "the photo folder is empty" || fail "$shipped_photos entries under photo\ in the zip"
[ $failures = 0 ] && pass "the zip holds the product"

cd "$work" || exit 1 # anywhere but the product's folder
"$wine" "$product/hx-21.exe" & launcher=$!; pids+=("$launcher")
if wait_for 60 has_launcher_window && window=$(launcher_window) &&
   wait_for 30 logo_showing "$window" "$work/unpacked_logo.png" "$stats"; then
  pass "the unpacked launcher plays its logo"
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key Escape
  wait_for 10 no_launcher_window && pass "Escape closed it" || fail "launcher still shown 10 s after Escape"
  if wait_for 20 exited "$launcher"; then
    wait "$launcher"; code=$?
    [ $code = 0 ] && pass "launcher ended with 0" || fail "launcher ended with $code"
  else
    fail "launcher process still running"
  fi
else
  fail "the unpacked launcher shows no logo"
fi
[ $failures = 0 ]
