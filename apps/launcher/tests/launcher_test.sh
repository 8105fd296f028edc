#!/usr/bin/env bash
# The launcher under Wine on the Xvfb display, as a person meets it: the logo plays (screenshots in
# <folder>/shots/ show the lines, the letters, the word mark with its glint, the fade), then the viewer
# starts without arguments; a second launcher brings the first forward and exits with -1; Escape
# during the lines ends without the viewer; without DirectX 9 the information dialog comes instead;
# without the logo's files the window stays black and the viewer still starts.
# Usage: launcher_test.sh <wine> <launcher folder> <folder with a DirectX 8 setup library>
#        <folder without the logo> <launcher-shot-stats>
set -uo pipefail
wine=$1 folder=$(realpath "$2") dx8_folder=$(realpath "$3") no_logo_folder=$(realpath "$4") stats=$5
shots=$folder/shots
source "$(dirname "$0")/launcher_helpers.sh"

rm -rf "$shots" && mkdir -p "$shots"
cd "$folder" || exit 1

# --- The whole logo, a second launcher meanwhile, then the viewer -----------------------------
rm -f viewer_started.txt
"$wine" hx-21.exe & first=$!; pids+=("$first")
if ! wait_for 60 has_launcher_window; then
  fail "no launcher window within 60 s"
else
  window=$(launcher_window)
  pass "launcher window shown"
  # Shots as fast as they come; meanwhile a second launcher starts and should give way.
  second="" second_seen_out=0 n=0 start=$SECONDS
  while [ $((SECONDS - start)) -lt 90 ]; do
    n=$((n + 1))
    shoot "$window" "$shots/$(printf %03d $n).png" || { rm -f "$shots/$(printf %03d $n).png"; break; }
    if [ -z "$second" ] && [ $((SECONDS - start)) -ge 2 ]; then
      "$wine" hx-21.exe & second=$!; pids+=("$second")
    elif [ -n "$second" ] && [ $second_seen_out = 0 ] && exited "$second"; then
      second_seen_out=1
      [ "$(launcher_window)" = "$window" ] && pass "first launcher still shown after the second ended" ||
        fail "first launcher window gone when the second ended"
    fi
  done
  if [ -n "$second" ] && wait_for 30 exited "$second"; then
    wait "$second"; code=$?
    [ $code = 255 ] && pass "second launcher exited with -1" || fail "second launcher exited with $code, not -1"
  else
    fail "second launcher not started or still running"
  fi
  has_launcher_window && fail "launcher window still shown after 90 s"
  if wait_for 20 exited "$first"; then
    wait "$first"; code=$?
    [ $code = 0 ] && pass "launcher ended with 0" || fail "launcher ended with $code"
  else
    fail "launcher process still running"
  fi
  if wait_for 20 test -s viewer_started.txt; then
    tr -d '\r' <viewer_started.txt | grep -qx 'arguments=\[\]' && pass "viewer started without arguments" ||
      fail "viewer started with $(head -1 viewer_started.txt)"
  else
    fail "viewer not started"
  fi

  # What the shots show, in order: lines, then letters, then the word mark with the glint, then black.
  lines=0 letters=0 mark=0 glint=0 last=""
  while read -r shot r g b m gl lit run; do
    echo "$(basename "$shot"): red $r green $g blue $b mark $m glint $gl lit $lit tallest $run"
    if [ "$r" -gt 20 ] && [ "$g" -gt 20 ] && [ "$b" -gt 20 ] && [ "$m" = 0 ]; then
      # Lines are a few pixels thick; the letters stand tens of pixels tall.
      if [ "$run" -le 8 ]; then lines=$((lines + 1)); cp "$shot" "$shots/lines.png"
      elif [ "$run" -ge 20 ]; then letters=$((letters + 1)); [ $letters = 1 ] && cp "$shot" "$shots/letters.png"; fi
    fi
    [ "$m" -gt 300 ] && mark=$((mark + 1))
    [ "$m" -gt 300 ] && [ "$gl" -gt 5 ] && { glint=$((glint + 1)); [ $glint = 1 ] && cp "$shot" "$shots/glint.png"; }
    last=$lit
  done < <("$stats" "$shots"/[0-9]*.png)
  [ $lines -gt 0 ] && pass "$lines shots show the lines" || fail "no shot shows the lines"
  [ $letters -gt 0 ] && pass "$letters shots show the letters" || fail "no shot shows the letters"
  [ $mark -gt 0 ] && pass "$mark shots show the word mark" || fail "no shot shows the word mark"
  [ $glint -gt 0 ] && pass "$glint shots show the glint" || fail "no shot shows the glint"
  [ -n "$last" ] && [ "$last" -lt 2000 ] && pass "the last shot is black" || fail "the last shot is not black ($last lit)"
