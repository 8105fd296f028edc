#!/bin/sh
# The start-up profile's medians (scripts/startup_profile.sh --medians): the middle of an odd count,
# the mean of the two middle values of an even one, a step met twice in one start counted apart,
# steps in the order of their medians, and lines that are no marks passed over.
set -eu
script=$(dirname "$0")/../../scripts/startup_profile.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'launch 1000\nviewer.window 50 2000\nengine.begin 60 2100\nviewer.first_frame 900 5000\nviewer.first_frame 950 6000\n' >"$work/a"
printf 'launch 10000\nviewer.window 40 11000\nengine.begin 70 11200\nviewer.first_frame 800 13000\n' >"$work/b"
# A start whose program wrote a broken line and whose launch time came late: only its window counts.
printf 'viewer.window 1 1\nlaunch 0\nnot a mark\nviewer.window 30 900\n' >"$work/c"

bash "$script" --medians "$work/a" "$work/b" "$work/c" | tr -s ' ' >"$work/out"
cat >"$work/expected" <<'END'
step launch_ms process_ms starts
viewer.window 1000 40 3
engine.begin 1150 65 2
viewer.first_frame 3500 850 2
viewer.first_frame#2 5000 950 1
END
if ! diff -u "$work/expected" "$work/out"; then
  echo "startup_profile_test: the medians differ" >&2
  exit 1
fi
echo "startup_profile_test: passed"
