#!/bin/bash
# The language switched from the menu with the keyboard: Russian to English.
# The menus, the window caption and the movie's captions take the English
# texts, the English item alone is checked, and "English" is stored.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
gui_settings "Language=Russian" "Target=$GUI_TMP"

gui_launch
gui_wait_shown 20
state=$(gui_js window)
echo "$state" | grep -q '"mnuOptions":{"caption":"Настройки","checked":false,"enabled":true}' ||
  gui_fail "not started in Russian: $state"
echo "$state" | grep -q '"mnuLang(1)":{[^}]*"checked":true' || gui_fail "Russian is not checked: $state"
[ "$(gui_js "document.getElementById('cmdMove').textContent")" = '"Переместить"' ] || gui_fail "the movie is not in Russian"

# F10 opens Options, Down selects Language, Right opens it at Russian, Down
# goes to English, Return chooses it.
xdotool windowfocus --sync "$MAIN_WINDOW" key --delay 150 F10 Down Right Down Return
for _ in $(seq 100); do
  grep -q '^Language=English' "$SETTINGS_FILE" && break
  sleep 0.05
done
grep -q '^Language=English' "$SETTINGS_FILE" || gui_fail "English was not stored: $(cat "$SETTINGS_FILE")"

state=$(gui_js window)
for expected in '"caption":"Quillfen"' '"mnuOptions":{"caption":"Options"' '"mnuLanguage":{"caption":"Language"' \
    '"mnuHelp":{"caption":"Help"' '"mnuAbout":{"caption":"About Quillfen..."' \
    '"mnuLang(1)":{"caption":"Русский","checked":false' '"mnuLang(2)":{"caption":"English","checked":true'; do
  echo "$state" | grep -qF "$expected" || gui_fail "after the switch, $expected is missing: $state"
done
[ "$(xdotool getwindowname "$MAIN_WINDOW")" = Quillfen ] || gui_fail "window caption: $(xdotool getwindowname "$MAIN_WINDOW")"
for _ in $(seq 50); do
  [ "$(gui_js "document.getElementById('cmdMove').textContent")" = '"Move"' ] && break
  sleep 0.05
done
[ "$(gui_js "document.getElementById('cmdMove').textContent")" = '"Move"' ] || gui_fail "the movie's Move button was not relabelled"
[ "$(gui_js "document.getElementById('lblSource').textContent")" = '"Pictures from:"' ] ||
  gui_fail "the movie's source label was not relabelled"
gui_pass "switched to English from the menu"
