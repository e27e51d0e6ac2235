# The benchmark figures the performance page is built from: the shared
# helpers give true medians and ratios and refuse bad options, and a tiny
# move benchmark records every figure with all its runs, each run having
# checked that every picture arrived.
set -euo pipefail
program=${1:?usage: bash <test> <program-folder>}
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/bench-common.bash"
work=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { [[ $2 == "$3" ]] || fail "$1: expected '$3', got '$2'"; }

# Medians: numeric order (not text order), the mean of the two middle ones.
expect "median, odd" "$(bench_median 9.5 10.25 2)" 9.5
expect "median, even" "$(bench_median 4 1 3 2)" 2.500
expect "median, one" "$(bench_median 0.031)" 0.031
expect "median, none" "$(bench_median)" -
expect "highest" "$(bench_max 9 10 100 2)" 100
expect "ratio" "$(bench_ratio 3 2)" 1.50
expect "ratio to nothing" "$(bench_ratio 3 0)" -
expect "ratio of nothing" "$(bench_ratio - 2)" -
expect "ratio of a missing figure" "$(bench_ratio "" 2)" -

bench_options --runs 3 card --tsv "$work/x.tsv" 10 -- --runs
expect "runs" "$BENCH_RUNS" 3
expect "tsv" "$BENCH_TSV" "$work/x.tsv"
expect "arguments" "${BENCH_ARGS[*]}" "card 10 --runs"
for bad in "--runs 0" "--runs x" "--runs" "--tsv"; do
  # shellcheck disable=SC2086
  if (bench_options $bad) 2>/dev/null; then fail "bench_options accepted '$bad'"; fi
done
bench_record k s 3 1 2
expect "record" "$(cat "$work/x.tsv")" "$(printf 'k\t2\ts\t3\t3 1 2')"

# The same helpers for the Python programs, and the traced move from a card
# told apart into its phases (scripts/lib/bench_common.py, card_trace.py).
python3 "$root/tests/e2e/bench_figures_test.py" 2>"$work/python.log" || fail "$(cat "$work/python.log")"
# The performance page from its figures, and the programs' own parts.
python3 "$root/tests/e2e/bench_programs_test.py" 2>"$work/python.log" || fail "$(cat "$work/python.log")"

# The cards' pictures, written in one process: a thousand shots a folder,
# names unique on the card, three days of dates, sizes as asked.
card_picture=$program/../bench/card_picture
if [[ -x $card_picture ]]; then
  "$card_picture" card shots 1001 2000 3000 "$work/cp" sparse || fail "card_picture card failed"
  expect "shots in the first folder" "$(find "$work/cp/DCIM/100TEST" -type f | wc -l)" 2000
  expect "the second folder" "$(cd "$work/cp/DCIM/101TEST" && echo *)" "IMG_1001.CR2 IMG_1001.JPG"
  expect "a JPEG's size" "$(stat -c %s "$work/cp/DCIM/100TEST/IMG_0001.JPG")" 2000
  expect "a raw file's size" "$(stat -c %s "$work/cp/DCIM/101TEST/IMG_1001.CR2")" 3000
  grep -q '2024:06:10' "$work/cp/DCIM/100TEST/IMG_0001.JPG" || fail "the first shot is not of the first day"
  grep -q '2024:06:12' "$work/cp/DCIM/101TEST/IMG_1001.CR2" || fail "the last shot is not of the third day"
  "$card_picture" card jpeg 2 100000 0 "$work/cj" || fail "card_picture card jpeg failed"
  cmp -s "$work/cj/DCIM/100TEST/IMG_0001.JPG" "$work/cj/DCIM/100TEST/IMG_0002.JPG" &&
    fail "two pictures padded with the same bytes"
  if "$card_picture" card jpeg 0 1 1 "$work/none" 2>/dev/null; then fail "card_picture made a card of no shots"; fi
fi

# A tiny move benchmark: every figure of every row, with all three runs.
[[ -x $program/quillfen-script ]] || fail "no headless host in $program"
[[ -d /dev/shm ]] || { echo "SKIP: no /dev/shm for the card" >&2; exit 77; }
BENCH_DIR=$work BENCH_LARGE=2x1 BENCH_EACH_MAX=20 "$root/scripts/bench-move" --runs 3 --tsv "$work/move.tsv" \
  "$program" 20 >"$work/out" || fail "bench-move failed: $(cat "$work/out")"
expected="move.one.20.quillfen move.one.20.mv move.one.20.mv_sync move.one.20.peak
move.cross.20.quillfen move.cross.20.mv move.cross.20.mv_sync move.cross.20.cp move.cross.20.cp_rm
move.cross.20.cp_rm_sync move.cross.20.cp_each move.cross.20.peak move.large.quillfen move.large.mv
move.large.cp_each plan.20"
for key in $expected; do
  line=$(awk -F'\t' -v k="$key" '$1 == k' "$work/move.tsv")
  [[ -n $line ]] || fail "no figure $key in: $(cat "$work/move.tsv")"
  IFS=$'\t' read -r _ median _ runs values <<<"$line"
  expect "$key runs" "$runs" 3
  expect "$key median" "$median" "$(bench_median $values)"
done
grep -q '^20 *one volume' "$work/out" || fail "no one-volume row on the terminal: $(cat "$work/out")"
grep -q '^check and plan, 20 pictures' "$work/out" || fail "no check-and-plan line: $(cat "$work/out")"
leftovers=$(find "$work" -mindepth 1 -maxdepth 1 -name 'bench-move-*')
[[ -z $leftovers ]] || fail "bench-move left $leftovers behind"
echo "PASS"
