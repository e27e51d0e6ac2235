# The Autorun check box on a Linux desktop: switched on, the desktop entry is
# valid, hidden from the menus, and the desktop names Quillfen as the handler
# of camera cards; switched off, the desktop no longer offers it and
# mimeapps.list is as it was, byte for byte. The offer is switched by the
# headless host, yet the entry starts the desktop program beside it, and an
# entry an older build left pointing at the host is mended at the next
# start. Then the card is opened the way the desktop does it, through the
# entry's Exec line, and the pictures are moved.
source "$(dirname "$0")/lib/common.sh"
qf_private_home
command -v desktop-file-validate >/dev/null || qf_skip "desktop-file-validate is not installed"
command -v gio >/dev/null || qf_skip "gio is not installed"

# The program installed in a folder whose name needs quoting on an Exec line.
program_dir="$QF_WORK/Program Files/Quillfen \$1"
mkdir -p "$program_dir"
cp -r "$QF_PROGRAM_DIR"/. "$program_dir"/
host="$program_dir/quillfen-script"
program="$program_dir/quillfen"
# The entry names the desktop program, which a build without the GUI lacks:
# a stand-in then, for desktops ignore an entry whose program is missing.
[[ -x $program ]] || { printf '#!/bin/sh\n' >"$program" && chmod +x "$program"; }
entry=$XDG_DATA_HOME/applications/quillfen.desktop
mimeapps=$XDG_CONFIG_HOME/mimeapps.list

cat >"$mimeapps" <<'LIST'
# associations the user made before
[Default Applications]
text/plain=org.gnome.TextEditor.desktop
[Added Associations]
image/jpeg=org.gnome.eog.desktop;
LIST
cp "$mimeapps" "$QF_WORK/mimeapps.before"

# autorun VALUE: a start of the headless host in which the movie reports the
# Autorun check box with that value.
autorun() {
  qf_autorun_transcript "$1"
  "$host" "$QF_WORK/transcript" >"$QF_LOG" 2>"$QF_WORK/stderr" || qf_fail "the host failed: $(cat "$QF_WORK/stderr")"
  grep -q '^reply Ok$' "$QF_LOG" || qf_fail "Autorun=$1 was not taken"
}
# The program the entry's Exec line starts for a card, one word a line.
exec_words() { qf_command_words "$(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g')" %f /card; }
default_handler() { gio mime x-content/image-dcf 2>&1 | head -1; }

autorun true
[[ -f $entry ]] || qf_fail "no desktop entry after switching Autorun on"
desktop-file-validate "$entry" || qf_fail "desktop-file-validate refuses the entry"
grep -qx 'MimeType=x-content/image-dcf;' "$entry" || qf_fail "the entry declares no camera cards"
# Hidden from the menus, which list the package's own entry, yet the default.
grep -qx 'NoDisplay=true' "$entry" || qf_fail "the entry would list the program in the menus a second time"
[[ $(default_handler) == *": quillfen.desktop" ]] || qf_fail "gio names another default: $(default_handler)"
[[ $(exec_words) == "$program"$'\n'/card ]] || qf_fail "the entry starts $(exec_words), not the desktop program"
grep -q '^\[HKEY_CLASSES_ROOT\\Quillfen\\shell\\quillfen\\command\]$' "$XDG_CONFIG_HOME/Quillfen/registry.ini" ||
  qf_fail "the registration is not in the hive"

autorun false
[[ $(default_handler) != *quillfen.desktop* ]] || qf_fail "still offered after switching Autorun off"
cmp "$QF_WORK/mimeapps.before" "$mimeapps" || qf_fail "mimeapps.list changed beyond the association"
[[ -f $entry ]] || qf_fail "switching off removed the registration itself"

# An entry and a registration that an older build made for the host itself
# are mended by the next start, which only loads the settings.
autorun true
sed -i 's|/quillfen\("* %f\)|/quillfen-script\1|' "$entry"
sed -i 's|/quillfen\("* %1\)|/quillfen-script\1|' "$XDG_CONFIG_HOME/Quillfen/registry.ini"
[[ $(exec_words) == "$host"$'\n'/card ]] || qf_fail "the stale entry was not made: $(cat "$entry")"
printf '%s\nwait 200\n' "$QF_LOAD_SETTINGS" >"$QF_WORK/load"
"$host" "$QF_WORK/load" >"$QF_LOG" 2>&1 || qf_fail "the host failed"
[[ $(exec_words) == "$program"$'\n'/card ]] || qf_fail "a start left the entry starting $(exec_words)"

# A card arrives with Autorun on: the desktop runs the entry's Exec line with
# the card's folder. A stand-in program records the arguments it was given.
card="$QF_WORK/media/CANON EOS"
for n in 1 2 3; do qf_write_picture "$card/DCIM/100CANON/IMG_000$n.JPG" 5000; done
mv "$program" "$program.real"
cat >"$program" <<'RECORDER'
#!/bin/sh
printf '%s\n' "$#" "$@" >"$(dirname "$0")/arguments"
RECORDER
chmod +x "$program"
gio launch "$entry" "$card" || qf_fail "gio could not launch the entry"
for _ in $(seq 50); do [[ -s $program_dir/arguments ]] && break; sleep 0.1; done
mv "$program.real" "$program"
[[ $(sed -n 1p "$program_dir/arguments") == 1 ]] || qf_fail "the program got $(sed -n 1p "$program_dir/arguments") arguments"
argument=$(sed -n 2p "$program_dir/arguments")
[[ $argument == "$card" ]] || qf_fail "the program got '$argument' for the card '$card'"

# The program as started for that card, with Automoving on.
target=$QF_WORK/target
mkdir -p "$target"
qf_settings Automoving True Autorun True AutoRename False Subfolder False Target "$target"
"$host" "$QF_AUTOMOVE" "$argument" >"$QF_LOG" 2>"$QF_WORK/stderr" || qf_fail "the host failed"
qf_expect_box "text=$(qf_dialog files_moved) -> OK"
[[ $(find "$target" -name '*.JPG' | wc -l) == 3 ]] || qf_fail "the pictures did not arrive"
[[ -z $(find "$card" -name '*.JPG') ]] || qf_fail "pictures stayed on the card"
echo "PASSED: registered, offered, withdrawn, and a card opened through the desktop entry"
