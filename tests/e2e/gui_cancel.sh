#!/bin/bash
# Started by hand: the source typed into the movie, Move clicked, the move
# confirmed and then cancelled with the movie's Cancel button. Some pictures
# stay on the card, nothing is lost, and no final box comes up. Each move
# takes 20 ms in the tests' build, so the click always lands half-way.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
PICTURES=${PICTURES:-2000}
mkdir -p "$GUI_TMP/target"
gui_make_card "$GUI_TMP/card" "$PICTURES" 64
gui_settings "Target=$GUI_TMP/target" "AutoRename=False"

QUILLFEN_TEST_MOVE_DELAY_MS=20 gui_launch
gui_wait_shown 20
# The source is typed into its box and committed with Enter.
xdotool windowfocus --sync "$MAIN_WINDOW"
gui_click cmbSource
for _ in $(seq 100); do
  [ "$(gui_js "document.activeElement.id")" = '"cmbSource"' ] && break
  sleep 0.05
done
xdotool key --delay 20 ctrl+a
xdotool type --delay 5 "$GUI_TMP/card"
xdotool key Return
for _ in $(seq 100); do
  [ "$(gui_js "document.getElementById('cmbSource').value")" = "\"$GUI_TMP/card\"" ] && break
  sleep 0.05
done
grep -q "Source=$GUI_TMP/card" "$SETTINGS_FILE" || gui_fail "the typed source was not taken: $(cat "$SETTINGS_FILE")"

cancel=$(gui_control_position cmdCancel)
gui_click cmdMove
gui_wait_box "text=All pictures will be moved" 30
gui_keys_in_dialog "Moving pictures" Return
# Cancel as soon as the first pictures have arrived.
gui_wait_first_picture "$GUI_TMP/target"
# shellcheck disable=SC2086
xdotool mousemove --window "$MAIN_WINDOW" $cancel click 1
# The move has ended when the movie's controls are unlocked again.
for _ in $(seq 600); do
  [ "$(gui_js "document.getElementById('cmdMove').disabled")" = false ] && break
  sleep 0.05
done
[ "$(gui_js "document.getElementById('cmdMove').disabled")" = false ] || gui_fail "the move did not end"

moved=$(gui_count_pictures "$GUI_TMP/target")
left=$(gui_count_pictures "$GUI_TMP/card")
[ "$moved" -gt 0 ] && [ "$moved" -lt "$PICTURES" ] || gui_fail "the cancel did not stop the move: $moved moved"
[ $((moved + left)) -eq "$PICTURES" ] || gui_fail "pictures went missing: $moved moved, $left left"
sleep 1
if grep -q "All pictures have been moved" "$HOOK/events"; then gui_fail "the final box came up after a cancel"; fi
gui_running || gui_fail "the program ended"
gui_pass "cancelled after $moved of $PICTURES pictures, $left still on the card"
