# A move from a camera card (tmpfs) onto faultfs loses power at points
# chosen among the changes faultfs counted in a whole move. After each cut,
# with the places' durable state mounted again as after a reboot (strict
# model: tests/faultfs/Store.h): every picture is there, complete and byte
# for byte with its time, on the card or in the target, and with a backup in
# the backup as well (on the card too only the pictures in hand: across
# volumes a batch); nothing under a picture's name in
# either place is less than a whole picture; and a second move completes,
# every picture in each place and no temporary copy left. Three set-ups:
# names kept, numbered, numbered into a new day folder; and each of them
# with a backup, target and backup each on a faultfs volume of its own,
# both losing power at once at a point chosen among the changes of both.
# QUILLFEN_POWER_CUTS (default 200, about two minutes) and
# QUILLFEN_BACKUP_POWER_CUTS (default 20; 200 or more for the whole
# campaign, about three minutes) and QF_SEED choose the number of cuts and
# the points; failing cuts are listed at the end as "set-up point", the form
# of the regression cases below. QF_CUT_POINTS="numbered 40,kept 7" runs
# just those cuts. A point is a change counted over the target's changes and
# then the backup's, or PLACE:OPERATION:N, right after the Nth such operation
# in that place: every run cuts right after each place's first folder
# flushes, where a batch has arrived in one place and may not have in the
# other, and is still on the card.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
qf_private_home

cuts=${QUILLFEN_POWER_CUTS:-200}
backup_cuts=${QUILLFEN_BACKUP_POWER_CUTS:-20}
seed=${QF_SEED:-$RANDOM}
echo "move cuts: $cuts, with a backup: $backup_cuts, seed: $seed" \
  "(QF_SEED=$seed QUILLFEN_POWER_CUTS=$cuts QUILLFEN_BACKUP_POWER_CUTS=$backup_cuts repeats them)"

# Cuts that failed once ("set-up point", the point counted in changes):
# every run tries them first. The day folder that a move makes is never
# flushed into the target folder (only the day folder itself is, after each
# picture), so after a cut it is gone with every picture the move had
# already removed from the card. The full campaign (seed 20261207) lost
# pictures at every such cut from 7 on: 7 is the first change after the
# first removal, 166 the last change.
regressions=(
  "dayfolder 7"
  "dayfolder 166"
  # Cuts between a picture's arrival and its removal from the card: the one
  # picture in hand is in both places.
  "kept 5"
  "numbered 5"
)
for setup in kept numbered dayfolder; do
  for k in 1 2 3; do regressions+=("$setup target:fsyncdir:$k"); done
done

# Per set-up: numbered, day folders, a backup.
declare -A options=([kept]="False False no" [numbered]="True False no" [dayfolder]="True True no"
  [kept+backup]="False False yes" [numbered+backup]="True False yes" [dayfolder+backup]="True True yes")
setups=(kept numbered dayfolder)
backup_setups=(kept+backup numbered+backup dayfolder+backup)

card=$QF_WORK/card
vol=$QF_WORK/vol
target=$vol/Pictures
bvol=$QF_WORK/bvol
backup=$bvol/Backup
qf_mount_tmpfs "$card" 64M

# The card: pictures of many sizes (empty, around block and write-size
# edges) in two camera folders, one in lower case, and a file that is no
# picture; and a third folder of two larger pictures, more than the first
# batch takes (8 MiB), so that the move takes two batches and cuts in the
# second find the first one's pictures gone from the card.
master=$QF_WORK/master
# Always the same sizes and times, so that a point names the same moment of
# the move in every run (the bytes themselves are random).
RANDOM=4242
sizes=(0 1 4096 65535 65536 65537 131072 200000 7 30000 90000 150001)
for i in "${!sizes[@]}"; do
  qf_write_picture "$master/DCIM/100TEST/IMG_$(printf %04d "$i").JPG" "${sizes[i]}" "2023-06-0$((i % 9 + 1)) 10:11:12.$RANDOM"
  qf_write_picture "$master/DCIM/101TEST/DSC_$(printf %04d "$i").JPG" $((RANDOM * 4)) "2022-01-01 00:00:0$((i % 10))"
done
for i in 0 1; do qf_write_picture "$master/DCIM/102TEST/LARGE_$i.JPG" $((5 << 20)) "2024-02-02 02:02:02.$i"; done
qf_write_picture "$master/DCIM/101TEST/lower.jpg" 5000 "2021-05-05 05:05:05.123456789"
qf_write_picture "$master/DCIM/101TEST/NOTES.TXT" 100

# listing DIR: "checksum time name" of each file below DIR that is not hidden.
listing() {
  [[ -d $1 ]] || return 0
  join -t $'\t' <(find "$1" -type f ! -name '.*' -printf '%p\t%T@\t%f\n' | sort) \
    <(find "$1" -type f ! -name '.*' -exec sha256sum {} + | sed 's/^\([0-9a-f]*\)  \(.*\)$/\2\t\1/' | sort) |
    awk -F'\t' '{ print $4, $2, $3 }' | sort
}
pictures() { grep -i '\.jpg$' || true; }
listing "$master/DCIM" | pictures >"$QF_WORK/master.list"
count=$(wc -l <"$QF_WORK/master.list")

