#!/bin/sh
# Reads the BMP and AVI files that engine_tests leaves in its out folder with standard Linux tools,
# so the engine's files are known to open in ordinary readers, not only in our own code.
# usage: check_media.sh <out folder>
set -u
out=$1
status=0
fail() { echo "check_media: $*" >&2; status=1; }

for tool in identify ffprobe; do
  command -v "$tool" >/dev/null 2>&1 || { echo "check_media: $tool is not installed" >&2; exit 1; }
done

# The capture of a 641 x 480 view port, written by TRVX_WriteBitmap (rows padded to 1924 bytes).
bmp=$(identify -format '%m %w %h' "$out/capture.bmp" 2>&1) || fail "identify cannot read capture.bmp: $bmp"
case "$bmp" in
  "BMP 641 480" | "BMP3 641 480") ;;
  *) fail "capture.bmp reads as '$bmp', expected a 641 x 480 BMP" ;;
esac

# Five frames of a 160 x 120 view port at 10 frames per second.
avi=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=width,height,nb_read_frames,r_frame_rate -of default=nw=1 "$out/record.avi" 2>&1) ||
  fail "ffprobe cannot read record.avi: $avi"
for want in width=160 height=120 nb_read_frames=5 r_frame_rate=10/1; do
  echo "$avi" | grep -qx "$want" || fail "record.avi: expected $want, ffprobe says: $(echo $avi)"
done

[ $status -eq 0 ] && echo "check_media: capture.bmp ($bmp) and record.avi ($(echo $avi)) read correctly"
exit $status
