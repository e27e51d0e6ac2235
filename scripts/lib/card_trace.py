"""The strace of a move from a card, told apart into where its time went
(imported by scripts/bench-card; tested by tests/e2e/bench_figures.sh).
The trace is strace -f -ttt -T -y of the headless host, with at least
openat, read, pread64, fsync, renameat2 and unlink.

Run as a program, it prints the phases of a trace:
  python3 card_trace.py TRACE CARD
"""

import re
import sys

from bench_common import num

UNFINISHED = " <unfinished ...>"
RESUMED = re.compile(r"^[^<]*<\.\.\. [^ ]+ resumed>")
OPENAT = re.compile(r" openat\(")
HINT = re.compile(r"fadvise64\(.*WILLNEED| readahead\(")
SYNC = re.compile(r" f(data)?sync\(")
RENAME = re.compile(r" renameat2?\(")
UNLINK = re.compile(r" unlink(at)?\(")
READ = re.compile(r" (read|pread64)\([0-9]+<")


def took(fields):
    """The seconds a call took: its last field, "<0.000100>"."""
    return num(fields[-1][1:-1])


def joined(lines):
    """The trace's lines as (stamp, time, fields, line): the stamp the line
    has, and the call's own time, fields and text, a call that another
    thread interrupted put back together at its start (it comes in two
    lines, "<unfinished ...>" and "<... name resumed>"; line is None for
    the first)."""
    pending = {}
    for line in lines:
        fields = line.split()
        stamp = num(fields[1]) if len(fields) > 1 else 0.0
        if line.endswith(UNFINISHED):
            pending[fields[0]] = line[:-len(UNFINISHED)]
            yield stamp, None, fields, None
            continue
        if (len(fields) > 4 and fields[2] == "<..." and fields[4].startswith("resumed>")
                and fields[0] in pending):
            line = pending.pop(fields[0]) + RESUMED.sub("", line, count=1)
            fields = line.split()
        yield stamp, num(fields[1]) if len(fields) > 1 else 0.0, fields, line


class Move:
    """The traced move's phases, summed up call by call."""

    def __init__(self, card):
        self.card = card + "/"
        self.state = ""
        self.since = self.freed = 0.0
        self.sums = dict.fromkeys(("copy", "flush", "back", "folder", "unlink", "between"), 0.0)
        self.pictures = self.hinted = self.ahead = 0
        self.reads = []

    def on_card(self, line):
        return '"' + self.card in line

    def call(self, at, fields, line):
        opens = OPENAT.search(line)
        if opens and self.on_card(line) and "O_DIRECTORY" not in line and self.opened(at, line):
            return
        if opens and "O_CREAT" in line and self.state == "opened":
            self.state = "copy"
            self.pictures += 1
            return
        if HINT.search(line):
            self.hinted = 1
        if SYNC.search(line):
            self.flushed(at, took(fields))
        elif RENAME.search(line) and "= -1" not in line and self.state == "back":
            self.sums["back"] += at - self.since
            self.state = "named"
        else:
            self.removed_or_read(at, fields, line)

    def opened(self, at, line):
        """A picture opened on the card; False for a failed open.
        The program reads ahead in a thread of its own, opening without
        waiting (as a listing of a folder also opens). A picture opened on
        the card is copied once its copy is created; opened for anything
        else (its date), it is part of the rest."""
        if "O_NONBLOCK" in line:
            self.hinted = 1
            self.ahead += 1
            return True
        if "= -1" in line:
            return False
        if self.freed:
            self.sums["between"] += at - self.freed
            self.freed = 0.0
        self.state = "opened"
        self.since = at
        return True

    def flushed(self, at, seconds):
        if self.state == "copy":
            self.sums["copy"] += at - self.since
            self.sums["flush"] += seconds
            self.state = "back"
            self.since = at + seconds
        elif self.state == "named":
            self.sums["folder"] += seconds
            self.state = "done"

    def removed_or_read(self, at, fields, line):
        if UNLINK.search(line) and self.on_card(line):
            self.sums["unlink"] += took(fields)
            self.state = ""
            self.freed = at + took(fields)
        # Reads name their descriptor's file (strace -y); kept to the
        # microsecond, as the trace gives them.
        if READ.search(line) and "<" + self.card in line:
            self.reads.append((float("%.6f" % at), float("%.6f" % (at + took(fields)))))


def unread(reads, first, last):
    """The time from the first read of the card to the end of the last in
    which no thread was reading from it, before the first and after the
    last; None without reads."""
    if not reads:
        return None
    reads = sorted(reads)
    gap, end = 0.0, reads[0][1]
    for start, stop in reads[1:]:
        if start > end:
            gap += start - end
        if stop > end:
            end = stop
    return gap, reads[0][0] - first, last - end


def card_phases(trace, card):
    """Where the traced move's time went, as (name, seconds) pairs: copying
    from the card (open of a picture to the flush of its copy), the flush,
    the read-back (to the copy's final name), the folder's flush, the
    picture's removal from the card, the time from that removal to the open
    of the next picture (where the program waits for its reader thread to
    let go of that picture), and all the rest (start-up, checks, the end);
    "hinted 1" when the program read ahead of itself (then the card is not
    idle outside the copying), "ahead N" the pictures its reader thread
    opened; "unread": the time from the first read of the card to the end
    of the last in which no thread was reading from it (the card's idle
    time at most: the kernel's own read-ahead may still be reading then),
    "before" the first read and "after" the last."""
    move = Move(card)
    first = last = None
    with open(trace, encoding="utf-8", errors="surrogateescape", newline="") as lines:
        for stamp, at, fields, line in joined(l.rstrip("\n") for l in lines):
            first = stamp if first is None else first
            last = stamp
            if line is not None:
                move.call(at, fields, line)
    first, last = first or 0.0, last or 0.0
    sums, total = move.sums, last - first
    rest = total - sums["copy"] - sums["flush"] - sums["back"] - sums["folder"] \
        - sums["unlink"] - sums["between"]
    phases = [("pictures", "%d" % move.pictures)]
    phases += [(name, "%.3f" % value) for name, value in (
        ("copy", sums["copy"]), ("flush", sums["flush"]), ("readback", sums["back"]),
        ("folder", sums["folder"]), ("unlink", sums["unlink"]), ("between", sums["between"]),
        ("rest", rest), ("total", total))]
    phases += [("hinted", "%d" % move.hinted), ("ahead", "%d" % move.ahead)]
    idle = unread(move.reads, float("%.6f" % first), float("%.6f" % last))
    if idle:
        phases += [(name, "%.3f" % value) for name, value in zip(("unread", "before", "after"), idle)]
    return phases


def main(argv):
    if len(argv) != 3:
        print("usage: card_trace.py TRACE CARD", file=sys.stderr)
        return 2
    for name, value in card_phases(argv[1], argv[2]):
        print(name, value)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
