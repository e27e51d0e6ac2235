#!/bin/bash
# Later starts with cards while the window is open and Automoving is on, on
# a session bus of the test's own. The first card is moved at once. A second
# card handed over during that move (held with Pause; each move takes 20 ms
# in the tests' build) starts no second move: its start ends at once, and
# once the first move has ended the second card is offered with the move's
# confirmation. Both cards end up in the target; nothing is lost.
GUI_SESSION_BUS=1
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
FIRST=1000
SECOND=20
mkdir -p "$GUI_TMP/target"
gui_make_card "$GUI_TMP/first" "$FIRST" 64
gui_make_card "$GUI_TMP/second" "$SECOND" 64
gui_settings "Automoving=True" "Target=$GUI_TMP/target"
moved_boxes() { grep -c "text=All pictures have been moved." "$HOOK/events" || true; }
pause_caption() { gui_js "document.getElementById('cmdPause').textContent"; }

QUILLFEN_TEST_MOVE_DELAY_MS=20 gui_launch
gui_wait_shown 20
gui_later_start "$GUI_TMP" "$GUI_TMP/first"
[ "$LATER_STATUS" -eq 0 ] || gui_fail "the first later start ended with $LATER_STATUS: $(cat "$GUI_TMP/later.log")"
gui_wait_box "text=All pictures will be moved  *from $GUI_TMP/first " 30
gui_keys_in_dialog "Moving pictures" Return

# Held as soon as the first pictures have arrived.
gui_wait_first_picture "$GUI_TMP/target"
gui_click cmdPause
for _ in $(seq 200); do
  [ "$(pause_caption)" = '"Resume"' ] && break
  sleep 0.05
done
[ "$(pause_caption)" = '"Resume"' ] || gui_fail "the move was not held: the button says $(pause_caption)"

gui_later_start "$GUI_TMP" "$GUI_TMP/second"
[ "$LATER_STATUS" -eq 0 ] || gui_fail "the later start during the move ended with $LATER_STATUS"
sleep 1
if grep -q "$GUI_TMP/second" "$HOOK/events"; then gui_fail "the second card was offered during the move"; fi
[ "$(gui_count_pictures "$GUI_TMP/second")" -eq "$SECOND" ] || gui_fail "the second card was touched during the move"
[ "$(gui_js "document.getElementById('cmbSource').value")" = "\"$GUI_TMP/first\"" ] ||
  gui_fail "the source changed during the move"

gui_click cmdPause
gui_wait_box "text=All pictures have been moved." 120
[ "$(gui_count_pictures "$GUI_TMP/first")" -eq 0 ] || gui_fail "the first move left pictures behind"
gui_keys_in_dialog "Quillfen" Return
gui_wait_box "text=All pictures will be moved  *from $GUI_TMP/second " 30
gui_keys_in_dialog "Moving pictures" Return
for _ in $(seq 1200); do
  [ "$(moved_boxes)" -ge 2 ] && break
  sleep 0.05
done
[ "$(moved_boxes)" -eq 2 ] || gui_fail "the second move did not end: $(cat "$HOOK/events")"
gui_keys_in_dialog "Quillfen" Return

moved=$(gui_count_pictures "$GUI_TMP/target")
[ "$moved" -eq $((FIRST + SECOND)) ] || gui_fail "$moved of $((FIRST + SECOND)) pictures arrived"
[ "$(gui_count_pictures "$GUI_TMP/second")" -eq 0 ] || gui_fail "the second card kept pictures"
gui_running || gui_fail "the program ended"
gui_pass "the card handed over during a move was offered after it; $moved pictures moved"
