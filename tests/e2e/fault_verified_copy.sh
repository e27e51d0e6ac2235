# Copies that must not count: a place that stores other bytes than it was
# given (faultfs corrupts the second picture's copy), and a picture that
# another program appends to while its copy is made (the move is held at the
# first copy's flush, the picture grows, the move goes on). faultfs is the
# target (without a backup and with one on a tmpfs), or the backup beside a
# target on a tmpfs. Each time the box names the picture, the place and what
# happened; the card keeps the picture whole, no copy of it stays in either
# place, the other pictures moved with it arrive in both, and the next move
# completes.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
qf_private_home

card=$QF_WORK/card
QF_BESIDE=$QF_WORK/beside
qf_mount_tmpfs "$card" 64M
qf_mount_tmpfs "$QF_BESIDE" 64M
cat >"$QF_WORK/transcript" <<SCRIPT
$QF_LOAD_SETTINGS
# the confirmation; Cancel at the picture that cannot be moved
answer OK
answer Cancel
wait 100
SCRIPT

# "place on faultfs, its box, the other place (none: -)".
setups=("target move_failed -" "target target_failed backup" "backup backup_failed target")
for setup in "${setups[@]}"; do
  read -r faulty key beside <<<"$setup"
  find "$card" -mindepth 1 -delete
  for i in 1 2 3; do qf_write_picture "$card/DCIM/100TEST/IMG_$i.JPG" $((i * 300000)); done
  rm -f "$QF_WORK/image"
  ffs_places "$faulty" "$beside" "$QF_WORK/image" AutoRename False Subfolder False
  places=("${at[@]}")
  second=$card/DCIM/100TEST/IMG_2.JPG

  # A copy that reads back other than it was written.
  expected=$(qf_checksums "$card")
  ffs_ctl corrupt nth 2 >/dev/null
  qf_run "$QF_WORK/transcript" "$card"
  qf_expect_box "text=$(qf_dialog_filled "$key" "$second" "$(qf_dialog copy_differs)" "${at[$faulty]}")"
  for place in "${places[@]}"; do
    [[ $(find "$place" -type f | sed 's|.*/||' | sort | tr '\n' ' ') == "IMG_1.JPG IMG_3.JPG " ]] ||
      qf_fail "$setup: $place holds other than the good copies: $(ls -a "$place")"
    [[ $(sort <(qf_checksums "$card") <(qf_checksums "$place")) == "$expected" ]] || qf_fail "$setup: a picture was lost or damaged"
  done
  ffs_ctl corrupt off >/dev/null

  # A picture that grows after it was read, before the card's copy goes.
  ffs_ctl stop fsync 1 >/dev/null
  "$QF_SCRIPT" "$QF_WORK/transcript" "$card" >"$QF_LOG" 2>"$QF_WORK/stderr" &
  host=$!
  for _ in $(seq 600); do [[ $(ps -o stat= -p "$host" 2>/dev/null) == T* ]] && break; sleep 0.05; done
  [[ $(ps -o stat= -p "$host") == T* ]] || qf_fail "$setup: the move never reached the copy's flush"
  printf 'written after the copy was read' >>"$second"
  grown=$(sha256sum <"$second" | cut -c1-64)
  kill -CONT "$host"
  wait "$host" || qf_fail "$setup: the host failed: $(cat "$QF_WORK/stderr")"
  qf_expect_box "text=$(qf_dialog_filled move_failed "$second" "$(qf_dialog source_changed)")"
  [[ $(sha256sum <"$second" | cut -c1-64) == "$grown" ]] || qf_fail "$setup: the grown picture is not whole on the card"
  for place in "${places[@]}"; do
    [[ ! -e $place/IMG_2.JPG ]] || qf_fail "$setup: the copy of the grown picture stayed in $place"
  done

  # Nothing in the way: the rest moves.
  qf_run "$QF_AUTOMOVE" "$card"
  [[ -z $(find "$card" -type f) ]] || qf_fail "$setup: the last move did not complete"
  for place in "${places[@]}"; do
    [[ $(find "$place" -type f | wc -l) == 3 ]] || qf_fail "$setup: the last move did not complete in $place"
    [[ -z $(find "$place" -name '.*') ]] || qf_fail "$setup: a temporary copy was left in $place"
  done
  ffs_unmount
  echo "$setup: a corrupted copy and a picture changed during its copy both stayed on the card"
done
echo "PASS: corrupted copies in the target or the backup and a picture changed during its copy stayed on the card"
