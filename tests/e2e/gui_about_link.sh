#!/bin/bash
# The home-page address in the About window, clicked with the mouse, is handed
# to the desktop's browser for https addresses: a recording stand-in
# registered in the private home receives exactly the address. Escape then
# closes the About window and the program goes on.
source "$(dirname "$0")/gui_common.bash" "$1"
for tool in import convert; do
  command -v "$tool" >/dev/null || gui_skip "$tool (ImageMagick) is not installed"
done
gui_start_x
gui_private_home
gui_program_copy
gui_settings "Target=$GUI_TMP" "Language=English"

# The address the build gave the program (CMake's QUILLFEN_HOME_PAGE).
home_page=$(sed -n 's/^QUILLFEN_HOME_PAGE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt" 2>/dev/null)
[ -n "$home_page" ] || home_page="https://quillfen.example.org/"

gui_url_recorder
recorded=$GUI_URLS

gui_launch
gui_wait_shown 20
# F10 opens Options, Right moves to Help, Down selects About, Return opens it.
xdotool windowfocus --sync "$MAIN_WINDOW" key --delay 150 F10 Right Down Return
about=$(gui_dialog "About Quillfen")
sleep 0.5

# The link is the only text in the link colour (#000080): the middle of its
# underline, found in a picture of the window, is where to click.
import -window "$about" "$GUI_TMP/about.png"
link=$(convert "$GUI_TMP/about.png" txt:- |
  awk -F'[,: ]+' '/#000080/ { x[n] = $1; y[n] = $2; n++ } END {
    if (n == 0) exit;
    minx = maxx = x[0]; maxy = y[0];
    for (i = 1; i < n; i++) { if (x[i] < minx) minx = x[i]; if (x[i] > maxx) maxx = x[i]; if (y[i] > maxy) maxy = y[i] }
    print int((minx + maxx) / 2), maxy - 4 }')
[ -n "$link" ] || gui_fail "no text in the link colour in the About window"
# shellcheck disable=SC2086
xdotool mousemove --window "$about" $link click 1
for _ in $(seq 200); do
  [ -s "$recorded" ] && break
  sleep 0.05
done
[ -s "$recorded" ] || gui_fail "clicking the link at $link opened nothing"
[ "$(cat "$recorded")" = "$home_page" ] || gui_fail "the link opened '$(cat "$recorded")', not $home_page"

# The About window is still there; Escape closes it and the program goes on.
[ -n "$(xdotool search --onlyvisible --name '^About Quillfen$' 2>/dev/null)" ] || gui_fail "the About window closed on the click"
xdotool windowfocus --sync "$about" key Escape
for _ in $(seq 100); do
  [ -z "$(xdotool search --onlyvisible --name '^About Quillfen$' 2>/dev/null)" ] && break
  sleep 0.05
done
[ -z "$(xdotool search --onlyvisible --name '^About Quillfen$' 2>/dev/null)" ] || gui_fail "Escape did not close the About window"
sleep 0.3
gui_running || gui_fail "the program ended"
[ "$(gui_js "document.getElementById('cmdMove').disabled")" = false ] || gui_fail "the movie is not usable after the About window"
[ "$(wc -l <"$recorded")" -eq 1 ] || gui_fail "the address was opened more than once: $(cat "$recorded")"
gui_pass "the About window's link opened $home_page in the desktop's browser"
