#!/bin/bash
# Started for a card with automatic moving on: the confirmation answered with
# Enter empties the card into the target, the final box comes up, and the
# movie is shown only after the whole move.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
PICTURES=40
mkdir -p "$GUI_TMP/target"
gui_make_card "$GUI_TMP/card" "$PICTURES"
gui_settings "Automoving=True" "Target=$GUI_TMP/target" "AutoRename=False"

gui_launch "$GUI_TMP/card"
gui_wait_box "text=All pictures will be moved" 30
[ "$(gui_count_pictures "$GUI_TMP/target")" -eq 0 ] || gui_fail "pictures moved before the user confirmed"
# Enter answers the box with its first button, OK.
gui_keys_in_dialog "Moving pictures" Return
gui_wait_box "text=All pictures have been moved." 60

moved=$(gui_count_pictures "$GUI_TMP/target")
left=$(gui_count_pictures "$GUI_TMP/card")
[ "$moved" -eq "$PICTURES" ] || gui_fail "$moved of $PICTURES pictures arrived"
[ "$left" -eq 0 ] || gui_fail "$left pictures stayed on the card"
[ -f "$GUI_TMP/target/IMG_0001.JPG" ] && [ -f "$GUI_TMP/target/IMG_$(printf %04d $PICTURES).JPG" ] ||
  gui_fail "the pictures lost their names"
# The movie comes up once the automatic move has ended.
MAIN_WINDOW=$(gui_main_window)
if xprop -id "$MAIN_WINDOW" _QUILLFEN_MOVIE_SHOWN 2>/dev/null | grep -q '= 1'; then
  gui_fail "the movie was shown while the final box was still open"
fi
gui_keys_in_dialog "Quillfen" Return
gui_wait_shown 20
# The movie followed the move: the count is shown and the controls are free again.
status=$(gui_js "['infoFrom', 'infoTo', 'infoOperation', 'infoExtra'].map((id) => document.getElementById(id).textContent).join(' | ')")
echo "$status" | grep -q "$PICTURES" || gui_fail "the movie does not show the count: $status"
[ "$(gui_js "document.getElementById('cmdMove').disabled")" = false ] || gui_fail "the movie's controls stayed locked"
gui_pass "$moved pictures moved with the window's confirmation"
