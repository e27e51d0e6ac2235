# Moves that fail half-way never lose a picture: a read-only target and a
# target volume that fills up during the move. The box names the picture and
# the reason; every picture is afterwards either still on the card or complete
# in the target, and no partial copy is left.
source "$(dirname "$0")/lib/common.sh"
qf_need_root
qf_private_home

card=$QF_WORK/card
mkdir -p "$card"

# qf_check_nothing_lost BEFORE TARGET: every picture exactly once, unchanged.
qf_check_nothing_lost() {
  local now
  now=$(qf_fingerprint "$card/DCIM" "$2")
  [[ "$now" == "$1" ]] || {
    diff <(echo "$1") <(echo "$now") >&2 || true
    qf_fail "pictures were lost, changed or doubled"
  }
  if find "$2" -name '.quillfen-*' | grep -q .; then qf_fail "a partial copy was left in $2"; fi
}

cat >"$QF_WORK/transcript" <<SCRIPT
$QF_LOAD_SETTINGS
# the confirmation; then the failure: Retry once, then Cancel
answer OK
answer Retry
answer Cancel
wait 100
SCRIPT

# 1. A read-only target: the first picture fails, and fails again on Retry.
readonly_target=$QF_WORK/readonly
qf_mount_tmpfs "$readonly_target" 8M
for n in 1 2 3; do qf_write_picture "$card/DCIM/100TEST/IMG_000$n.JPG" 300000 "2021-02-03 04:05:06"; done
before=$(qf_fingerprint "$card/DCIM")
qf_remount_readonly "$readonly_target"
qf_settings Automoving True AutoRename False Subfolder False Target "$readonly_target"
qf_run "$QF_WORK/transcript" "$card"

first=$card/DCIM/100TEST/IMG_0001.JPG
[[ $(grep -c "^box warning RetryCancel .*$first.*Read-only file system" "$QF_LOG") -eq 2 ]] ||
  qf_fail "the box did not name $first and the reason twice"
if grep -q "title=.* text=$(qf_dialog files_moved)" "$QF_LOG"; then qf_fail "the failed move was reported as done"; fi
qf_check_nothing_lost "$before" "$readonly_target"
echo "PASS: read-only target, every picture kept"

# 2. A target too small for the pictures' allocation: small pictures would
# fit by their bytes, but each takes a whole page of the volume. The move
# is refused before anything moves.
rm -rf "$card/DCIM"
small_target=$QF_WORK/small
qf_mount_tmpfs "$small_target" 1M
for folder in 100TEST 101TEST; do
  for n in $(seq 1 150); do qf_write_picture "$card/DCIM/$folder/P${folder:0:3}_$(printf %04d $n).JPG" 3000; done
done
before=$(qf_fingerprint "$card/DCIM")
qf_settings Automoving True AutoRename False Subfolder False Target "$small_target"
qf_run "$QF_WORK/transcript" "$card"
grep -q "^box warning RetryCancel title=$(qf_dialog no_space_caption) " "$QF_LOG" ||
  qf_fail "the move was not refused for want of room"
qf_check_nothing_lost "$before" "$small_target"
[[ -z $(find "$small_target" -type f) ]] || qf_fail "pictures were moved into a target without room"
echo "PASS: a target without room for the pictures' pages is refused before anything moves"

# 3. A target that fills up mid-move: it has room for every picture's pages
# but for only a few files (its inodes run out), as when another program
# fills it meanwhile.
full_target=$QF_WORK/full
mkdir -p "$full_target"
mount -t tmpfs -o size=8M,nr_inodes=40,mode=0755 quillfen-test "$full_target" 2>/dev/null ||
  qf_skip "this machine refuses tmpfs mounts"
_qf_mounts+=("$full_target")
qf_settings Automoving True AutoRename False Subfolder False Target "$full_target"
qf_run "$QF_WORK/transcript" "$card"

failure=$(grep -m1 "^box warning RetryCancel .*No space left on device" "$QF_LOG") ||
  qf_fail "no box told of the full volume"
named=$(grep -o "$card/DCIM/[0-9A-Z]*/P[0-9]*_[0-9]*\.JPG" <<<"$failure" | head -1)
[[ -n $named && -f $named ]] || qf_fail "the box did not name a picture still on the card: $failure"
qf_check_nothing_lost "$before" "$full_target"
moved=$(find "$full_target" -type f | wc -l)
((moved > 0 && moved < 300)) || qf_fail "expected the volume to fill part way, $moved pictures moved"
echo "PASS: full target after $moved pictures, every picture kept, $named still on the card"
