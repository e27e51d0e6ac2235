# A target volume too small for the card's pictures is refused before
# anything moves: the "not enough space" box, Retry reads the free space
# again, Cancel stops, and every picture stays on the card.
source "$(dirname "$0")/lib/common.sh"
qf_need_root
qf_private_home

card=$QF_WORK/card
target=$QF_WORK/small
mkdir -p "$card"
qf_mount_tmpfs "$target" 1M
for n in 1 2 3; do qf_write_picture "$card/DCIM/100TEST/IMG_000$n.JPG" 1048576; done
before=$(qf_fingerprint "$card")

qf_settings Automoving True AutoRename False Subfolder False Target "$target"
cat >"$QF_WORK/transcript" <<SCRIPT
$QF_LOAD_SETTINGS
answer Retry
answer Cancel
wait 100
SCRIPT
qf_run "$QF_WORK/transcript" "$card"

caption=$(qf_dialog no_space_caption)
qf_expect_box "box warning RetryCancel title=$caption text="
[[ $(grep -c "^box warning RetryCancel title=$caption " "$QF_LOG") -eq 2 ]] ||
  qf_fail "Retry did not show the box again"
qf_expect_box "-> Cancel"
if grep -q "title=$(qf_dialog files_moving)" "$QF_LOG"; then qf_fail "the move was offered despite the lack of space"; fi
[[ "$(qf_fingerprint "$card")" == "$before" ]] || qf_fail "the card changed"
[[ -z "$(ls -A "$target")" ]] || qf_fail "the small volume is not empty: $(ls -A "$target")"
echo "PASS: no_space shown twice, nothing moved"
