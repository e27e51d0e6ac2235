# KDE Plasma: switched on, a Solid device action offers Quillfen for mounted
# FAT and exFAT volumes (camera cards) and starts it with the mount point;
# switched off, the action is gone. The user's own actions beside it are
# never touched.
source "$(dirname "$0")/lib/common.sh"
qf_private_home
qf_program_copy "$QF_WORK/Program Files/Quillfen \$1 100%f"
actions=$XDG_DATA_HOME/solid/actions
action=$actions/quillfen.desktop
card="$QF_WORK/media/Ann's EOS"

mkdir -p "$actions"
cat >"$actions/import-photos.desktop" <<'ACTION'
[Desktop Entry]
Type=Service
X-KDE-Solid-Predicate=[ IS StorageAccess AND StorageVolume.usage == 'FileSystem' ]
Actions=import;

[Desktop Action import]
Name=Import with digiKam
Exec=digikam --detect-camera %f
ACTION
cp "$actions/import-photos.desktop" "$QF_WORK/import-photos.before"

# entry GROUP KEY: a value of the action file.
entry() { sed -n "/^\[$1\]\$/,/^\[/ s/^$2=//p" "$action"; }

qf_autorun true
[[ -f $action ]] || qf_fail "no Solid action after switching Autorun on"
[[ $(entry 'Desktop Entry' Type) == Service ]] || qf_fail "the action is no service: $(cat "$action")"
[[ $(entry 'Desktop Entry' Actions) == "quillfen;" ]] || qf_fail "the action names no action: $(cat "$action")"
predicate=$(entry 'Desktop Entry' X-KDE-Solid-Predicate)
for condition in "StorageAccess.accessible == true" "StorageVolume.usage == 'FileSystem'" \
  "StorageVolume.fsType == 'vfat'" "StorageVolume.fsType == 'exfat'"; do
  [[ $predicate == *"$condition"* ]] || qf_fail "the predicate lacks $condition: $predicate"
done
[[ $(entry 'Desktop Action quillfen' Name) == "$(qf_dialog quillfen_action_title)" ]] ||
  qf_fail "the action is not named: $(cat "$action")"
# Plasma reads the value (a doubled backslash is one), replaces %f by the
# mount point and runs the line with a shell.
exec_line=$(entry 'Desktop Action quillfen' Exec | sed 's/\\\\/\\/g')
words=$(qf_command_words "$exec_line" %f "$card")
[[ $words == "$QF_SCRIPT"$'\n'"$card" ]] || qf_fail "Plasma would run: $words (Exec: $exec_line)"

qf_autorun false
[[ ! -e $action ]] || qf_fail "the Solid action stayed after switching Autorun off"
cmp "$QF_WORK/import-photos.before" "$actions/import-photos.desktop" || qf_fail "the user's own action changed"
echo "PASSED: the Solid action offered for cards and withdrawn, the user's own action untouched"
