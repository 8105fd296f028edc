#!/bin/sh
# Runs a Windows test program under Wine while parec records what the PulseAudio null sink plays.
# The program finds the live recording through TRVX_CAPTURE and measures the sound it made.
# usage: capture_run.sh WINE PROGRAM [ARGS...]
wine=$1
shift
dir=${TRVX_RUNTIME:-${TMPDIR:-/tmp}}
capture=$(mktemp "$dir/sonra-capture.XXXXXX")
parec --device=nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 >"$capture" &
recorder=$!
# the null sink streams silence as soon as the recorder is connected
for _ in $(seq 100); do
  [ -s "$capture" ] && break
  sleep 0.05
done
if [ ! -s "$capture" ]; then
  echo "capture_run: parec records nothing from nullsink.monitor (is the PulseAudio null sink running?)"
  kill "$recorder" 2>/dev/null
  rm -f "$capture"
  exit 1
fi
# Wine asks the sound server for a very short buffer, which the least delay in scheduling the
# mixer runs dry (a hole of silence); a tenth of a second is what a sound card would hold.
PULSE_LATENCY_MSEC=100 TRVX_CAPTURE=$capture "$wine" "$@"
status=$?
kill -INT "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
rm -f "$capture"
exit $status
