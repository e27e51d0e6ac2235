#!/bin/bash
# The movie's web process killed in the middle of a move started from the
# window: every picture still arrives, the movie comes back with its captions
# and paths while the move runs, its controls locked and Pause working, and
# the final box comes. A second move is then cancelled from the new page. The
# program says once that the page was lost, not once a picture.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
PICTURES=${PICTURES:-3000}
SECOND=2000
mkdir -p "$GUI_TMP/target"
gui_make_card "$GUI_TMP/card" "$PICTURES" 64
gui_settings "Source=$GUI_TMP/card" "Target=$GUI_TMP/target" "AutoRename=False"
SHOTS=${GUI_SHOTS:-$GUI_TMP}
GUI_FAILURE_SHOT="$SHOTS/page_lost_failure.png"

# WebKit's web process below the program (it may sit below a helper).
web_process() {
  local pids=$GUI_PID children all="" p
  while [ -n "$pids" ]; do
    children=$(for p in $pids; do ps -o pid= --ppid "$p"; done)
    all="$all $children"
    pids=$children
  done
  for p in $all; do
    [ "$(cat "/proc/$p/comm" 2>/dev/null)" = WebKitWebProces ] && echo "$p"
  done
  return 0
}

# Retries a check every 0.05 s for at most $1 seconds, else fails with $2.
until_true() {
  local seconds=$1 why=$2
  shift 2
  for _ in $(seq $((seconds * 20))); do "$@" && return 0; sleep 0.05; done
  gui_fail "$why"
}
js_is() { [ "$(gui_js "$1")" = "$2" ]; }
more_pictures_than() { [ "$(gui_count_pictures "$1")" -gt "$2" ]; }
new_web_process() { new=$(web_process); [ -n "$new" ] && [ "$new" != "$old" ]; }
confirmations() { [ "$(grep -c "text=All pictures will be moved" "$HOOK/events")" -ge "$1" ]; }
# The colours of a picture of the main window: one that shows its page draws
# several times as many as one blank but for its menu bar and label.
window_colours() { import -window "$MAIN_WINDOW" "$1" 2>/dev/null && identify -format %k "$1"; }
drawn_as_before() { [ "$(window_colours "$SHOTS/page_lost_restored.png")" -ge $((before_colours / 2)) ]; }
# The movie as the user sees it: paths, a caption, the locked state.
state="JSON.stringify(['cmbSource', 'cmbTarget'].map((id) => document.getElementById(id).value).concat([document.getElementById('lblSource').textContent], ['cmdMove', 'cmdPause', 'cmdCancel'].map((id) => document.getElementById(id).disabled)))"
locked="\"[\\\"$GUI_TMP/card\\\",\\\"$GUI_TMP/target\\\",\\\"Pictures from:\\\",true,false,false]\""
pause_caption="document.getElementById('cmdPause').textContent"
move_free="document.getElementById('cmdMove').disabled"

QUILLFEN_TEST_MOVE_DELAY_MS=10 gui_launch
gui_wait_shown 20
before_colours=0
command -v import >/dev/null && before_colours=$(window_colours "$SHOTS/page_lost_before.png")

gui_click cmdMove
gui_wait_box "text=All pictures will be moved" 30
gui_keys_in_dialog "Moving pictures" Return
until_true 30 "the move did not begin" more_pictures_than "$GUI_TMP/target" 49
old=$(web_process)
[ -n "$old" ] || gui_fail "no web process below the program"
kill -KILL "$old"

# A new web process, then the movie as it was, while the move goes on.
until_true 30 "the movie was not loaded again" new_web_process
until_true 30 "the movie did not come back as it was" js_is "$state" "$locked"
more_pictures_than "$GUI_TMP/card" 0 || gui_fail "the move ended before the movie came back; try more PICTURES"
gui_js window | grep -q '"movieVisible":true' || gui_fail "the movie stays covered: $(gui_js window)"
js_is "document.getElementById('progressText').textContent" '"0%"' && gui_fail "the progress was not shown again"
if [ "$before_colours" -gt 0 ]; then until_true 5 "the restored window looks blank" drawn_as_before; fi

# Pause and resume from the new page: the move holds, then goes on.
gui_click cmdPause
until_true 10 "Pause did not answer" js_is "$pause_caption" '"Resume"'
held=$(gui_count_pictures "$GUI_TMP/target")
sleep 1
[ "$(gui_count_pictures "$GUI_TMP/target")" -eq "$held" ] || gui_fail "the move went on while paused"
gui_click cmdPause
until_true 10 "Resume did not answer" js_is "$pause_caption" '"Pause"'

gui_wait_box "text=All pictures have been moved." 300
moved=$(gui_count_pictures "$GUI_TMP/target")
[ "$moved" -eq "$PICTURES" ] || gui_fail "$moved of $PICTURES pictures arrived"
[ "$(gui_count_pictures "$GUI_TMP/card")" -eq 0 ] || gui_fail "pictures stayed on the card"
gui_keys_in_dialog "Quillfen" Return
until_true 10 "the new page stayed locked after the move" js_is "$move_free" false

# A second move from the new page, numbered (the box ticked there), cancelled.
gui_make_card "$GUI_TMP/card" "$SECOND" 64
gui_click chkAutoRename
until_true 10 "the new page's check box was not taken" grep -q "AutoRename=True" "$SETTINGS_FILE"
cancel=$(gui_control_position cmdCancel)
gui_click cmdMove
until_true 30 "no second confirmation" confirmations 2
gui_keys_in_dialog "Moving pictures" Return
until_true 30 "the second move did not begin" more_pictures_than "$GUI_TMP/target" "$PICTURES"
# shellcheck disable=SC2086
xdotool mousemove --window "$MAIN_WINDOW" $cancel click 1
until_true 30 "the second move did not end" js_is "$move_free" false
second=$(($(gui_count_pictures "$GUI_TMP/target") - PICTURES))
left=$(gui_count_pictures "$GUI_TMP/card")
[ "$second" -gt 0 ] && [ "$second" -lt "$SECOND" ] || gui_fail "Cancel did not stop the second move: $second moved"
[ $((second + left)) -eq "$SECOND" ] || gui_fail "pictures went missing: $second moved, $left left"
sleep 1
[ "$(grep -c "All pictures have been moved" "$HOOK/events")" -eq 1 ] || gui_fail "a final box came after the cancel"

losses=$(grep -c "the movie's page was lost" "$GUI_TMP/program.log" || true)
[ "$losses" -eq 1 ] || gui_fail "the loss was reported $losses times"
gui_running || gui_fail "the program ended"
gui_pass "$PICTURES pictures moved across the loss of the page; a second move cancelled after $second"