fi

# --- Escape during the lines -----------------------------------------------------------------------
rm -f viewer_started.txt
"$wine" hx-21.exe & third=$!; pids+=("$third")
if wait_for 60 has_launcher_window && window=$(launcher_window) &&
   wait_for 30 logo_showing "$window" "$shots/escape.png" "$stats"; then
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key Escape
  if wait_for 10 no_launcher_window; then
    pass "Escape closed the launcher during the lines"
    wait_for 20 exited "$third"
    sleep 2 # the viewer would have been started within a second of the window closing
    [ -e viewer_started.txt ] && fail "viewer started after Escape" || pass "viewer not started after Escape"
  else
    fail "launcher still shown 10 s after Escape"
  fi
else
  fail "no lines to press Escape on"
fi

# --- A setup library beside the program is not the system's: it is never loaded ---------------------
# The folder holds a stand-in that would report DirectX 8; the launcher asks the system folder's only.
cd "$dx8_folder" || exit 1
"$wine" hx-21.exe & beside=$!; pids+=("$beside")
if wait_for 60 has_launcher_window; then
  pass "a dsetup.dll beside the program is ignored"
  xdotool windowfocus --sync "$(launcher_window)" 2>/dev/null
  xdotool key Escape
  wait_for 20 exited "$beside" || fail "the launcher beside a stray dsetup.dll did not close"
else
  fail "a dsetup.dll beside the program was taken for the system's"
fi

# --- DirectX 8: the information dialog, no launcher window, exit code -1 ------------------------------
system_dsetup=$WINEPREFIX/drive_c/windows/system32/dsetup.dll
[ -e "$system_dsetup" ] && { echo "FAIL: $system_dsetup exists already; not touching it"; exit 1; }
cp "$dx8_folder/dsetup.dll" "$system_dsetup"
trap 'rm -f "$system_dsetup"; end_started_processes' EXIT
"$wine" hx-21.exe & fourth=$!; pids+=("$fourth")
dialog() { xdotool search --name '^情報$' 2>/dev/null | head -1; }
has_dialog() { [ -n "$(dialog)" ]; }
if wait_for 60 has_dialog; then
  pass "information dialog shown"
  sleep 0.5 # let it paint before the picture
  eval "$(xdotool getwindowgeometry --shell "$(dialog)")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$shots/directx_dialog.png" 2>/dev/null
  has_launcher_window && fail "launcher window shown without DirectX 9"
  xdotool windowfocus --sync "$(dialog)" 2>/dev/null
  xdotool key Return
  if wait_for 20 exited "$fourth"; then
    wait "$fourth"; code=$?
    [ $code = 255 ] && pass "launcher without DirectX 9 exited with -1" || fail "launcher without DirectX 9 exited with $code"
  else
    fail "dialog not closed by Return"
  fi
else
  fail "no information dialog with DirectX 8"
fi
rm -f "$system_dsetup"

# --- No logo files: nothing to see, the viewer all the same ------------------------------------------
cd "$no_logo_folder" || exit 1
rm -f viewer_started.txt
"$wine" hx-21.exe & fifth=$!; pids+=("$fifth")
if wait_for 60 has_launcher_window; then
  window=$(launcher_window) lit=0
  while shoot "$window" "$shots/no_logo.png"; do
    read -r _ _ _ _ _ _ lit _ < <("$stats" "$shots/no_logo.png")
    [ "${lit:-0}" -gt 0 ] && break
  done
  [ "${lit:-0}" = 0 ] && pass "without the logo files the window stays black" || fail "something shown without logo files"
  wait_for 60 no_launcher_window && wait_for 20 test -s viewer_started.txt &&
    pass "without the logo files the viewer still starts" || fail "viewer not started without the logo files"
  wait_for 20 exited "$fifth"
else
  fail "no launcher window without the logo files"
fi

echo "screenshots in $shots"
[ $failures = 0 ]
