# The icons in packaging/icons/ are what scripts/draw-icons draws: nobody
# changed one by hand, or the drawing without drawing them again.
source "$(dirname "$0")/lib/common.sh"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
sh "$source_dir/scripts/draw-icons" "$QF_WORK/icons" >/dev/null || qf_fail "scripts/draw-icons failed"
for icon in "$source_dir"/packaging/icons/*.svg; do
  diff -u "$icon" "$QF_WORK/icons/$(basename "$icon")" >&2 ||
    qf_fail "packaging/icons/$(basename "$icon") is not what scripts/draw-icons draws; run it"
done
[ "$(ls "$QF_WORK/icons" | wc -l)" -eq "$(ls "$source_dir"/packaging/icons/*.svg | wc -l)" ] ||
  qf_fail "scripts/draw-icons draws icons that packaging/icons/ does not hold"
echo "PASS: packaging/icons/ is what scripts/draw-icons draws"