fresh_card() {
  find "$card" -mindepth 1 -delete
  cp -a "$master/." "$card/"
}

# Each place before any move: an empty picture folder, on the disk.
ffs_mount "$vol" "$QF_WORK/base.img"
mkdir "$target"
ffs_unmount
ffs_mount "$bvol" "$QF_WORK/bbase.img"
mkdir "$backup"
ffs_unmount

# with_backup SETUP: whether the set-up has a backup.
with_backup() { [[ ${options[$1]} == *yes ]]; }
# places SETUP: the folders the set-up moves into.
places() { if with_backup "$1"; then echo "$target $backup"; else echo "$target"; fi; }

# mount_places SETUP: the places of the set-up mounted from their images
# (the target the current volume).
mount_places() {
  if with_backup "$1"; then ffs_mount "$bvol" "$QF_WORK/brun.img"; fi
  ffs_mount "$vol" "$QF_WORK/run.img"
}

# start SETUP: a full card and the empty places mounted, the settings of SETUP.
start() {
  local rename subfolder
  read -r rename subfolder _ <<<"${options[$1]}"
  fresh_card
  cp "$QF_WORK/base.img" "$QF_WORK/run.img"
  cp "$QF_WORK/bbase.img" "$QF_WORK/brun.img"
  mount_places "$1"
  if with_backup "$1"; then
    qf_settings Automoving True AutoRename "$rename" Subfolder "$subfolder" Target "$target" BackupTarget "$backup"
  else
    qf_settings Automoving True AutoRename "$rename" Subfolder "$subfolder" Target "$target"
  fi
}

# How many changes a whole move makes in each set-up, in the target and in
# the backup: the range of the cuts.
declare -A changes target_changes
for setup in "${setups[@]}" "${backup_setups[@]}"; do
  start "$setup"
  for dir in $(ffs_volumes); do ffs_use "$dir" && ffs_ctl reset >/dev/null; done
  qf_run "$QF_AUTOMOVE" "$card"
  ffs_use "$vol"
  target_changes[$setup]=$(ffs_count change)
  changes[$setup]=${target_changes[$setup]}
  if with_backup "$setup"; then
    ffs_use "$bvol"
    changes[$setup]=$((changes[$setup] + $(ffs_count change)))
  fi
  for place in $(places "$setup"); do
    [[ $(listing "$place" | cut -d' ' -f1 | sort) == $(cut -d' ' -f1 "$QF_WORK/master.list" | sort) ]] ||
      qf_fail "$setup: a whole move, without a cut, did not arrive intact in $place"
  done
  ffs_unmount_all
  echo "$setup: a whole move of $count pictures makes ${changes[$setup]} changes"
done

# in_both: how many pictures are both on the card and in the target.
in_both() {
  comm -12 <(listing "$card/DCIM" | pictures | cut -d' ' -f1 | sort -u) <(listing "$target" | cut -d' ' -f1 | sort -u) | wc -l
}

