# A FAT card keeps the camera's clock: a photo taken at 23:50 (its EXIF) and
# a movie shot five minutes later, whose only date is its file time on the
# card, land in the same day folder by the date taken, whatever the user's
# time zone (Tokyo, Berlin, New York). A Sony clip's metadata, which names
# its own offset, and a movie whose container keeps UTC do too.
source "$(dirname "$0")/lib/common.sh"
qf_need_root
qf_private_home
card_picture=$QF_PROGRAM_DIR/../bench/card_picture
[[ -x $card_picture ]] || qf_skip "the benchmark tool card_picture was not built"
command -v mkfs.vfat >/dev/null || qf_skip "mkfs.vfat is not installed (dosfstools)"

image=$QF_WORK/card.img
card=$QF_WORK/card
truncate -s 64M "$image"
mkfs.vfat -n QFCARD "$image" >/dev/null 2>&1 || qf_fail "mkfs.vfat failed"
loop=$(losetup -f --show "$image" 2>/dev/null) || qf_skip "this machine has no free loop device"
_qf_loops+=("$loop")
mkdir -p "$card"
# Mounted as a desktop mounts a card: no time zone option, so the kernel
# shows the card's clock as if it were UTC.
mount -t vfat "$loop" "$card" 2>/dev/null || qf_skip "this machine refuses to mount a FAT image"
_qf_mounts+=("$card")

folder=$card/DCIM/100CANON
mkdir -p "$folder"
"$card_picture" jpeg "2023:06:01 23:50:00" 4096 "$folder/IMG_0001.JPG" || qf_fail "card_picture failed"
touch -d "2023-06-01 23:50:00 UTC" "$folder/IMG_0001.JPG"
head -c 5000 /dev/urandom >"$folder/MVI_0002.MOV"
touch -d "2023-06-01 23:55:00 UTC" "$folder/MVI_0002.MOV"
target=$QF_WORK/pictures
cp -a "$card" "$QF_WORK/master"

for zone in Asia/Tokyo Europe/Berlin America/New_York; do
  rm -rf "$target" "$card/DCIM"
  cp -a "$QF_WORK/master/DCIM" "$card/"
  touch -d "2023-06-01 23:50:00 UTC" "$folder/IMG_0001.JPG"
  touch -d "2023-06-01 23:55:00 UTC" "$folder/MVI_0002.MOV"
  mkdir -p "$target"
  qf_settings Automoving True AutoRename False Subfolder True DateTakenFolders True AllCameraFiles True Target "$target"
  TZ=$zone qf_run "$QF_AUTOMOVE" "$card"
  moved=$(cd "$target" && find . -type f | sort | tr '\n' ' ')
  [[ $moved == "./230601/IMG_0001.JPG ./230601/MVI_0002.MOV " ]] ||
    qf_fail "in $zone the photo and the movie went to: $moved"
done
echo "PASS: in Tokyo, Berlin and New York the photo and the movie shot after it share the card's day"
