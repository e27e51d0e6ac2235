# KDE Plasma: switched on (by the headless host), a Solid device action offers
# the desktop program for FAT and exFAT volumes (camera cards) and starts it
# with the mount point; switched off, the action is gone. The user's own
# actions beside it are never touched.
#
# Plasma's device notifier matches the actions when a card arrives, before it
# is mounted, and mounts the card when the action is chosen: in
# applets/devicenotifier, ActionsControl::updateActionsForPredicates runs
# "if (it.value().matches(device))" for the device as it is added (and again
# only when the action files change), and DelayedExecutor calls
# "access->setup()" first when "device.is<Solid::StorageAccess>() &&
# !device.as<Solid::StorageAccess>()->isAccessible()" and the action has no
# X-KDE-SkipMount. So the predicate must match a card that is not mounted.
# Where KDE Frameworks' Solid is installed, its own parser reads the action
# and matches it against cards as Solid's fake back end describes them; else
# the predicate is checked by that rule alone.
source "$(dirname "$0")/lib/common.sh"
qf_private_home
qf_program_copy "$QF_WORK/Program Files/Quillfen \$1 100%f"
program=$(dirname "$QF_SCRIPT")/quillfen
matcher=$(dirname "$QF_PROGRAM_DIR")/tests/solid-predicate-match
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
for condition in "IS StorageAccess" "StorageVolume.usage == 'FileSystem'" \
  "StorageVolume.fsType == 'vfat'" "StorageVolume.fsType == 'exfat'"; do
  [[ $predicate == *"$condition"* ]] || qf_fail "the predicate lacks $condition: $predicate"
done
[[ $predicate != *accessible* ]] || qf_fail "the predicate asks for a mounted card, which Plasma never sees: $predicate"
if [[ -x $matcher ]]; then
  # Volumes on a card reader as Solid's fake back end describes them: name,
  # mounted, ignored, usage, file system.
  {
    echo '<machine><device udi="/org/kde/solid/fakehw/reader"><property key="interfaces">StorageDrive</property></device>'
    while read -r name mounted ignored usage type; do
      printf '<device udi="/org/kde/solid/fakehw/%s"><property key="interfaces">Block,StorageVolume,StorageAccess</property>' "$name"
      printf '<property key="parent">/org/kde/solid/fakehw/reader</property><property key="isMounted">%s</property>' "$mounted"
      printf '<property key="isIgnored">%s</property><property key="usage">%s</property><property key="fsType">%s</property></device>\n' \
        "$ignored" "$usage" "$type"
    done <<'VOLUMES'
new_fat_card false false filesystem vfat
new_exfat_card false false filesystem exfat
mounted_fat_card true false filesystem vfat
usb_disk false false filesystem ext4
hidden_fat false true filesystem vfat
partition_table false false partitiontable none
VOLUMES
    echo '</machine>'
  } >"$QF_WORK/devices.xml"
  matched=$(SOLID_FAKEHW=$QF_WORK/devices.xml "$matcher" "$action" 2>/dev/null | sed 's|.*/||' | sort | tr '\n' ' ')
  [[ $matched == "mounted_fat_card new_exfat_card new_fat_card " ]] ||
    qf_fail "Solid matches the action to: $matched (expected the three cards)"
else
  echo "NOTE: KDE's Solid is not installed (libkf5solid-dev); the predicate was checked by Plasma's rule only" >&2
fi
[[ $(entry 'Desktop Action quillfen' Name) == "$(qf_dialog quillfen_action_title)" ]] ||
  qf_fail "the action is not named: $(cat "$action")"
# Plasma reads the value (a doubled backslash is one), replaces %f by the
# mount point and runs the line with a shell.
exec_line=$(entry 'Desktop Action quillfen' Exec | sed 's/\\\\/\\/g')
words=$(qf_command_words "$exec_line" %f "$card")
[[ $words == "$program"$'\n'"$card" ]] || qf_fail "Plasma would run: $words (Exec: $exec_line)"

qf_autorun false
[[ ! -e $action ]] || qf_fail "the Solid action stayed after switching Autorun off"
cmp "$QF_WORK/import-photos.before" "$actions/import-photos.desktop" || qf_fail "the user's own action changed"
echo "PASSED: the Solid action offered for cards and withdrawn, the user's own action untouched"
