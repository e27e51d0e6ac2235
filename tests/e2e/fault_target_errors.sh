# A move from a card (tmpfs) meets a failing place on faultfs: one create,
# write, setattr, fsync, rename or fsyncdir answers EIO or ENOSPC (once, or
# from then on), in the target (without a backup and with one on a tmpfs) or
# in the backup (beside a target on a tmpfs). Each time no picture is lost
# or damaged, every picture gone from the card is whole in each place, the
# failing picture is still on the card when the box names it and the place
# that failed, no temporary copy is left, and the next move, on a healthy
# place, completes.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
qf_private_home

card=$QF_WORK/card
QF_BESIDE=$QF_WORK/beside
qf_mount_tmpfs "$card" 64M
qf_mount_tmpfs "$QF_BESIDE" 64M
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

# "place on faultfs, the box that names it, the other place (none: -)".
setups=("target move_failed -" "target target_failed backup" "backup backup_failed target")
faults=("fail create 2 EIO" "fail write 3 EIO" "fail-from write 5 ENOSPC" "fail write 5 ENOSPC"
  "fail setattr 2 EIO" "fail fsync 3 EIO" "fail rename 2 EIO" "fail fsyncdir 2 EIO" "fail-from fsyncdir 1 EIO")
for setup in "${setups[@]}"; do
  read -r faulty key beside <<<"$setup"
  failed_box="text=$(qf_dialog "$key" | sed 's/\\n.*//')"
  for fault in "${faults[@]}"; do
    find "$card" -mindepth 1 -delete
    cp -a "$master/." "$card/"
    rm -f "$QF_WORK/image"
    ffs_places "$faulty" "$beside" "$QF_WORK/image" AutoRename False Subfolder False
    ffs_ctl $fault >/dev/null
    qf_run "$QF_WORK/transcript" "$card"
    on_card=$(qf_checksums "$card")
    for place in "${at[@]}"; do
      [[ -z $(comm -23 <(echo "$all") <(sort <(echo "$on_card") <(qf_checksums "$place"))) ]] ||
        qf_fail "$setup, $fault: pictures gone from the card and not whole in $place"
      [[ -z $(comm -13 <(echo "$all") <(qf_checksums "$place")) ]] || qf_fail "$setup, $fault: a damaged picture in $place"
      [[ -z $(find "$place" -name '.*') ]] || qf_fail "$setup, $fault: a temporary copy was left in $place"
    done
    outcome="the move completed (the failure was retried)"
    if grep -qF -- "$failed_box" <(grep '^box ' "$QF_LOG"); then
      picture=$(grep -F -- "$failed_box" "$QF_LOG" | sed 's/.*\\r\\n\(\/[^\\]*\)\\r\\n.*/\1/' | head -1)
      [[ -f $picture ]] || qf_fail "$setup, $fault: the picture the move could not move is not on the card: $picture"
      [[ $key == move_failed ]] || grep -F -- "$failed_box" "$QF_LOG" | grep -qF -- "${at[$faulty]}\\r\\n" ||
        qf_fail "$setup, $fault: the box does not name the place that failed, ${at[$faulty]}"
      outcome="the move stopped at $(basename "$picture"), still on the card"
    else
      grep -qF "text=$(qf_dialog files_moved) -> OK" "$QF_LOG" || qf_fail "$setup, $fault: neither a failure nor the end of the move"
    fi
    ffs_ctl reset >/dev/null
    qf_run "$QF_WORK/transcript" "$card"
    [[ -z $(qf_checksums "$card") ]] || qf_fail "$setup, $fault: the next move did not complete"
    for place in "${at[@]}"; do
      [[ $(qf_checksums "$place") == "$all" ]] || qf_fail "$setup, $fault: the next move did not complete in $place"
    done
    ffs_unmount
    echo "$setup, $fault: $outcome; nothing lost; the next move completed"
  done
done
echo "PASS: ${#faults[@]} failures in each of ${#setups[@]} places, no picture lost"
