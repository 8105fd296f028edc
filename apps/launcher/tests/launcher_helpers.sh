# The launcher's window tests (the launcher, the zip and the setup program) share these on top of the
# programs' common window helpers: finding the launcher's window and photographing its client area.
# Sourced, not run.
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/gui_helpers.sh"

title="HX-21 Flight Benchmark"
launcher_window() { window_named "^$title\$"; }
has_launcher_window() { [ -n "$(launcher_window)" ]; }
no_launcher_window() { [ -z "$(launcher_window)" ]; }

# A shot of the launcher's 960 x 600 client area: the bottom of its X window, between the side
# borders. One process per shot, so that shots come often even on a busy machine; false once the
# window is gone (import can then hang: bounded).
shoot() { # window file
  timeout 10 import -window "$1" -gravity South -crop 960x600+0+0 +repage "$2" 2>/dev/null
}
# True when a new shot of the window shows the logo's red (its first lines, later its T).
logo_showing() { # window shot launcher-shot-stats
  local red
  shoot "$1" "$2" && read -r _ red _ < <("$3" "$2") && [ "$red" -gt 20 ]
}
