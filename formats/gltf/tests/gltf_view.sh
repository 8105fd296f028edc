#!/usr/bin/env bash
# trvx_view as a person and a script use it, on the real Direct3D 9 driver on the test display:
# the aircraft and the airport look the same read from their text models and from the content
# generator's glTF copies; Blender's export and gltfpack's rewrites of it show every object where it
# belongs, facing the right way, textured and blended; dragging and the wheel move the view and Home
# brings it back; a broken file ends the program with the plug-in's message and no dialog.
# Usage: gltf_view.sh <wine> <program folder> <content folder> <glTF copies> <fixtures> <out folder>
set -uo pipefail
wine=$1 bin=$2 content=$3 models=$4 fixtures=$5 out=$6
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.bmp
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# One Wine server for all the runs of this test (in its prefix): a server that shuts down while the
# next program starts has been seen to kill that program as it ends.
[ -n "${WINEPREFIX:-}" ] && "${TRVX_WINESERVER:-wineserver}" -p 30 2>/dev/null
# The fraction of pixels that differ by more than a tenth of the colour range (anti-aliased edges of
# a model drawn from the same numbers land within a few hundred pixels).
const_tolerance=0.004

# shot <name> <model> [extra arguments]: a screenshot after 3 seconds, as bmp and png.
shot() {
  local name=$1 model=$2; shift 2
  (cd "$bin" && exec timeout 120 "$wine" trvx_view.exe "$model" --seconds 3 --screenshot "$out/$name.bmp" "$@") \
    >"$out/$name.log" 2>&1
  local status=$?
  [ $status -eq 0 ] || { fail "$name: trvx_view exited with $status"; cat "$out/$name.log"; return 1; }
  convert "$out/$name.bmp" "$out/$name.png"
}
differing() { # fraction of differing pixels between two shots
  local n
  n=$(compare -metric AE -fuzz 10% "$out/$1.bmp" "$out/$2.bmp" null: 2>&1)
  python3 -c "print(float('$n') / (800 * 600))"
}
same() { # same <a> <b>: the shots match within the tolerance
  local d
  d=$(differing "$1" "$2")
  echo "$1 / $2: $d of the pixels differ"
  python3 -c "import sys; sys.exit(0 if $d <= $const_tolerance else 1)" || fail "$1 and $2 differ ($d of the pixels)"
}

# The content generator's models through both plug-ins.
shot aircraft_tvm "$content/plane/hx21ank/hx21ank.tvm"
shot aircraft_glb "$models/hx21ank/hx21ank.glb"
shot aircraft_gltf "$models/hx21ank/hx21ank.gltf"
same aircraft_tvm aircraft_glb
same aircraft_tvm aircraft_gltf
shot airport_tvm "$content/port/rjbh/rjbh.tvm"
shot airport_glb "$models/rjbh/rjbh.glb"
same airport_tvm airport_glb

# Files made by tools nobody here wrote.
for model in blender.glb blender.gltf packed.glb packed_gltf/packed.gltf; do
  name=foreign_$(basename "${model%.*}")_${model##*.}
  shot "$name" "$fixtures/$model" || continue
  convert "$out/$name.bmp" "$out/$name.ppm"
  echo "$name:"
  python3 "$here/shot_check.py" "$out/$name.ppm" || fail "$name: the scene is not drawn right"
  rm -f "$out/$name.ppm"
done

# The mouse and the keyboard, in the window of a run that ends by itself.
interact() { # interact <name> <keys after the drag...>
  local name=$1; shift
  (cd "$bin" && exec timeout 120 "$wine" trvx_view.exe "$fixtures/blender.glb" --seconds 9 --screenshot "$out/$name.bmp") \
    >"$out/$name.log" 2>&1 &
  local viewer=$! window= i
  for i in $(seq 60); do
    window=$(xdotool search --name "^trvx_view" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    fail "$name: no trvx_view window"
  else
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 300)) $((Y + 300)) mousedown 1
    for i in $(seq 10); do xdotool mousemove $((X + 300 + 15 * i)) $((Y + 300 + 4 * i)); sleep 0.05; done
    xdotool mouseup 1 click 4 click 4 click 4
    sleep 1.5 # the drag and the wheel reach the program before the keys do
    # A key held long enough for a frame to see it, as a person's finger would.
    xdotool mousemove --window "$window" 300 300 click 3 # a click that orbits nothing brings the window forward
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.5
    for key in "$@"; do xdotool keydown "$key"; sleep 0.5; xdotool keyup "$key"; sleep 0.3; done
  fi
  wait $viewer || fail "$name: trvx_view exited with $?"
  convert "$out/$name.bmp" "$out/$name.png"
}
interact orbited
interact reset Home
d=$(differing foreign_blender_glb orbited)
echo "a drag and three wheel notches change $d of the pixels"
python3 -c "import sys; sys.exit(0 if $d > 0.05 else 1)" || fail "dragging and the wheel did not move the view"
same foreign_blender_glb reset

# A broken file: the plug-in's message, exit code 3, no dialog waiting (the run ends by itself).
printf 'glTF\002\000\000\000\377\377\377\177\020\000\000\000JSON{}      ' >"$out/broken.glb"
(cd "$bin" && exec timeout 60 "$wine" trvx_view.exe "$out/broken.glb" --seconds 1) >"$out/broken.log" 2>&1
status=$?
[ $status -eq 3 ] || fail "a broken file ended trvx_view with $status, not 3"
grep -q "claims" "$out/broken.log" || fail "the plug-in's message is not shown: $(cat "$out/broken.log")"

echo "gltf_view: $failures failures"
[ $failures -eq 0 ]
