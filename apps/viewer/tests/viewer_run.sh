#!/usr/bin/env bash
# The viewer as a person uses it: started with the aircraft's name on the test display, it must
# show the aircraft over the airport; F2 shows the cockpit, dragging turns the outside camera,
# Escape asks through the end dialog and N returns, Print Screen writes a photo without panels,
# and closing the window asks through the end dialog, whose Y ends the program. Three presses of Print
# Screen within half a second give three photos.
# Usage: viewer_run.sh <wine> <bin folder> <folder for the screenshots>
set -uo pipefail
wine=$1 bin=$2 out=$3
source "$(dirname "$0")/../../tests/gui_helpers.sh"
mkdir -p "$out"
rm -f "$out"/*.png
photos="$bin/photo"
photos_before=$(ls "$photos" 2>/dev/null)

started=$(date +%s.%N)
(cd "$bin" && exec "$wine" hx21app.exe hx21ank) >"$out/viewer.log" 2>&1 &
viewer=$!; pids+=("$viewer")

window=
find_window() { window=$(window_named "^HX-21"); [ -n "$window" ]; }
wait_for 60 find_window || { fail "no viewer window"; exit 1; }
client_geometry "$window" # X, Y, WIDTH, HEIGHT of the client area
shot() { client_shot "$window" "$out/$1.png"; } # name: the client area as <out>/<name>.png

# Loaded: the sky's blue at the top of the view instead of the black loading screen.
sky_shows() {
  shot loading
  read -r r g b < <(pixel "$out/loading.png" $((WIDTH / 2)) 2)
  [ "$b" -gt 60 ] && [ "$b" -gt "$r" ]
}
wait_for 120 sky_shows || fail "the sky never appeared at the top of the view"
awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "viewer run: first frame of the scene about %.1f s after the start\n", b - a }'
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2))
xdotool windowfocus "$window"
sleep 1
shot outside
[ "$(convert "$out/outside.png" -format '%k' info:)" -gt 2000 ] || fail "the outside view is nearly flat"

# Dragging with the left button turns the orbit: the aircraft stays centred, the ground moves.
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2)) mousedown 1
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove --window "$window" $((WIDTH / 2 + 30 * step)) $((HEIGHT / 2 - 10 * step)); sleep 0.1
done
xdotool mouseup 1
sleep 0.5
shot dragged
difference=$(compare -metric AE -fuzz 10% "$out/outside.png" "$out/dragged.png" null: 2>&1 | cut -d' ' -f1)
[ "${difference%.*}" -gt 50000 ] || fail "dragging did not turn the view ($difference pixels changed)"

press F2
sleep 1
shot cockpit
# The cockpit's dark panel fills the lower middle of the view.
read -r r g b < <(pixel "$out/cockpit.png" $((WIDTH / 2)) $((HEIGHT * 3 / 4)))
[ $((r + g + b)) -lt 200 ] || fail "F2 did not show the cockpit (lower middle $r $g $b)"
press F1
sleep 0.5

before=$(brightness "$out/dragged.png")
press Escape
sleep 0.5
shot end_dialog
dimmed=$(brightness "$out/end_dialog.png")
[ "$dimmed" -lt $((before * 3 / 4)) ] || fail "Escape did not dim the view for the end dialog ($before -> $dimmed)"
press n
sleep 0.5
shot after_no
[ "$(brightness "$out/after_no.png")" -gt $((dimmed + 50)) ] || fail "N did not return to the viewer"
kill -0 $viewer 2>/dev/null || fail "N ended the program"

press Print
new_photos() { comm -13 <(echo "$photos_before") <(ls "$photos" 2>/dev/null) | grep '\.bmp$'; }
new_photo() { new_photos | head -1; }
photo_written() { [ -n "$(new_photo)" ]; }
if wait_for 20 photo_written; then
  sleep 1
  photo="$photos/$(new_photo)"
  convert "$photo" "$out/photo.png"
  [[ "$(basename "$photo")" =~ ^[0-9]{6}_[0-9]{6}\.bmp$ ]] || fail "photo name $(basename "$photo")"
  read -r pw ph < <(convert "$out/photo.png" -format '%w %h' info:)
  [ "$pw" = "$WIDTH" ] && [ "$ph" = "$HEIGHT" ] || fail "photo size ${pw}x$ph"
  # The play panel's dark body sits at the bottom left of the screen but not in the photo.
  shot with_panels
  px=$((160 - 110)) py=$((HEIGHT - 22))
  read -r r g b < <(pixel "$out/with_panels.png" $px $py)
  read -r pr pg pb < <(pixel "$out/photo.png" $px $py)
  [ "$r $g $b" != "$pr $pg $pb" ] || fail "the photo shows the play panel ($r $g $b)"
  rm -f "$photo"
else
  fail "Print Screen wrote no photo"
fi

# Three quick presses, within half a second and so mostly within one second of the clock: three photos,
# none replacing another (the second of a second is named ..._1.bmp, the third ..._2.bmp).
photos_before=$(ls "$photos" 2>/dev/null)
for _ in 1 2 3; do xdotool keydown Print; sleep 0.05; xdotool keyup Print; sleep 0.1; done
three_written() { [ "$(new_photos | wc -l)" -ge 3 ]; }
if wait_for 30 three_written; then
  sleep 1
  [ "$(new_photos | wc -l)" = 3 ] || fail "three presses wrote $(new_photos | wc -l) photos"
  for p in $(new_photos); do
    [[ "$p" =~ ^[0-9]{6}_[0-9]{6}(_[0-9]+)?\.bmp$ ]] || fail "photo name $p"
    rm -f "$photos/$p"
  done
else
  fail "three presses of Print Screen wrote $(new_photos | wc -l) photos"
fi

# Closing the window asks first; Y ends the program.
(cd "$bin" && "$wine" taskkill /im hx21app.exe >/dev/null 2>&1)
sleep 1
shot close_asks
kill -0 $viewer 2>/dev/null || fail "closing the window ended the program without asking"
[ "$(brightness "$out/close_asks.png")" -lt $((before * 3 / 4)) ] || fail "closing the window showed no end dialog"
press y
ended() { ! kill -0 $viewer 2>/dev/null; }
wait_for 30 ended || fail "Y did not end the program"

# Bad input: an ini file with nonsense sizes beside a copy of the program, and an aircraft that is
# not there. The window keeps its usable default size and the airport shows without the aircraft.
# The copy runs from the engine's folder, where Windows finds the engine's DLLs.
odd="$out/odd_settings"
mkdir -p "$odd"
cp "$bin/hx21app.exe" "$odd/"
printf '[FLIGHT]\r\nwindow=1\r\n[WINDOW]\r\nxsize=-5\r\nysize=99999999\r\n' >"$odd/hx21app.ini"
(cd "$bin" && exec "$wine" "$odd/hx21app.exe" no_such_aircraft) >"$out/odd_settings.log" 2>&1 &
viewer=$!; pids+=("$viewer")
wait_for 60 find_window || fail "no window with nonsense settings"
client_geometry "$window"
[ "$WIDTH" = 960 ] && [ "$HEIGHT" = 600 ] || fail "nonsense settings gave a ${WIDTH}x$HEIGHT window"
wait_for 120 sky_shows || fail "no scene without the aircraft"
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2))
xdotool windowfocus "$window"
shot no_aircraft
(cd "$bin" && "$wine" taskkill /im hx21app.exe >/dev/null 2>&1)
sleep 1
press y
wait_for 30 ended || fail "the program without its aircraft did not end"

[ $failures -eq 0 ] && echo "viewer run: all checks passed (screenshots in $out)"
exit $((failures > 0))
