#!/usr/bin/env bash
# The setup program under Wine: its language, welcome and folder pages in English and Japanese (left
# as screenshots in the work folder, then cancelled: nothing installed); a silent install into a
# folder of the test's choosing with every file of the product, the Start-menu and desktop links and
# the entry among the installed programs; the launcher started through the Start-menu link plays its
# logo; the silent uninstall leaves no installed file, link or entry, but keeps a user's photo.
# Usage: installer_test.sh <wine> <hx-21-setup.exe> <hx-21.zip> <work folder> <launcher-shot-stats>
set -uo pipefail
wine=$1 setup=$(realpath "$2") zip=$(realpath "$3") work=$4 stats=$5
source "$(dirname "$0")/../../apps/launcher/tests/launcher_helpers.sh"
# No desktop entries on the build machine for the links the installer makes.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\HX-21'
target='C:\HX21Test'
drive_c=$WINEPREFIX/drive_c
installed=$drive_c/HX21Test
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/HX-21
desktop_link=$drive_c/users/Public/Desktop/HX-21.lnk

rm -rf "$work" && mkdir -p "$work" && work=$(realpath "$work")
cd "$work" || exit 1
reg_value() { "$wine" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
has_entry() { "$wine" reg query "$key" >/dev/null 2>&1; }
# A previous run that failed half-way may have left its installation behind.
[ -x "$installed/uninstall.exe" ] && "$wine" "$installed/uninstall.exe" /S 2>/dev/null
rm -rf "$installed"
has_entry && "$wine" reg delete "$key" /f >/dev/null 2>&1

window_named() { xdotool search --name "$1" 2>/dev/null | head -1; }
window_exists() { [ -n "$(window_named "$1")" ]; }
# A window of that name other than `except` (the wizard's question boxes share its title).
other_window() { xdotool search --name "$1" 2>/dev/null | grep -vx "$2" | head -1; }
other_exists() { [ -n "$(other_window "$1" "$2")" ]; }
shoot_window() { # window file
  local WIDTH HEIGHT X Y
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  [ -n "${WIDTH:-}" ] && import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$2" 2>/dev/null
}
press() { # window key
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key "$2"
}

# --- Pages: language choice, welcome, folder; then cancelled ---------------------------------------
pages() { # language LANG-value title
  local language=$1 title=$2 lang wizard confirm
  LANG=$language LC_ALL=$language "$wine" "$setup" & local pid=$!; pids+=("$pid")
  wait_for 120 window_exists '^Installer Language$' || { fail "$language: no language dialog"; return; }
  lang=$(window_named '^Installer Language$')
  sleep 1 # painted
  shoot_window "$lang" "$work/setup_language_$language.png"
  press "$lang" Return
  wait_for 60 window_exists '^HX-21 ' || { fail "$language: no welcome page"; return; }
  wizard=$(window_named '^HX-21 ')
  xdotool getwindowname "$wizard" | grep -qF "$title" || fail "$language: the wizard is not titled '$title'"
  sleep 1
  shoot_window "$wizard" "$work/setup_welcome_$language.png"
  press "$wizard" Return
  local folder_shot=$work/setup_folder_$language.png
  next_page_shown() { shoot_window "$wizard" "$folder_shot" && ! cmp -s "$folder_shot" "$work/setup_welcome_$language.png"; }
  wait_for 20 next_page_shown || fail "$language: the folder page did not follow the welcome page"
  press "$wizard" Escape
  wait_for 20 other_exists '^HX-21 ' "$wizard" && confirm=$(other_window '^HX-21 ' "$wizard") &&
    press "$confirm" Return
  if wait_for 30 exited "$pid"; then
    pass "$language: language, welcome and folder pages shown, setup cancelled"
  else
    fail "$language: setup not cancelled"
  fi
  [ -e "$drive_c/Program Files/HX-21/hx-21.exe" ] && fail "$language: cancelled setup installed files"
}
pages en_US.UTF-8 "HX-21 Setup"
pages ja_JP.UTF-8 "HX-21 セットアップ"

# --- Silent install -----------------------------------------------------------------------------
"$wine" "$setup" /S "/D=$target" 2>/dev/null
missing=0
while read -r entry; do
  entry=${entry#HX-21/}
  [ -z "$entry" ] || [ "${entry: -1}" = / ] && continue
  [ -e "$installed/$entry" ] || { missing=$((missing + 1)); [ $missing -le 5 ] && echo "not installed: $entry"; }
done < <(cmake -E tar tf "$zip")
[ $missing = 0 ] && [ -x "$installed/uninstall.exe" ] && pass "silent install put every file of the product in $target" ||
  fail "$missing files missing from the installation"
[ "$(reg_value DisplayName)" = HX-21 ] && pass "listed among the installed programs" || fail "no uninstall entry"
[ -n "$(reg_value DisplayVersion)" ] && [[ "$(reg_value DisplayIcon)" == "$target\\hx-21.exe,0" ]] &&
  [[ "$(reg_value UninstallString)" == *uninstall.exe* ]] && [ "$(($(reg_value EstimatedSize)))" -gt 1000 ] &&
  pass "entry has version, icon, uninstaller and size" || fail "entry incomplete"
[ -f "$start_menu/HX-21.lnk" ] && [ -f "$desktop_link" ] && pass "Start-menu and desktop links made" ||
  fail "links missing"

# --- The launcher through the Start-menu link -------------------------------------------------------
"$wine" start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\HX-21\HX-21.lnk' 2>/dev/null
if wait_for 60 has_launcher_window && window=$(launcher_window) &&
   wait_for 30 logo_showing "$window" "$work/installed_logo.png" "$stats"; then
  pass "the installed launcher plays its logo"
  press "$window" Escape
  if ! wait_for 20 no_launcher_window; then
    fail "installed launcher not closed by Escape"
    kill "$(xdotool getwindowpid "$window" 2>/dev/null)" 2>/dev/null
  fi
else
  fail "the Start-menu link shows no launcher logo"
fi

# --- Silent uninstall keeps the user's photo ---------------------------------------------------------
mkdir -p "$installed/photo" && printf 'BM user photo' >"$installed/photo/my flight.bmp"
"$wine" "$installed/uninstall.exe" /S 2>/dev/null
# The uninstaller runs from a copy of itself and returns at once: wait for its work to show.
uninstalled() { ! has_entry && [ ! -e "$installed/uninstall.exe" ] && [ ! -e "$installed/hx-21.exe" ]; }
wait_for 90 uninstalled || fail "uninstall did not finish"
left=$(cd "$installed" 2>/dev/null && find . -type f | sort)
[ "$left" = "./photo/my flight.bmp" ] && pass "uninstall left only the user's photo" ||
  fail "uninstall left: $(echo "$left" | head -5 | tr '\n' ' ')"
has_entry && fail "uninstall entry still there" || pass "uninstall entry removed"
[ -e "$start_menu" ] || [ -e "$desktop_link" ] && fail "links still there" || pass "links removed"
rm -rf "$installed"

echo "setup pages and the installed logo in $work"
[ $failures = 0 ]
