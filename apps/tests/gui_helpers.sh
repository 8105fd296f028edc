# What the programs' window tests share: pass/fail bookkeeping, the processes a test started (ended
# when it exits), polling, finding a window on the Xvfb display, photographing it, reading colours off
# the photos, and a mouse and keyboard used as a person uses them. Sourced, not run.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
export DISPLAY=${DISPLAY:-$TRVX_DISPLAY}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# The processes this test started; a test that needs more at its end sets its own trap and calls
# end_started_processes from it.
pids=()
end_started_processes() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; }
trap end_started_processes EXIT

# Polls `condition` every 0.2 s for up to `seconds`; true when it held.
wait_for() { # seconds condition...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.2; done
}
exited() { ! kill -0 "$1" 2>/dev/null; }

# The first window whose title matches the regular expression, or nothing.
window_named() { xdotool search --name "$1" 2>/dev/null | head -1; }
# The client area of a window (X, Y, WIDTH, HEIGHT) into those shell variables; false once the window
# is gone.
client_geometry() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) && [ -n "$geometry" ] && eval "$geometry"
}
# The window's client area as a PNG; false once the window is gone.
client_shot() { # window file
  local X Y WIDTH HEIGHT
  client_geometry "$1" && import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2" 2>/dev/null
}

# "r g b" of the pixel (x, y) of a picture.
pixel() { convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)] %[fx:int(255*p{'"$2,$3"'}.g)] %[fx:int(255*p{'"$2,$3"'}.b)]' info:; }
# Mean brightness of a picture, 0..1000.
brightness() { convert "$1" -colorspace gray -format '%[fx:int(1000*mean)]' info:; }
# How many pixels of a region of a picture have this colour (within 12 %).
count_colour() { # file geometry colour
  convert "$1" -crop "$2" +repage -fuzz 12% -fill black +opaque "$3" -fill white -opaque "$3" \
    -format '%[fx:int(mean*w*h)]' info:
}

# A click as a finger makes it: the button stays down a moment, longer than one poll of a menu.
click() { # window x y (client pixels)
  xdotool mousemove --window "$1" "$2" "$3" mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 0.3
}
# A key held long enough for a frame to see it, as a person's finger would (keys are read by polling
# once a frame, and a loaded machine draws slowly).
press() { # key
  xdotool keydown "$1"; sleep 0.5; xdotool keyup "$1"; sleep 0.3
}
