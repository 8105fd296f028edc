#!/usr/bin/env bash
# The benchmark's escapes under Wine, read back by the service's decoder natively.
# Usage: eucjp_contract.sh <wine> <results_escape_dump.exe> <results_eucjp_check> <work folder>
set -euo pipefail
wine=$1 dump=$2 check=$3 work=$4
mkdir -p "$work"
rm -f "$work/escapes.txt"
"$wine" "$dump" "Z:$(echo "$work/escapes.txt" | sed 's|/|\\|g')"
"$check" "$work/escapes.txt"