# whole_pictures SETUP PLACE: what is wrong with the pictures under their
# names in the rebooted place, if anything: each name holds that whole
# picture with its time; with numbering any picture's, numbered without a gap.
whole_pictures() {
  local in_place fields=1,2,3 strange
  in_place=$(listing "$2")
  [[ $1 == kept* ]] || fields=1,2
  strange=$(comm -23 <(echo "$in_place" | sed '/^$/d' | cut -d' ' -f$fields | sort) \
    <(cut -d' ' -f$fields "$QF_WORK/master.list" | sort) | head -1)
  [[ -z $strange ]] || { echo "$2 holds no whole picture with its time (and kept name) under: $strange"; return; }
  local hidden
  hidden=$(find "$2" -name '.*' ! -name '.quillfen-*.partial-*' | head -3)
  [[ -z $hidden ]] || { echo "unexpected hidden entries in $2: $hidden"; return; }
  if [[ $1 != kept* && -n $in_place ]]; then
    local numbers last
    numbers=$(echo "$in_place" | sed '/^$/d' | wc -l)
    last=$(echo "$in_place" | awk 'NF { print $3 }' | sort | tail -1)
    ((10#${last%.JPG} == numbers)) || { echo "$numbers pictures in $2 numbered up to $last"; return; }
  fi
}

# after_cut SETUP: what is wrong with the card and the rebooted places, if anything.
after_cut() {
  local on_card place problem kept changed
  on_card=$(listing "$card/DCIM" | pictures)
  for place in $(places "$1"); do
    problem=$(whole_pictures "$1" "$place")
    [[ -z $problem ]] || { echo "$problem"; return; }
  done
  changed=$(comm -23 <(echo "$on_card" | sed '/^$/d') "$QF_WORK/master.list" | head -1)
  [[ -z $changed ]] || { echo "the card holds a changed picture: $changed"; return; }
  # A picture gone from the card is in every place.
  for place in $(places "$1"); do
    kept=$(comm -23 <(cut -d' ' -f1 "$QF_WORK/master.list" | sort -u) \
      <(printf '%s\n%s\n' "$on_card" "$(listing "$place")" | cut -d' ' -f1 | sed '/^$/d' | sort -u) | wc -l)
    ((kept == 0)) || { echo "$kept pictures neither on the card nor in $place"; return; }
  done
}

# clear_clashes SETUP: with names kept, the pictures in hand at the cut clash
# with their own whole copies: the program refuses, and the user removes the
# card's picture where every place has it, else the copies.
clear_clashes() {
  local sum name place everywhere
  while read -r sum _ name; do
    [[ -n $sum ]] || continue
    everywhere=yes
    for place in $(places "$1"); do
      [[ -e $place/$name ]] || everywhere=no
    done
    if [[ $everywhere == yes ]]; then
      find "$card/DCIM" -name "$name" -delete
      continue
    fi
    for place in $(places "$1"); do rm -f "$place/$name"; done
  done <<<"$(listing "$card/DCIM" | pictures)"
}

# second_move SETUP: the next move after the reboot completes, if not, why.
second_move() {
  local left status=0 place
  [[ $1 != kept* ]] || clear_clashes "$1"
  left=$(listing "$card/DCIM" | pictures | sed '/^$/d' | wc -l)
  "$QF_SCRIPT" "$QF_AUTOMOVE" "$card" >"$QF_LOG" 2>"$QF_WORK/stderr" || status=$?
  ((status == 0)) || { echo "the second move ended with $status: $(head -c 300 "$QF_WORK/stderr")"; return; }
  if ((left > 0)); then
    # The file that is no picture stays on the card, and the message says so.
    grep -qF "text=$(qf_dialog_filled files_moved_not_empty "1 other file") -> OK" "$QF_LOG" ||
      { echo "the second move did not complete"; return; }
  fi
  [[ -z $(listing "$card/DCIM" | pictures) ]] || { echo "pictures left on the card after the second move"; return; }
  local arrived
  for place in $(places "$1"); do
    arrived=$(comm -23 <(cut -d' ' -f1 "$QF_WORK/master.list" | sort -u) <(listing "$place" | cut -d' ' -f1 | sort -u) | wc -l)
    ((arrived == 0)) || { echo "$arrived pictures missing in $place after the second move"; return; }
    [[ -z $(find "$place" -name '.quillfen-*') ]] || { echo "a temporary copy is left in $place after the second move"; return; }
  done
}

RANDOM=$seed
ffs_cut_points
plain=("${points[@]}")
if [[ -z ${QF_CUT_POINTS:-} ]]; then
  regressions=()
  for setup in "${backup_setups[@]}"; do
    for k in 1 2 3; do regressions+=("$setup target:fsyncdir:$k" "$setup backup:fsyncdir:$k"); done
  done
  setups=("${backup_setups[@]}")
  cuts=$backup_cuts
  ffs_cut_points
  points=("${plain[@]}" "${points[@]}")
fi
declare -A volume_of=([target]=$vol [backup]=$bvol)

failures=()
n=0
for case in "${points[@]}"; do
  read -r setup point <<<"$case"
  n=$((n + 1))
  start "$setup"
  # The point among the target's changes, then among the backup's; or the
  # Nth operation of one kind in one place.
  if [[ $point == *:* ]]; then
    IFS=: read -r place operation k <<<"$point"
    ffs_use "${volume_of[$place]}"
    ffs_ctl cut "$operation" "$k" >/dev/null
  elif ! with_backup "$setup" || ((point <= target_changes[$setup])); then
    ffs_use "$vol"
    ffs_ctl cut change "$point" >/dev/null
  else
    ffs_use "$bvol"
    ffs_ctl cut change $((point - target_changes[$setup])) >/dev/null
  fi
  if ffs_run_until_cut "$QF_AUTOMOVE" "$card"; then cut="cut"; else cut="no cut (the move ended first)"; fi
  ffs_unmount_all
  mount_places "$setup"
  both=$(in_both)
  problem=$(after_cut "$setup")
  state="$(listing "$card/DCIM" | pictures | sed '/^$/d' | wc -l) on the card, $(listing "$target" | sed '/^$/d' | wc -l) in the target"
  with_backup "$setup" && state+=", $(listing "$backup" | sed '/^$/d' | wc -l) in the backup"
  state+=", $both in both card and target"
  [[ -n $problem ]] || problem=$(second_move "$setup")
  ffs_unmount_all
  if [[ -n $problem ]]; then
    failures+=("$setup $point")
    echo "cut $n ($setup, $point of ${changes[$setup]} changes): $cut; $state: FAILED: $problem"
  else
    echo "cut $n ($setup, $point of ${changes[$setup]} changes): $cut; $state; the second move completed"
  fi
done

ffs_end_campaign "lost or damaged pictures" "during a move, every picture whole on the card or in each place"
