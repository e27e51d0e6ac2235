#!/bin/bash
# Texts reach the movie as data: a folder name holding quotes, "</script>",
# a backslash and U+2028 is shown exactly in the source box and runs nothing.
# The view stays on the movie: other pages, new windows and messages that
# are not texts are refused.
source "$(dirname "$0")/gui_common.bash" "$1"
gui_start_x
gui_private_home
gui_program_copy
name="it's \"odd\" </script><script>window.hacked=1</script> back\\slash "$'\u2028'"line"
[ "$(printf '%s' "$name" | grep -c $'\u2028')" -eq 1 ] || gui_fail "the test name lacks U+2028"
mkdir -p "$GUI_TMP/$name"
gui_settings "Target=$GUI_TMP" "Source=$GUI_TMP/$name"

gui_launch
gui_wait_shown 20
expected=$(python3 -c 'import json,sys; print(json.dumps(sys.argv[1], ensure_ascii=False))' "$GUI_TMP/$name")
shown=$(gui_js "document.getElementById('cmbSource').value")
# Compared as decoded texts: the page may escape U+2028 in its JSON.
python3 -c 'import json,sys; sys.exit(json.loads(sys.argv[1]) != json.loads(sys.argv[2]))' "$shown" "$expected" ||
  gui_fail "the source box shows $shown, expected $expected"
[ "$(gui_js "typeof window.hacked")" = '"undefined"' ] || gui_fail "a folder name ran as script"

movie=$(gui_js "location.href")
case "$movie" in *"/Flex/bin/Quillfen.html\"") ;; *) gui_fail "the view shows $movie" ;; esac
gui_js "location.href = 'file:///etc/hostname'" >/dev/null
gui_js "window.open('file:///etc/hostname') === null" >/dev/null
sleep 1
[ "$(gui_js "location.href")" = "$movie" ] || gui_fail "the view left the movie: $(gui_js "location.href")"
[ "$(xdotool search --onlyvisible --pid "$GUI_PID" | wc -l)" -eq 1 ] || gui_fail "a second window opened"

# The handler takes texts only; anything else is refused, and answered.
gui_js "window.answer = null; window.webkit.messageHandlers.quillfen.postMessage({name: 'x'}).then(() => { window.answer = 'answered'; }, () => { window.answer = 'refused'; }); 0" >/dev/null
for _ in $(seq 50); do
  [ "$(gui_js "window.answer")" != null ] && break
  sleep 0.05
done
[ "$(gui_js "window.answer")" = '"refused"' ] || gui_fail "a message that is no text was not refused: $(gui_js "window.answer")"
# A request the program leaves unanswered ("exit") still settles, with null.
gui_js "window.answer = undefined; window.webkit.messageHandlers.quillfen.postMessage('<invoke name=\"exit\" returntype=\"xml\"><arguments/></invoke>').then((v) => { window.answer = v; }); 0" >/dev/null
for _ in $(seq 50); do
  [ "$(gui_js "window.answer === undefined")" = false ] && break
  sleep 0.05
done
[ "$(gui_js "window.answer === null")" = true ] || gui_fail "the exit request did not settle with null"
gui_running || gui_fail "the program ended"
gui_pass "hostile folder name shown intact; navigation, new windows and non-text messages refused"
