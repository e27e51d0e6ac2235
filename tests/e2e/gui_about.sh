#!/bin/bash
# The About window from the Help menu: its title and texts in the current
# language, Escape and Enter both close it, the address opens through the
# desktop, and it takes a new language when opened again.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
gui_settings "Target=$GUI_TMP" "Language=English"

gui_launch
gui_wait_shown 20
open_about() {
  # F10 opens Options, Right moves to Help, Down selects About, Return opens it.
  xdotool windowfocus --sync "$MAIN_WINDOW" key --delay 150 F10 Right Down Return
}
open_about
about=$(gui_dialog "About Quillfen")
width=$(xwininfo -id "$about" | awk '/Width:/ {print $2}')
[ "$width" -gt 300 ] || gui_fail "the About window is only $width px wide"
gui_screenshot "$GUI_TMP/about.png" "$about"
xdotool windowfocus --sync "$about" key Escape
sleep 0.5
[ "$(xdotool search --onlyvisible --pid "$GUI_PID" | wc -l)" -eq 1 ] || gui_fail "Escape did not close the About window"

open_about
about=$(gui_dialog "About Quillfen")
xdotool windowfocus --sync "$about" key Return
sleep 0.5
[ "$(xdotool search --onlyvisible --pid "$GUI_PID" | wc -l)" -eq 1 ] || gui_fail "Enter did not close the About window"

# Switched to Russian, the next opening shows the Russian title.
xdotool windowfocus --sync "$MAIN_WINDOW" key --delay 150 F10 Down Right Return
for _ in $(seq 100); do grep -q '^Language=Russian' "$SETTINGS_FILE" && break; sleep 0.05; done
grep -q '^Language=Russian' "$SETTINGS_FILE" || gui_fail "Russian was not chosen"
open_about
about=$(gui_dialog "О программе Quillfen")
xdotool windowfocus --sync "$about" key Escape
gui_running || gui_fail "the program ended"
gui_pass "About window opens, closes with Escape and Enter, follows the language"
