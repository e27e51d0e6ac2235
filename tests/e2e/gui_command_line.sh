#!/bin/bash
# The command line of a GTK program: --help and --version answer on standard
# output and end the start, an unknown option is an error on standard error
# with status 2, and a folder that does not exist is said to be none, never
# stored or moved (Automoving is on). The same holds for a later start while
# the window runs: nothing of help, version or a refused line reaches the
# window, and a missing folder handed over is said to be none there.
GUI_SESSION_BUS=1
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
mkdir -p "$GUI_TMP/target"
gui_make_card "$GUI_TMP/card" 3
gui_settings "Automoving=True" "Target=$GUI_TMP/target" "Source=$GUI_TMP/card" "Language=English"
missing="$GUI_TMP/no such card"

# check_line WHEN: each kind of line, started with the window running or not.
check_line() {
  local out=$GUI_TMP/out err=$GUI_TMP/err status
  for line in "--help|0|Usage:|" "--version|0|Quillfen [0-9]+\.[0-9]+\.[0-9]+$|" "--no-such-option|2||Unknown option --no-such-option"; do
    IFS='|' read -r option expected stdout stderr <<<"$line"
    status=0
    "$APP_DIR/quillfen" "$option" >"$out" 2>"$err" || status=$?
    [ "$status" -eq "$expected" ] || gui_fail "$1: $option ended with $status: $(cat "$err")"
    [ -z "$stdout" ] || grep -Eq -- "$stdout" "$out" || gui_fail "$1: $option printed: $(cat "$out")"
    [ -n "$stdout" ] || [ ! -s "$out" ] || gui_fail "$1: $option printed on standard output: $(cat "$out")"
    [ -z "$stderr" ] || grep -q -- "$stderr" "$err" || gui_fail "$1: $option said: $(cat "$err")"
  done
}
missing_box() { gui_wait_box "text=Quillfen was asked to take pictures from  $missing  but there is no such folder" 20; }
expect_untouched() {
  grep -qxF "Source=$GUI_TMP/card" "$SETTINGS_FILE" || gui_fail "$1: the source was replaced: $(cat "$SETTINGS_FILE")"
  [ "$(gui_count_pictures "$GUI_TMP/card")" -eq 3 ] || gui_fail "$1: pictures were moved"
  [ "$(gui_js "document.getElementById('cmbSource').value")" = "\"$GUI_TMP/card\"" ] || gui_fail "$1: the window shows another source"
}

check_line "alone"
gui_launch "$missing"
gui_wait_shown 20
missing_box
gui_keys_in_dialog "Quillfen" Return
sleep 0.5
expect_untouched "the first start"

: >"$HOOK/events"
check_line "with the window running"
gui_later_start "$GUI_TMP" "$missing"
[ "$LATER_STATUS" -eq 0 ] || gui_fail "the later start ended with $LATER_STATUS"
missing_box
gui_keys_in_dialog "Quillfen" Return
sleep 0.5
[ "$(grep -c '^box' "$HOOK/events")" -eq 1 ] || gui_fail "the window showed: $(cat "$HOOK/events")"
expect_untouched "a later start"
gui_running || gui_fail "the program ended"
gui_pass "help, version, an unknown option and a missing folder, alone and with the window running"
