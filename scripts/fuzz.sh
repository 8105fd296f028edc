#!/usr/bin/env bash
# Runs every libFuzzer target of the host build for a bounded time; fails on any finding. Fuzzers run
# side by side, one a core, each for its whole time: the wall time shrinks, the fuzzing does not.
set -uo pipefail
source "$(dirname "$0")/env.sh"
seconds=${TRVX_FUZZ_SECONDS:-60}
parallel=${TRVX_FUZZ_JOBS:-$(nproc)}
out=$TRVX_TEST_BUILD/host/fuzz

# One fuzzer in a corpus folder of its own; its verdict in <name>.status.
fuzz_one() { # fuzzer
  local fuzzer=$1 name work seeds
  name=$(basename "$fuzzer")
  work=$(mktemp -d)
  # Seeds live in the component's tree as <component>/fuzz/seeds/<fuzzer name>/.
  for seeds in $(find "$TRVX_ROOT" -path "$TRVX_ROOT/build*" -prune -o -type d -path "*/fuzz/seeds/$name" -print); do
    cp -r "$seeds"/. "$work"/
  done
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
    -artifact_prefix="$out/$name-" "$work" >"$out/$name.log" 2>&1
  echo $? >"$out/$name.status"
  rm -rf "$work"
}

rm -f "$out"/*.status
fuzzers=()
for fuzzer in "$out"/*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] && fuzzers+=("$fuzzer")
done
running=0
for fuzzer in "${fuzzers[@]}"; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n
    running=$((running - 1))
  fi
  echo "fuzz: $(basename "$fuzzer") for ${seconds}s"
  fuzz_one "$fuzzer" &
  running=$((running + 1))
done
wait

status=0
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  if [ "$(cat "$out/$name.status" 2>/dev/null)" != 0 ]; then
    echo "fuzz: $name FAILED (see $out/$name.log)"
    tail -n 40 "$out/$name.log"
    status=1
  fi
done
exit $status
