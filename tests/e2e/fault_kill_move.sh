# A move from an exFAT card to the disk is killed (SIGKILL) at random points,
# 50 times. After each kill every picture is still there, complete and byte
# for byte, on the card or in the target; at most the pictures in hand are in
# both places, with at most one temporary copy each (across volumes the
# program moves a batch of pictures at once: here, of 30 small pictures, all
# of them); the target's numbered names run on without a gap. A last move,
# not killed, completes without tripping over what the kills left, and
# clears the temporary copies.
# QF_KILLS and QF_SEED change the number of kills and the random points.
source "$(dirname "$0")/lib/common.sh"
qf_need_root
qf_private_home

kills=${QF_KILLS:-50}
seed=${QF_SEED:-$RANDOM}
RANDOM=$seed
echo "kills: $kills, seed: $seed (QF_SEED=$seed repeats these points)"

card=$QF_WORK/card
target=$XDG_PICTURES_DIR
qf_mount_exfat_card "$card" 64
[[ $(stat -c %d "$card") != $(stat -c %d "$target") ]] || qf_fail "the card and the target share a volume"

master=$QF_WORK/master   # the checksum of every picture ever put on the card
: >"$master"
batch=0
# add_pictures N: N more pictures of 20 to 300 KB, half in each camera folder.
add_pictures() {
  local i size path
  batch=$((batch + 1))
  for ((i = 1; i <= $1; i++)); do
    size=$((20000 + RANDOM * 9))
    path=$card/DCIM/$((100 + i % 2))TEST/B${batch}_$(printf %03d "$i").JPG
    qf_write_picture "$path" "$size"
    sha256sum <"$path" | cut -c1-64 >>"$master"
  done
}

# checksums DIR: one line per picture below DIR (not hidden), its checksum.
checksums() { find "$1" -type f -iname '*.jpg' ! -name '.*' -exec sha256sum {} + | cut -c1-64 | sort; }

qf_settings Automoving True AutoRename True Subfolder False Target "$target"

add_pictures 30
qf_run "$QF_AUTOMOVE" "$card"
[[ $(checksums "$target") == $(sort "$master") ]] || qf_fail "the first, whole move did not arrive intact"
# How long a whole move of a full card takes, to spread the kills over it.
add_pictures 30
start=$(date +%s%N)
qf_run "$QF_AUTOMOVE" "$card"
full_ms=$((($(date +%s%N) - start) / 1000000))
((full_ms > 0)) || full_ms=1
[[ -z $(checksums "$card") ]] || qf_fail "the second, whole move left pictures on the card"
echo "a whole move of 30 pictures takes $full_ms ms"

in_both_before=""
for ((k = 1; k <= kills; k++)); do
  # Each run starts with a full card, so that the kill falls within its move.
  left=$(checksums "$card" | sed '/^$/d' | wc -l)
  ((left >= 30)) || add_pictures $((30 - left))
  delay_ms=$((RANDOM % (full_ms + 1)))
  "$QF_SCRIPT" "$QF_AUTOMOVE" "$card" >"$QF_LOG" 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true

  on_card=$(checksums "$card")
  in_target=$(checksums "$target")
  # Every picture still there, complete; nothing there that was never a picture.
  missing=$(comm -23 <(sort -u "$master") <(sort -u <(echo "$on_card") <(echo "$in_target") | sed '/^$/d'))
  [[ -z $missing ]] || qf_fail "kill $k after ${delay_ms} ms: pictures lost or damaged: $missing"
  strange=$(comm -13 <(sort -u "$master") <(sort -u <(echo "$on_card") <(echo "$in_target") | sed '/^$/d'))
  [[ -z $strange ]] || qf_fail "kill $k after ${delay_ms} ms: a partial or unknown picture: $strange"
  # Only the pictures in hand may have joined those in both places.
  in_both=$(comm -12 <(echo "$on_card" | sort -u) <(echo "$in_target" | sort -u) | sed '/^$/d')
  new_in_both=$(comm -23 <(echo "$in_both") <(echo "$in_both_before" | sed '/^$/d') | sed '/^$/d' | wc -l)
  ((new_in_both <= 30)) || qf_fail "kill $k after ${delay_ms} ms: $new_in_both more pictures in both places"
  in_both_before=$in_both
  # At most one temporary copy a picture in hand, nothing else hidden,
  # nothing new on the card.
  temps=$(find "$target" -name '.quillfen-*' | wc -l)
  ((temps <= 30)) || qf_fail "kill $k after ${delay_ms} ms: $temps temporary copies left"
  others=$(find "$target" -mindepth 1 ! -name '.quillfen-*' ! -regex '.*/[0-9][0-9][0-9][0-9]+\.JPG' | head -3)
  [[ -z $others ]] || qf_fail "kill $k after ${delay_ms} ms: unexpected in the target: $others"
  strays=$(find "$card" -type f ! -iname '*.jpg' | head -3)
  [[ -z $strays ]] || qf_fail "kill $k after ${delay_ms} ms: unexpected on the card: $strays"
  # Numbers are taken only by pictures that arrived: no gap, no half picture.
  count=$(find "$target" -maxdepth 1 -name '*.JPG' ! -name '.*' | wc -l)
  last=$(find "$target" -maxdepth 1 -name '*.JPG' ! -name '.*' -printf '%f\n' | sort -n | tail -1)
  ((count == 0 || 10#${last%.JPG} == count)) || qf_fail "kill $k: $count pictures but the last is $last"
  echo "kill $k after ${delay_ms} ms: $(echo "$on_card" | sed '/^$/d' | wc -l) on the card, $count in the target, $temps temporary, $(echo "$in_both" | sed '/^$/d' | wc -l) in both"
done

# The next move completes: the temporary copy is neither counted nor in the way.
left=$(checksums "$card" | sed '/^$/d' | wc -l)
((left > 0)) || add_pictures 5
left=$(checksums "$card" | sed '/^$/d' | wc -l)
qf_run "$QF_AUTOMOVE" "$card"
qf_expect_box "text=$(qf_dialog files_moved) -> OK"
moved=$(qf_dialog moved_files)
grep -q "${moved/\%1/$left}<" "$QF_LOG" || qf_fail "the last move did not report $left pictures moved"
[[ -z $(checksums "$card") ]] || qf_fail "pictures were left on the card"
[[ -z $(find "$target" -name '.quillfen-*') ]] || qf_fail "a temporary copy of a killed run is still there"
[[ -z $(comm -23 <(sort -u "$master") <(checksums "$target" | sort -u)) ]] || qf_fail "pictures lost at the end"
twice=$(($(checksums "$target" | wc -l) - $(sort -u "$master" | wc -l)))
echo "PASS: $kills kills, $(sort -u "$master" | wc -l) pictures all in the target, $twice kept twice (a kill between pictures' arrival and their removal from the card)"
