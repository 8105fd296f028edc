#!/usr/bin/env bash
# scripts/run.sh without a display, as a new user meets it: the set-up finds its work done, the
# launcher's logo plays, the benchmark runs unattended in mode 1, and the summary names a score and a
# result file that exists, with the screenshots of the logo, the flight and the result screen kept.
# Usage: main_command_test.sh <build folder>
set -uo pipefail
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
out=$build/main_command.log
env -u DISPLAY TRVX_BUILD="$build" TRVX_RUN_MODES=1 "$root/scripts/run.sh" >"$out" 2>&1
code=$?
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
sed -n '/^HX-21 benchmark:/,$p' "$out"
[ "$code" = 0 ] || fail "run.sh ended with $code"
grep -qE '^HX-21 benchmark: total score [0-9]+ Point$' "$out" || fail "no total score in the summary"
grep -qE '^  mode 1 .*FrameRate = [0-9]+' "$out" || fail "no frame rate for mode 1"
result=$(sed -n 's/^  result file: \(.*\) (every frame.*/\1/p' "$out")
[ -n "$result" ] && [ -s "$result" ] || fail "the result file '$result' does not exist"
for shot in logo mode-1 result; do
  [ -s "$build/run/$shot.png" ] || fail "no screenshot $shot.png"
done
[ $failures = 0 ] && echo "main command: a score and its result file without a screen ($build/run/)"
exit $((failures > 0))
