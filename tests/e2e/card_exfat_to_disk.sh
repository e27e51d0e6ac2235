# A real exFAT camera card on a loop device is emptied into a folder on the
# disk: every picture arrives byte for byte with its date, the card keeps
# nothing but its DCIM folder and what is not a picture.
source "$(dirname "$0")/lib/common.sh"
qf_need_root
qf_private_home

card=$QF_WORK/card
target=$QF_WORK/disk/Pictures
mkdir -p "$target"
qf_mount_exfat_card "$card" 64

# Sizes around block and chunk edges, a few megabytes too, and an empty picture.
sizes=(0 1 4095 4096 4097 65537 1048575 1048577 3145728 7340035 250000 12)
n=1
for folder in 100TEST 101TEST; do
  for size in "${sizes[@]}"; do
    qf_write_picture "$card/DCIM/$folder/IMG_$(printf %04d $n).JPG" "$size" "2023-06-0$((n % 9 + 1)) 10:11:12"
    n=$((n + 1))
  done
done
qf_write_picture "$card/DCIM/101TEST/lower_case.jpg" 5000 "2022-01-01 00:00:00"
qf_write_picture "$card/DCIM/101TEST/NOTES.TXT" 100
qf_write_picture "$card/MISC/elsewhere.JPG" 100
before=$(qf_fingerprint "$card/DCIM" | grep -v NOTES.TXT)

qf_settings Automoving True AutoRename False Subfolder False Target "$target"
qf_run "$QF_AUTOMOVE" "$card"

qf_expect_box "title=$(qf_dialog files_moving)"
# The file that is no picture stays, and the final message says so.
qf_expect_box "text=$(qf_dialog_filled files_moved_not_empty "1 other file") -> OK"
grep -q "^open-folder $card/DCIM\$" "$QF_LOG" || qf_fail "the card's DCIM folder was not shown"

after=$(qf_fingerprint "$target")
[[ "$before" == "$after" ]] || {
  diff <(echo "$before") <(echo "$after") >&2 || true
  qf_fail "the pictures on the disk differ from those on the card"
}
left=$(cd "$card" && find . | sort | tr '\n' ' ')
[[ $left == ". ./DCIM ./DCIM/101TEST ./DCIM/101TEST/NOTES.TXT ./MISC ./MISC/elsewhere.JPG " ]] ||
  qf_fail "the card still holds: $left"
if find "$target" -name '.quillfen-*' | grep -q .; then qf_fail "a temporary copy was left behind"; fi
echo "PASS: $(echo "$after" | wc -l) pictures moved from the exFAT card, all identical"
