#!/bin/bash
# The movie file is missing: the window keeps its label, and 7 seconds after
# the start the "swf_error" text is put into the label and shown in an error
# box titled "loading_error"; the menus stay greyed, the program stays open.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy without-movie

gui_launch
gui_wait_box "title=Loading error" 15
elapsed_ms=$((($(date +%s%N) - GUI_STARTED_NS) / 1000000))
[ "$elapsed_ms" -ge 6900 ] || gui_fail "the load error came after ${elapsed_ms} ms, before the 7 s watchdog"
[ "$elapsed_ms" -le 11000 ] || gui_fail "the load error came only after ${elapsed_ms} ms"
grep -q "text=The program's interface could not be loaded" "$HOOK/events" || gui_fail "the box does not say swf_error"
gui_dialog "Loading error" >/dev/null

state=$(gui_js window)
echo "$state" | grep -q '"label":"The program'"'"'s interface could not be loaded' || gui_fail "label: $state"
echo "$state" | grep -q '"movieVisible":false' || gui_fail "the movie is shown: $state"
echo "$state" | grep -q '"mnuOptions":{[^}]*"enabled":false' || gui_fail "Options is not greyed: $state"
echo "$state" | grep -q '"mnuHelp":{[^}]*"enabled":false' || gui_fail "Help is not greyed: $state"

gui_keys_in_dialog "Loading error" Return
sleep 1
gui_running || gui_fail "the program ended after the load error"
[ "$(grep -c 'title=Loading error' "$HOOK/events")" -eq 1 ] || gui_fail "the load error came more than once"
MAIN_WINDOW=$(gui_main_window)
[ -n "$MAIN_WINDOW" ] || gui_fail "the main window is gone"
# A click on the greyed menu opens nothing.
before=$(xdotool search --onlyvisible --pid "$GUI_PID" | wc -l)
xdotool mousemove --window "$MAIN_WINDOW" 20 10 click 1
sleep 0.5
after=$(xdotool search --onlyvisible --pid "$GUI_PID" | wc -l)
[ "$after" -eq "$before" ] || gui_fail "a greyed menu opened"
gui_pass "load error after ${elapsed_ms} ms, menus greyed, program still open"
