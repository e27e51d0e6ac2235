#!/bin/bash
# The installed program, opened for a camera card the way the desktop opens
# it: installed into a prefix whose name needs quoting, Autorun switched on
# through the headless host (the registration names the desktop program
# beside it), one plain start, then the desktop entry launched by gio with
# the card's folder for %f. The
# confirmation answered with Enter empties the card into the target, every
# picture byte for byte.
source "$(dirname "$0")/gui_common.bash" "$1"
for tool in cmake gio desktop-file-validate; do
  command -v "$tool" >/dev/null || gui_skip "$tool is not installed"
done
gui_start_x
gui_private_home

PREFIX="$GUI_TMP/Program Files"
INSTALLED="$PREFIX/lib/quillfen"
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$GUI_TMP/install.log" 2>&1 ||
  gui_fail "cmake --install failed: $(cat "$GUI_TMP/install.log")"
[ -x "$INSTALLED/quillfen" ] && [ -x "$INSTALLED/quillfen-script" ] || gui_fail "the programs were not installed"
[ "$(readlink -f "$PREFIX/bin/quillfen")" = "$(readlink -f "$INSTALLED/quillfen")" ] ||
  gui_fail "bin/quillfen does not lead to the installed program"

TARGET="$GUI_TMP/Pictures"
mkdir -p "$TARGET"
gui_settings "Automoving=True" "AutoRename=False" "Subfolder=False" "Target=$TARGET"

# Autorun switched on as the movie's check box does it, through the installed
# headless host: the registration names the desktop program beside it.
cat >"$GUI_TMP/transcript" <<'SCRIPT'
call <invoke name="LoadSettings" returntype="xml"><arguments/></invoke>
wait 100
call <invoke name="SavePreset" returntype="xml"><arguments><string>Autorun</string><string>true</string></arguments></invoke>
SCRIPT
"$INSTALLED/quillfen-script" "$GUI_TMP/transcript" >"$GUI_TMP/script.log" 2>&1 ||
  gui_fail "the headless host failed: $(cat "$GUI_TMP/script.log")"
grep -q '^reply Ok$' "$GUI_TMP/script.log" || gui_fail "Autorun was not taken: $(cat "$GUI_TMP/script.log")"
grep -qx 'Automoving=True' "$SETTINGS_FILE" || gui_fail "saving Autorun lost Automoving: $(cat "$SETTINGS_FILE")"
ENTRY="$XDG_DATA_HOME/applications/quillfen.desktop"
[ -f "$ENTRY" ] || gui_fail "no desktop entry after switching Autorun on"
exec_line() { grep -m1 '^Exec=' "$ENTRY" || true; }
[ "$(exec_line)" = "Exec=\"$INSTALLED/quillfen\" %f" ] || gui_fail "the entry does not name the desktop program: $(exec_line)"

# A plain start of the desktop program through its link in bin: with Autorun
# on, the start writes the registered paths of the program that runs.
APP_DIR="$PREFIX/bin"
gui_launch
gui_wait_shown 30
sleep 0.5
kill "$GUI_PID"
wait "$GUI_PID" 2>/dev/null || true
GUI_PID=""
if grep -E "movie failed|request of the movie failed" "$GUI_TMP/program.log" >&2; then
  gui_fail "the plain start reported faults"
fi

# The entry names the installed desktop program itself (its real file, not
# the link), quoted because of the space, with the card's folder as %f.
[ "$(exec_line)" = "Exec=\"$INSTALLED/quillfen\" %f" ] ||
  gui_fail "the entry does not start the installed program: $(exec_line)"
desktop-file-validate "$ENTRY" || gui_fail "desktop-file-validate refuses the entry: $(cat "$ENTRY")"

# A card as the desktop mounts it, with a space in its name; the originals
# are kept aside to compare the moved pictures with.
CARD="$GUI_TMP/media/EOS DIGITAL"
PICTURES=6
for n in $(seq "$PICTURES"); do
  mkdir -p "$CARD/DCIM/100TEST"
  head -c $((1000 + RANDOM % 50000)) /dev/urandom >"$CARD/DCIM/100TEST/IMG_000$n.JPG"
done
cp -r "$CARD/DCIM/100TEST" "$GUI_TMP/originals"

# The desktop starts the entry for the card: gio expands the Exec line itself.
: >"$GUI_TMP/program.log"
gio launch "$ENTRY" "$CARD" >>"$GUI_TMP/program.log" 2>&1 || gui_fail "gio could not launch the entry"

# The program gio started is found by its confirmation box, on our own display.
confirmation=""
for _ in $(seq 600); do
  confirmation=$(xdotool search --onlyvisible --name '^Moving pictures$' 2>/dev/null | head -n 1 || true)
  [ -n "$confirmation" ] && break
  sleep 0.05
done
[ -n "$confirmation" ] || gui_fail "no confirmation box within 30s after the desktop started the entry"
GUI_PID=$(xdotool getwindowpid "$confirmation")
[ "$(readlink -f "/proc/$GUI_PID/exe")" = "$(readlink -f "$INSTALLED/quillfen")" ] ||
  gui_fail "the entry started $(readlink "/proc/$GUI_PID/exe"), not the installed program"
mapfile -d '' arguments <"/proc/$GUI_PID/cmdline"
[ "${#arguments[@]}" -eq 2 ] && [ "${arguments[1]}" = "$CARD" ] ||
  gui_fail "the program was given ${#arguments[@]} words for the card: ${arguments[*]}"
[ "$(gui_count_pictures "$TARGET")" -eq 0 ] || gui_fail "pictures moved before the user confirmed"
# Enter answers the box with its first button, OK.
gui_keys_in_dialog "Moving pictures" Return

# The final box: a dialog titled Quillfen that is not the main window.
final=""
for _ in $(seq 1200); do
  gui_running || gui_fail "the program ended during the move"
  for w in $(xdotool search --onlyvisible --pid "$GUI_PID" --name '^Quillfen$' 2>/dev/null); do
    xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"main"' || final=$w
  done
  [ -n "$final" ] && break
  sleep 0.05
done
[ -n "$final" ] || gui_fail "no final box within 60s after the confirmation"

for original in "$GUI_TMP/originals"/*; do
  name=$(basename "$original")
  cmp -s "$original" "$TARGET/$name" || gui_fail "$name did not arrive intact in the target"
done
moved=$(gui_count_pictures "$TARGET")
[ "$moved" -eq "$PICTURES" ] || gui_fail "$moved pictures in the target, $PICTURES were on the card"
[ "$(gui_count_pictures "$CARD/DCIM")" -eq 0 ] || gui_fail "pictures stayed on the card"

xdotool windowfocus --sync "$final" key Return
gui_wait_shown 20
kill "$GUI_PID"
for _ in $(seq 100); do
  [ -d "/proc/$GUI_PID" ] && [ "$(awk '{print $3}' "/proc/$GUI_PID/stat" 2>/dev/null)" != Z ] || break
  sleep 0.05
done
# The desktop shows the entry with the program's own icon.
icon=$(grep -m1 '^Icon=' "$ENTRY" | cut -d= -f2-)
[ -f "$icon" ] || gui_fail "the entry's icon '$icon' is not installed"
gui_pass "$moved pictures moved by the installed program started through its desktop entry"
