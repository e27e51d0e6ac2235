#!/bin/bash
# Every language file in the real window, one after the other: the program
# started in the language shows its menus and its page in it, laid out in
# its direction (mirrored for a language written right to left) with every
# text whole, asks its confirmation and gives its final report in it, with
# its own buttons, and moves the card. With GUI_LANGUAGE_SHOTS naming a
# folder, a picture of each language's window, confirmation and final
# report goes there as language-<name>.png (scripts/gui-screenshots: docs/).
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_program_copy
layout_check=$(tr '\n' ' ' <"$(dirname "$0")/../movie/layout-problems.js")
shots=${GUI_LANGUAGE_SHOTS:-$GUI_TMP/shots}
mkdir -p "$shots"

# A text of the language file, as a message box shows it on one line.
text() { sed -n "s/^$2=//p" "$APP_DIR/$1.ini" | head -n 1 | tr -d '\r' | sed 's/\\n/  /g'; }
json() { printf '"%s"' "$1"; }
el() { gui_js "document.getElementById('$1').$2"; }

# The program's window other than the main one (a box), once it is shown.
other_window() {
  local w
  for _ in $(seq 200); do
    for w in $(xdotool search --onlyvisible --pid "$GUI_PID" 2>/dev/null); do
      [ "$w" != "$MAIN_WINDOW" ] && { echo "$w"; return 0; }
    done
    sleep 0.05
  done
  gui_fail "no box came up"
}

# One picture of the window and its two boxes side by side.
picture() {
  convert "$GUI_TMP/window.png" -bordercolor white -border 6 \
    \( "$GUI_TMP/confirmation.png" "$GUI_TMP/report.png" -bordercolor white -border 6 -background white -append \) \
    -background white -gravity north +append "$1"
}

languages=0
for file in "$APP_DIR"/*.ini; do
  name=$(basename "$file" .ini)
  GUI_FAILURE_SHOT="$shots/failed-$name.png"
  gui_private_home
  card="$GUI_TMP/card-$name" target="$GUI_TMP/pictures-$name"
  gui_make_card "$card" 3
  mkdir -p "$target"
  gui_settings "Language=$name" "Source=$card" "Target=$target" "AutoRename=True" "Subfolder=False"
  gui_launch
  gui_wait_shown 20

  # The window: its menus in the language, its own item checked, its direction.
  direction=$(text "$name" Direction)
  state=$(gui_js window)
  for expected in "\"mnuOptions\":{\"caption\":$(json "$(text "$name" mnuOptions)")" \
      "\"mnuAbout\":{\"caption\":$(json "$(text "$name" mnuAbout)")" \
      "{\"caption\":$(json "$(text "$name" Name)"),\"checked\":true" "\"direction\":\"$direction\""; do
    echo "$state" | grep -qF "$expected" || gui_fail "$name: $expected is not in $state"
  done
  # The page: its captions, language and direction, every text whole.
  [ "$(el cmdMove textContent)" = "$(json "$(text "$name" cmdMove)")" ] || gui_fail "$name: the page's Move is $(el cmdMove textContent)"
  [ "$(gui_js "document.documentElement.dir")" = "\"$direction\"" ] || gui_fail "$name: the page is not laid out $direction"
  problems=$(gui_js "($layout_check)(true)")
  [ "$problems" = '""' ] || gui_fail "$name: texts do not fit: $problems"
  mirrored=$(gui_js "document.getElementById('lblSource').getBoundingClientRect().left > document.getElementById('cmbSource').getBoundingClientRect().left")
  [ "$mirrored" = "$([ "$direction" = rtl ] && echo true || echo false)" ] || gui_fail "$name: the page is not mirrored as $direction asks"

  # The confirmation, with the language's buttons.
  gui_click cmdMove
  gui_wait_box "title=$(text "$name" files_moving) text=.* buttons=$(text "$name" button_ok)|$(text "$name" button_cancel)\$"
  box=$(other_window)
  sleep 0.3
  import -window "$box" "$GUI_TMP/confirmation.png"
  xdotool windowfocus --sync "$box" key Return
  # The final report, and the pictures where they belong.
  gui_wait_box "text=$(text "$name" files_moved) buttons=$(text "$name" button_ok)\$" 60
  [ "$(gui_count_pictures "$target")" -eq 3 ] || gui_fail "$name: $(gui_count_pictures "$target") of 3 pictures were moved"
  problems=$(gui_js "($layout_check)(true)")
  [ "$problems" = '""' ] || gui_fail "$name: after the move, texts do not fit: $problems"
  box=$(other_window)
  sleep 0.3
  import -window "$box" "$GUI_TMP/report.png"
  xdotool windowfocus --sync "$box" key Return
  sleep 0.3
  import -window "$MAIN_WINDOW" "$GUI_TMP/window.png"
  picture "$shots/language-${name,,}.png"
  kill "$GUI_PID"
  wait "$GUI_PID" 2>/dev/null || true
  languages=$((languages + 1))
done
[ "$languages" -ge 13 ] || gui_fail "only $languages language files"
gui_pass "$languages languages shown, confirmed and moved in"
