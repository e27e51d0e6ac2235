# A move from a card (tmpfs) onto faultfs meets a failing target: one
# create, write, setattr, fsync, rename or fsyncdir answers EIO or ENOSPC
# (once, or from then on). Each time no picture is lost or damaged, the
# failing picture is still on the card when the move says so, no temporary
# copy is left, and the next move, on a healthy target, completes.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
qf_private_home

card=$QF_WORK/card
vol=$QF_WORK/vol
target=$vol/Pictures
qf_mount_tmpfs "$card" 64M
master=$QF_WORK/master
for i in 1 2 3 4 5 6; do qf_write_picture "$master/DCIM/100TEST/IMG_$i.JPG" $((i * 70000)) "2023-06-0$i 10:11:12.5"; done
all=$(qf_checksums "$master")

cat >"$QF_WORK/transcript" <<SCRIPT
$QF_LOAD_SETTINGS
# the confirmation; Cancel at a picture that cannot be moved; the closing message
answer OK
answer Cancel
answer OK
wait 100
SCRIPT
qf_settings Automoving True AutoRename False Subfolder False Target "$target"
failed_box="text=$(qf_dialog move_failed | sed 's/\\n.*//')"

faults=("fail create 2 EIO" "fail write 3 EIO" "fail-from write 5 ENOSPC" "fail write 5 ENOSPC"
  "fail setattr 2 EIO" "fail fsync 3 EIO" "fail rename 2 EIO" "fail fsyncdir 2 EIO" "fail-from fsyncdir 1 EIO")
for fault in "${faults[@]}"; do
  find "$card" -mindepth 1 -delete
  cp -a "$master/." "$card/"
  rm -f "$QF_WORK/image"
  ffs_mount "$vol" "$QF_WORK/image"
  mkdir "$target"
  ffs_ctl $fault >/dev/null
  qf_run "$QF_WORK/transcript" "$card"
  [[ -z $(comm -23 <(echo "$all") <(sort <(qf_checksums "$card") <(qf_checksums "$target"))) ]] || qf_fail "$fault: pictures lost or damaged"
  [[ -z $(comm -13 <(echo "$all") <(qf_checksums "$target")) ]] || qf_fail "$fault: a damaged picture in the target"
  [[ -z $(find "$target" -name '.*') ]] || qf_fail "$fault: a temporary copy was left"
  outcome="the move completed (the failure was retried)"
  if grep -qF -- "$failed_box" <(grep '^box ' "$QF_LOG"); then
    picture=$(grep -F -- "$failed_box" "$QF_LOG" | sed 's/.*\\r\\n\(\/[^\\]*\)\\r\\n.*/\1/' | head -1)
    [[ -f $picture ]] || qf_fail "$fault: the picture the move could not move is not on the card: $picture"
    outcome="the move stopped at $(basename "$picture"), still on the card"
  else
    grep -qF "text=$(qf_dialog files_moved) -> OK" "$QF_LOG" || qf_fail "$fault: neither a failure nor the end of the move"
  fi
  ffs_ctl reset >/dev/null
  qf_run "$QF_WORK/transcript" "$card"
  [[ $(qf_checksums "$target") == "$all" && -z $(qf_checksums "$card") ]] || qf_fail "$fault: the next move did not complete"
  ffs_unmount
  echo "$fault: $outcome; nothing lost; the next move completed"
done
echo "PASS: ${#faults[@]} failing targets, no picture lost"
