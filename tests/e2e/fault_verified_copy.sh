# Copies that must not count: a target that stores other bytes than it was
# given (faultfs corrupts the second picture's copy), and a picture that
# another program appends to while its copy is made (the move is held at the
# copy's flush, the picture grows, the move goes on). Each time the box names
# the picture and says what happened, the card keeps the picture whole, no
# copy of it stays in the target, and the next move completes.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
qf_private_home

card=$QF_WORK/card
vol=$QF_WORK/vol
target=$vol/Pictures
qf_mount_tmpfs "$card" 64M
for i in 1 2 3; do qf_write_picture "$card/DCIM/100TEST/IMG_$i.JPG" $((i * 300000)); done
qf_settings Automoving True AutoRename False Subfolder False Target "$target"
cat >"$QF_WORK/transcript" <<SCRIPT
$QF_LOAD_SETTINGS
# the confirmation; Cancel at the picture that cannot be moved
answer OK
answer Cancel
wait 100
SCRIPT
ffs_mount "$vol" "$QF_WORK/image"
mkdir "$target"

# A copy that reads back other than it was written.
expected=$(qf_checksums "$card")
ffs_ctl corrupt nth 2 >/dev/null
qf_run "$QF_WORK/transcript" "$card"
qf_expect_box "$card/DCIM/100TEST/IMG_2.JPG\\r\\n\\r\\nReason: $(qf_dialog copy_differs)"
[[ $(find "$target" -type f | sed 's|.*/||') == IMG_1.JPG ]] || qf_fail "the target holds more than the good copy: $(ls -a "$target")"
[[ $(sort <(qf_checksums "$card") <(qf_checksums "$target")) == "$expected" ]] || qf_fail "a picture was lost or damaged"
ffs_ctl corrupt off >/dev/null

# A picture that grows after it was read, before the card's copy goes.
ffs_ctl stop fsync 1 >/dev/null
"$QF_SCRIPT" "$QF_WORK/transcript" "$card" >"$QF_LOG" 2>"$QF_WORK/stderr" &
host=$!
for _ in $(seq 600); do [[ $(ps -o stat= -p "$host" 2>/dev/null) == T* ]] && break; sleep 0.05; done
[[ $(ps -o stat= -p "$host") == T* ]] || qf_fail "the move never reached the copy's flush"
printf 'written after the copy was read' >>"$card/DCIM/100TEST/IMG_2.JPG"
grown=$(sha256sum <"$card/DCIM/100TEST/IMG_2.JPG" | cut -c1-64)
kill -CONT "$host"
wait "$host" || qf_fail "the host failed: $(cat "$QF_WORK/stderr")"
qf_expect_box "$card/DCIM/100TEST/IMG_2.JPG\\r\\n\\r\\nReason: $(qf_dialog source_changed)"
[[ $(sha256sum <"$card/DCIM/100TEST/IMG_2.JPG" | cut -c1-64) == "$grown" ]] || qf_fail "the grown picture is not whole on the card"
[[ ! -e $target/IMG_2.JPG ]] || qf_fail "the copy of the grown picture stayed in the target"

# Nothing in the way: the rest moves.
qf_run "$QF_AUTOMOVE" "$card"
[[ $(find "$target" -type f | wc -l) == 3 && -z $(find "$card" -type f) ]] || qf_fail "the last move did not complete"
[[ -z $(find "$target" -name '.*') ]] || qf_fail "a temporary copy was left"
ffs_unmount
echo "PASS: a corrupted copy and a picture changed during its copy both stayed on the card"
