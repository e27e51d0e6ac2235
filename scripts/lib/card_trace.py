"""The strace of a move from a card, told apart into where its time went
(imported by scripts/bench-card; tested by tests/e2e/bench_figures.sh).
The trace is strace -f -ttt -T -y of the headless host, with at least
openat, read, pread64, fsync, sync_file_range, syncfs, renameat2 and
unlink.

Across volumes the move goes batch by batch. Its own thread (the process's
first) reads each picture of a batch from the card into its copies; a few
other threads flush the copies and read them back from the disk meanwhile;
at the batch's end the move's thread waits for the last of them, gives the
copies their names and flushes their folders, then removes the batch's
pictures from the card; the walk tells the batch, and the next begins. A
thread of its own reads the next pictures ahead (opening them without
waiting).

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
SYNC = re.compile(r" (f(data)?sync|sync_file_range)\(")
STARTED = re.compile(r" sync_file_range\(.*SYNC_FILE_RANGE_WRITE\) = ")
VOLUME = re.compile(r" syncfs\(")
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
    """The traced move's phases, summed up call by call: of the move's own
    thread in the time they took, of the other threads in the time their
    calls took."""

    def __init__(self, card):
        self.card = card + "/"
        self.main = None
        self.state = ""
        self.since = self.copied = self.freed = 0.0
        self.sums = dict.fromkeys(("copy", "flush", "back", "wait", "folder", "unlink", "between"), 0.0)
        self.pictures = self.batches = self.hinted = self.ahead = 0
        self.reads = []

    def on_card(self, line):
        return '"' + self.card in line

    def call(self, at, fields, line):
        # Reads name their descriptor's file (strace -y); kept to the
        # microsecond, as the trace gives them.
        reads = READ.search(line)
        if reads and "<" + self.card in line:
            self.reads.append((float("%.6f" % at), float("%.6f" % (at + took(fields)))))
        if HINT.search(line):
            self.hinted = 1
        opens = OPENAT.search(line) and self.on_card(line) and "O_DIRECTORY" not in line and "= -1" not in line
        if opens and "O_NONBLOCK" not in line and self.main is None:
            # The move's own thread is the one that opens pictures on the
            # card to copy them (the trace may start with another program,
            # /usr/bin/time, that starts the host).
            self.main = fields[0]
        if opens and "O_NONBLOCK" in line:
            # The reader thread opens the pictures it reads ahead without
            # waiting (a listing of a folder opens a folder).
            self.hinted = 1
            self.ahead += 1
        elif self.main is None:
            return
        elif fields[0] != self.main:
            # The threads that flush the copies and read them back.
            if (SYNC.search(line) or VOLUME.search(line)) and not STARTED.search(line):
                self.sums["flush"] += took(fields)
            elif reads and "<" + self.card not in line:
                self.sums["back"] += took(fields)
        elif opens:
            self.opened(at, fields)
        else:
            self.own(at, fields, line)

    def opened(self, at, fields):
        """A picture opened on the card by the move's thread: the batch's
        copying starts with its first picture. Opened for anything else
        (its date), a picture is part of the rest."""
        if self.state != "copy":
            if self.freed:
                self.sums["between"] += at - self.freed
                self.freed = 0.0
            self.state = "copy"
            self.since = at
            self.batches += 1
        self.pictures += 1
        self.copied = at + took(fields)

    def own(self, at, fields, line):
        if self.state == "copy":
            if VOLUME.search(line) or (RENAME.search(line) and "= -1" not in line):
                # The batch's end: the last flushes and read-backs waited for.
                self.sums["copy"] += self.copied - self.since
                self.sums["wait"] += at - self.copied
                self.state = "named"
                self.since = at
            else:
                self.copied = at + took(fields)
        elif UNLINK.search(line) and self.on_card(line):
            if self.state == "named":
                self.sums["folder"] += at - self.since
                self.state = "removing"
            self.sums["unlink"] += took(fields)
            self.freed = at + took(fields)


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
    """Where the traced move's time went, as (name, seconds) pairs:
    "pictures" and "batches" moved; copying from the card (from a batch's
    first picture opened to its last copy written), the copies' flushes and
    read-backs (the time of those calls in the other threads, which overlap
    the copying), the wait at a batch's end for the last of them, the
    naming and the folders' flushes, the pictures' removal from the card,
    the time from the end of a batch to the next (the walk telling it), and
    all the rest (start-up, checks, the end); "hinted 1" when the program
    read ahead of itself (then the card is not idle outside the copying),
    "ahead N" the pictures its reader thread opened; "unread": the time
    from the first read of the card to the end of the last in which no
    thread was reading from it (the card's idle time at most: the kernel's
    own read-ahead may still be reading then), "before" the first read and
    "after" the last."""
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
    rest = total - sum(sums[name] for name in ("copy", "wait", "folder", "unlink", "between"))
    phases = [("pictures", "%d" % move.pictures), ("batches", "%d" % move.batches)]
    phases += [(name, "%.3f" % value) for name, value in (
        ("copy", sums["copy"]), ("flush", sums["flush"]), ("readback", sums["back"]), ("wait", sums["wait"]),
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
