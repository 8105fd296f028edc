#!/usr/bin/env bash
# Runs every libFuzzer target of the host build for a bounded time; fails on any finding.
set -uo pipefail
source "$(dirname "$0")/env.sh"
seconds=${TRVX_FUZZ_SECONDS:-60}
status=0
for fuzzer in "$TRVX_TEST_BUILD"/host/fuzz/*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  work=$(mktemp -d)
  # Seeds live in the component's tree as <component>/fuzz/seeds/<fuzzer name>/.
  for seeds in $(find "$TRVX_ROOT" -path "$TRVX_ROOT/build*" -prune -o -type d -path "*/fuzz/seeds/$name" -print); do
    cp -r "$seeds"/. "$work"/
  done
  echo "fuzz: $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
       -artifact_prefix="$TRVX_TEST_BUILD/host/fuzz/$name-" "$work" >"$TRVX_TEST_BUILD/host/fuzz/$name.log" 2>&1; then
    echo "fuzz: $name FAILED (see $TRVX_TEST_BUILD/host/fuzz/$name.log)"
    tail -n 40 "$TRVX_TEST_BUILD/host/fuzz/$name.log"
    status=1
  fi
  rm -rf "$work"
done
exit $status
