#!/bin/bash
# The desktop starts the program again while its window is open, on a
# session bus of the test's own: each later start hands its argument to the
# running window and ends at once. A card's folder, given in two words and
# relative to the later start's own working folder, becomes the source
# without moving anything (Automoving is off), and the window, taken off the
# screen, comes back; a later start without an argument changes nothing else.
GUI_SESSION_BUS=1
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
PICTURES=5
mkdir -p "$GUI_TMP/target" "$GUI_TMP/work"
CARD="$GUI_TMP/work/EOS DIGITAL"
gui_make_card "$CARD" "$PICTURES"
gui_settings "Target=$GUI_TMP/target"

gui_launch
gui_wait_shown 20
source_shown() { gui_js "document.getElementById('cmbSource').value"; }
window_shown() { [ -n "$(gui_main_window)" ]; }

xdotool windowunmap --sync "$MAIN_WINDOW"
if window_shown; then gui_fail "the window could not be taken off the screen"; fi
gui_later_start "$GUI_TMP/work" EOS DIGITAL
[ "$LATER_STATUS" -eq 0 ] || gui_fail "the later start ended with $LATER_STATUS: $(cat "$GUI_TMP/later.log")"
for _ in $(seq 400); do
  [ "$(source_shown)" = "\"$CARD\"" ] && window_shown && break
  sleep 0.05
done
[ "$(source_shown)" = "\"$CARD\"" ] || gui_fail "the window shows the source $(source_shown)"
window_shown || gui_fail "the window did not come back"
grep -qxF "Source=$CARD" "$SETTINGS_FILE" || gui_fail "the source was not stored: $(cat "$SETTINGS_FILE")"

gui_later_start "$GUI_TMP"
[ "$LATER_STATUS" -eq 0 ] || gui_fail "the later start without an argument ended with $LATER_STATUS"
[ "$(source_shown)" = "\"$CARD\"" ] || gui_fail "a start without an argument changed the source"
sleep 1
if [ -s "$HOOK/events" ]; then gui_fail "a box came up without Automoving: $(cat "$HOOK/events")"; fi
[ "$(gui_count_pictures "$CARD")" -eq "$PICTURES" ] || gui_fail "pictures moved without Automoving"
gui_running || gui_fail "the program ended"
gui_pass "two later starts handed over and ended, the card became the source"
