#!/bin/bash
# The source folder chosen with the movie's Browse button: the folder picker
# comes up titled in the program's language, a folder whose name holds a space
# is typed into its location entry and taken, the source box shows it and the
# settings keep it. Opened again and closed with Escape, nothing changes; opened
# once more, it starts in the current source folder.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
mkdir -p "$GUI_TMP/card one/DCIM" "$GUI_TMP/target" "$GUI_TMP/Holiday pictures"
gui_settings "Source=$GUI_TMP/card one" "Target=$GUI_TMP/target" "Language=English"
title=$(sed -n 's/^browse_source_dialog=//p' "$APP_DIR/English.ini" | tr -d '\r')
[ -n "$title" ] || gui_fail "English.ini has no browse_source_dialog text"
chosen="$GUI_TMP/Holiday pictures"

source_box() { gui_js "document.getElementById('cmbSource').value"; }
stored_source() { sed -n 's/^Source=//p' "$SETTINGS_FILE" | tr -d '\r'; }

gui_launch
gui_wait_shown 20
# The stored settings reach the movie once it has asked for them.
for _ in $(seq 100); do
  [ "$(source_box)" = "\"$GUI_TMP/card one\"" ] && break
  sleep 0.05
done
[ "$(source_box)" = "\"$GUI_TMP/card one\"" ] || gui_fail "the source box does not show the stored source: $(source_box)"

xdotool windowfocus --sync "$MAIN_WINDOW"
gui_click cmdBrowseSource
picker=$(gui_dialog "$title")
# Ctrl+L opens the location entry; the typed folder is taken with Enter.
xdotool windowfocus --sync "$picker" key --delay 100 ctrl+l
xdotool type --delay 20 "$chosen"
sleep 0.3
xdotool windowfocus --sync "$picker" key Return
for _ in $(seq 100); do
  [ "$(source_box)" = "\"$chosen\"" ] && break
  sleep 0.05
done
[ "$(source_box)" = "\"$chosen\"" ] || gui_fail "the source box shows $(source_box), not the chosen folder"
for _ in $(seq 100); do
  [ "$(stored_source)" = "$chosen" ] && break
  sleep 0.05
done
[ "$(stored_source)" = "$chosen" ] || gui_fail "the chosen folder was not stored: $(cat "$SETTINGS_FILE")"
for _ in $(seq 100); do
  [ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null)" ] && break
  sleep 0.05
done
[ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null)" ] || gui_fail "the picker stayed open"

# Opened again and left with Escape: the source stays as it was.
xdotool windowfocus --sync "$MAIN_WINDOW"
gui_click cmdBrowseSource
picker=$(gui_dialog "$title")
sleep 0.3
xdotool windowfocus --sync "$picker" key Escape
for _ in $(seq 100); do
  [ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null)" ] && break
  sleep 0.05
done
[ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null)" ] || gui_fail "Escape did not close the picker"
sleep 0.5
[ "$(source_box)" = "\"$chosen\"" ] || gui_fail "after Escape the source box shows $(source_box)"
[ "$(stored_source)" = "$chosen" ] || gui_fail "after Escape the stored source is $(stored_source)"
[ "$(gui_js "document.getElementById('cmdBrowseSource').disabled")" = false ] ||
  gui_fail "the Browse button stayed locked after Escape"

# Opened once more, the picker starts in the current source folder: taken at
# once with its Select button (Alt+S), it answers with that folder, which is
# stored again (the stored line was taken out to see it come back).
sed -i '/^Source=/d' "$SETTINGS_FILE"
xdotool windowfocus --sync "$MAIN_WINDOW"
gui_click cmdBrowseSource
picker=$(gui_dialog "$title")
sleep 0.3
xdotool windowfocus --sync "$picker" key alt+s
for _ in $(seq 100); do
  [ "$(stored_source)" = "$chosen" ] && break
  sleep 0.05
done
[ "$(stored_source)" = "$chosen" ] ||
  gui_fail "the picker did not start in the current source folder: stored '$(stored_source)'"
[ "$(source_box)" = "\"$chosen\"" ] || gui_fail "after Select the source box shows $(source_box)"
gui_running || gui_fail "the program ended"
gui_pass "the folder picker took a typed folder and left the source alone on Escape"
