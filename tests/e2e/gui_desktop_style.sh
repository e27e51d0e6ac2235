#!/bin/bash
# The window follows the desktop: its dark style as the settings portal
# tells it (GTK 3 does not read it by itself), also when it changes while the
# window is open; GTK's high contrast themes, black on white and white on
# black; and the desktop's text scaling, which enlarges window and page
# alike. Runs on a session bus of its own with a stand-in portal.
GUI_SESSION_BUS=1
source "$(dirname "$0")/gui_common.bash" "$1"
PYTHON=/usr/bin/python3
"$PYTHON" -c "from gi.repository import Gio" 2>/dev/null || gui_skip "Python's GObject bindings are not installed (python3-gi)"
gui_start_x
gui_private_home
gui_program_copy
gui_settings "Target=$GUI_TMP" "Language=English"

# style: what the page shows: dark or light, more contrast or not, and its
# colour behind everything.
style() {
  gui_js "[matchMedia('(prefers-color-scheme: dark)').matches ? 'dark' : 'light', matchMedia('(prefers-contrast: more)').matches ? 'high contrast' : 'normal', getComputedStyle(document.body).backgroundColor].join(' ')"
}
# start_with VARIABLE=VALUE...: the program started anew with that environment.
start_with() {
  if [ -n "$GUI_PID" ]; then kill "$GUI_PID"; wait "$GUI_PID" 2>/dev/null || true; GUI_PID=""; fi
  export "$@"
  gui_launch
  for setting in "$@"; do unset "${setting%%=*}"; done
  gui_wait_shown 20
}
expect_style() {
  local shown
  for _ in $(seq 40); do shown=$(style); [ "$shown" = "\"$2\"" ] && return 0; sleep 0.1; done
  gui_fail "$1: the page shows $shown, not $2"
}

"$PYTHON" "$(dirname "$0")/lib/settings_portal.py" 1 >"$GUI_TMP/portal.log" 2>&1 &
portal=$!
trap 'kill $portal 2>/dev/null || true; gui_cleanup' EXIT
for _ in $(seq 100); do grep -qs ready "$GUI_TMP/portal.log" && break; sleep 0.05; done
start_with GTK_THEME=Adwaita
expect_style "the portal's dark style" "dark normal rgb(30, 40, 46)"
kill -USR1 "$portal"
expect_style "the portal's style changed back" "light normal rgb(129, 151, 162)"

# (GTK's black-on-white HighContrast reaches the page by itself, see the
# page's own test; white on black needs the program's word that it is dark.)
start_with GTK_THEME=HighContrastInverse
expect_style "high contrast, white on black" "dark high contrast rgb(0, 0, 0)"

# Text scaled by 1.25: window and page grow alike, the page's layout is the
# one it was designed with.
start_with GDK_DPI_SCALE=1.25
width=$(gui_window_width)
[ "$width" -eq 742 ] || gui_fail "the window is $width pixels wide with the text scaled by 1.25, not 742"
[ "$(gui_js "innerWidth + 'x' + innerHeight")" = '"593x245"' ] || gui_fail "the page is laid out in $(gui_js "innerWidth + 'x' + innerHeight")"
gui_pass "the window follows the portal's dark style, GTK's high contrast and the text scaling"
