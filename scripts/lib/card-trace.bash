# The strace of a move from a card, told apart into where its time went
# (sourced by scripts/bench-card; tested by tests/e2e/bench_figures.sh).
# The trace is strace -f -ttt -T -y of the headless host, with at least
# openat, read, pread64, fsync, renameat2 and unlink.

# card_phases TRACE CARD SCRATCH: where the traced move's time went, as
# "name seconds" lines (SCRATCH: a folder for a file of its own while it
# works): copying from the card (open of a picture to the flush of its copy), the
# flush, the read-back (to the copy's final name), the folder's flush, the
# picture's removal from the card, the time from that removal to the open
# of the next picture (where the program waits for its reader thread to
# let go of that picture), and all the rest (start-up, checks, the end);
# "hinted 1" when the program read ahead of itself (then the card is not
# idle outside the copying), "ahead N" the pictures its reader thread
# opened; "unread": the time from the first read of the card to the end of
# the last in which no thread was reading from it (the card's idle time at
# most: the kernel's own read-ahead may still be reading then), "before"
# the first read and "after" the last.
card_phases() {
  local trace=$1 card=$2 reads=$3/card-reads out t0 t1
  out=$(awk -v card="$card/" -v reads="$reads" '
    function took() { return substr($NF, 2, length($NF) - 2) + 0 }
    NR == 1 { first = $2 + 0 }
    { last = $2 + 0 }
    # A call that another thread interrupted comes in two lines, "<unfinished
    # ...>" and "<... name resumed>": put back together at its start.
    / <unfinished \.\.\.>$/ { pending[$1] = substr($0, 1, length($0) - length(" <unfinished ...>")); next }
    $3 == "<..." && $5 ~ /^resumed>/ && ($1 in pending) {
      rest = $0
      sub(/^[^<]*<\.\.\. [^ ]+ resumed>/, "", rest)
      $0 = pending[$1] rest
      delete pending[$1]
    }
    # A picture opened on the card is copied once its copy is created;
    # opened for anything else (its date), it is part of the rest.
    # The program reads ahead in a thread of its own, opening without
    # waiting (as a listing of a folder also opens).
    / openat\(/ && index($0, "\"" card) && /O_NONBLOCK/ && !/O_DIRECTORY/ { hinted = 1; ahead++; next }
    / openat\(/ && index($0, "\"" card) && !/O_DIRECTORY/ && !/= -1/ {
      if (freed) { between += $2 - freed; freed = 0 }
      state = "opened"; since = $2; next
    }
    / openat\(/ && /O_CREAT/ && state == "opened" { state = "copy"; n++; next }
    /fadvise64\(.*WILLNEED/ || / readahead\(/ { hinted = 1 }
    / f(data)?sync\(/ {
      if (state == "copy") { copy += $2 - since; flush += took(); state = "back"; since = $2 + took() }
      else if (state == "named") { folder += took(); state = "done" }
      next
    }
    / renameat2?\(/ && !/= -1/ && state == "back" { back += $2 - since; state = "named"; next }
    / unlink(at)?\(/ && index($0, "\"" card) { unlink += took(); state = ""; freed = $2 + took() }
    # Reads name their descriptor'"'"'s file (strace -y).
    / (read|pread64)\([0-9]+</ && index($0, "<" card) { printf "%.6f %.6f\n", $2, $2 + took() >reads }
    END {
      total = last - first
      printf "pictures %d\ncopy %.3f\nflush %.3f\nreadback %.3f\nfolder %.3f\nunlink %.3f\nbetween %.3f\nrest %.3f\ntotal %.3f\nhinted %d\nahead %d\n",
        n, copy, flush, back, folder, unlink, between, total - copy - flush - back - folder - unlink - between, total,
        hinted, ahead
      printf "span %.6f %.6f\n", first, last
    }' "$trace")
  grep -v '^span ' <<<"$out"
  read -r _ t0 t1 < <(grep '^span ' <<<"$out")
  touch "$reads"
  sort -g "$reads" | awk -v t0="$t0" -v t1="$t1" '
    NR == 1 { before = $1 - t0; end = $2; next }
    { if ($1 > end) unread += $1 - end; if ($2 > end) end = $2 }
    END { if (NR) printf "unread %.3f\nbefore %.3f\nafter %.3f\n", unread, before, t1 - end }'
  rm -f "$reads"
}
