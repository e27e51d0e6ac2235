"""Helpers shared by the Python benchmark programs (imported, not run): the
clock, medians and ratios, the options every benchmark takes, the
machine-readable record of its figures and the description of the machine.
The same helpers for the shell scripts are in bench-common.bash; both write
the same figures in the same form, so that a page can be built from either.

The figures file (--tsv) has one line a figure:
  key <TAB> median <TAB> unit <TAB> runs <TAB> all values
"""

import argparse
import os
import re
import subprocess
import sys
import time
from collections import Counter
from fractions import Fraction

# ---- numbers read and written as the shell tools read and write them ----

_NUMBER_PREFIX = re.compile(r"\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?")


def num(text):
    """A value as awk reads it: its leading number, 0 when there is none
    (so "-", a figure not measured, counts as 0 where awk would)."""
    if isinstance(text, (int, float)):
        return float(text)
    match = _NUMBER_PREFIX.match(text)
    return float(match.group(0)) if match else 0.0


def is_number(text):
    """True when awk would compare the text as a number."""
    return bool(re.fullmatch(r"\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?\s*", text))


def f(value, digits):
    """awk's printf "%.<digits>f" of a value (awk reads text as numbers)."""
    return "%.*f" % (digits, num(value))


def shell_f(text, digits):
    """The shell's printf "%.<digits>f": it reads the text into an x87 long
    double (64-bit mantissa), so 1.145 gives 1.14 where awk gives 1.15."""
    if not is_number(text):
        return "%.*f" % (digits, 0.0)
    exact = Fraction(text.strip())
    if exact == 0:
        return "%.*f" % (digits, 0.0)
    sign, exact = (-1 if exact < 0 else 1), abs(exact)
    exponent = exact.numerator.bit_length() - exact.denominator.bit_length()
    if exact < Fraction(2) ** exponent:
        exponent -= 1
    mantissa = round(exact * Fraction(2) ** (63 - exponent))  # half to even
    extended = Fraction(mantissa) * Fraction(2) ** (exponent - 63)
    scaled = round(extended * 10**digits)
    whole, part = divmod(scaled, 10**digits)
    text = str(whole) + ("." + str(part).zfill(digits) if digits else "")
    return ("-" if sign < 0 and scaled else "") + text


def pad(text, width, left=False):
    """printf's %<width>s (%-<width>s with left): the shell's printf and
    mawk count bytes, not characters, so a "×" takes two."""
    fill = " " * max(0, width - len(text.encode()))
    return text + fill if left else fill + text


def sort_g(values):
    """The values in `sort -g` order: numbers by value, equal ones by their
    text, anything else before every number."""
    def key(value):
        return (0, 0.0, value) if not is_number(value) else (1, float(value), value)
    return sorted(values, key=key)


# ---- medians and ratios ----

def median(values):
    """The middle value as given, or the mean of the two middle ones to the
    thousandth; "-" for none."""
    ordered = sort_g([str(v) for v in values])
    if not ordered:
        return "-"
    half = len(ordered) // 2
    if len(ordered) % 2:
        return ordered[half]
    return "%.3f" % ((num(ordered[half - 1]) + num(ordered[half])) / 2)


def highest(values):
    """The highest value as given; "" for none."""
    ordered = sort_g([str(v) for v in values])
    return ordered[-1] if ordered else ""


def ratio(a, b):
    """a / b to the hundredth, "-" when either is not a figure or b is 0."""
    figure = re.compile(r"[0-9.]+")
    if not (figure.fullmatch(a or "") and figure.fullmatch(b or "")):
        return "-"
    if not num(b) > 0:
        return "-"
    return "%.2f" % (num(a) / num(b))


def now():
    return time.time()


def elapsed(start, end):
    return "%.3f" % (end - start)


def last(values):
    """The latest of a figure's runs, "" for none."""
    return values[-1] if values else ""


# ---- options and the figures file ----

def count(text):
    """An argparse type: a count of 1 or more."""
    if not re.fullmatch(r"[1-9][0-9]*", text):
        raise argparse.ArgumentTypeError("needs a count of 1 or more")
    return int(text)


def add_options(parser):
    """--runs and --tsv, which every benchmark takes."""
    parser.add_argument("--runs", type=count, metavar="N",
                        help="time every run N times (interleaved) and give medians")
    parser.add_argument("--tsv", metavar="FILE",
                        help="also append every figure to FILE, one line each: "
                             "key, median, unit, runs, all values (tab-separated)")


class Figures:
    """The figures file of a run; without one, recording does nothing."""

    def __init__(self, path):
        self.path = path

    def _append(self, *fields):
        if self.path:
            with open(self.path, "a", encoding="utf-8", errors="surrogateescape") as out:
                out.write("\t".join(fields) + "\n")

    def record(self, key, unit, values):
        """One figure, all its runs."""
        values = [str(v) for v in values]
        self._append(key, median(values), unit, str(len(values)), " ".join(values))

    def note(self, key, text):
        """A fact about the run (sizes, counts)."""
        self._append(key, str(text), "note", "0", "")


# ---- the machine ----

# The benchmarks' own processes, not counted as other busy programs.
OURS = re.compile(
    r"^(quillfen|quillfen-script|quillfen-e2e|mv|cp|rm|sync|find|sort|awk|sed|head|tail|split|"
    r"base64|date|cat|time|bash|Xvfb|xdotool|xprop|WebKit.*|scale_move_test|card_picture|strace|"
    r"python3|mount.exfat-fus|losetup|mkfs.ext4|mkfs.exfat|ps|sleep|cut|cmake|make|gmake)$")


def others():
    """Up to three busy processes (over 30% of a core, their CPU share
    averaged over their life, as ps gives it) that are not the benchmarks'
    own."""
    lines = subprocess.run(["ps", "-eo", "pcpu=,comm=", "--sort=-pcpu"], capture_output=True,
                           text=True, check=False).stdout.splitlines()
    busy = []
    for line in lines:
        fields = line.split()
        if len(fields) >= 2 and num(fields[0]) > 30 and not OURS.search(fields[1]):
            busy.append(fields[1])
    return busy[:3]


def others_text(seen, form):
    """The busy programs seen, the most often seen first, each as FORM of
    its name and how often it was seen: "name (at 2 of 5 starts), ..."."""
    counted = sorted(Counter(seen).items(), key=lambda item: (item[1], item[0]), reverse=True)
    return ", ".join(form % (name, n) for name, n in counted)


def load_average():
    """The one-minute load average, as /proc/loadavg gives it."""
    with open("/proc/loadavg", encoding="ascii") as loadavg:
        return loadavg.read().split(" ")[0]


def volume(folder):
    """The file system type and the device behind a folder."""
    found = subprocess.run(["findmnt", "-n", "-o", "TARGET,SOURCE,FSTYPE", "-T", folder],
                           capture_output=True, text=True, check=False).stdout
    # The first line only: a folder mounted over more than once has one a mount.
    target, source, fstype = (found.split("\n")[0].split(None, 2) + ["", "", ""])[:3]
    fstype = fstype.strip()
    dev = source[len("/dev/"):] if source.startswith("/dev/") else source
    kind = ""
    rotational = "/sys/block/%s/queue/rotational" % dev
    if dev and os.path.exists(rotational):
        if dev.startswith("vd"):
            kind = "virtio block device, "
        with open(rotational, encoding="ascii") as flag:
            kind += "non-rotational" if flag.read().strip() == "0" else "reported as rotational"
    return "%s: %s on %s%s" % (target, fstype, source, " (%s)" % kind if kind else "")


def utc_now(pattern="%Y-%m-%d %H:%M UTC"):
    return time.strftime(pattern, time.gmtime())


def machine(disk_folder):
    """The machine, one "name: value" line each."""
    with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as cpuinfo:
        info = cpuinfo.read()
    cpu = next((line.split(":")[1] if ":" in line else "" for line in info.splitlines()
                if "model name" in line), "").lstrip(" ")
    with open("/proc/meminfo", encoding="ascii") as meminfo:
        kib = next(num(line.split()[1]) for line in meminfo if line.startswith("MemTotal"))
    cores = subprocess.run(["nproc"], capture_output=True, text=True, check=False).stdout.strip()
    with open("/proc/loadavg", encoding="ascii") as loadavg:
        loads = " ".join(loadavg.read().split(" ")[:3])
    lines = ["date: " + utc_now(),
             "cpu: %s, %s cores" % (cpu or "unknown", cores),
             "memory: %.1f GiB" % (kib / 1048576),
             "kernel: %s %s" % (os.uname().sysname, os.uname().release)]
    if re.search(r"\bhypervisor\b", info):
        lines.append("virtual machine: yes (the CPU reports a hypervisor)")
    lines += ["disk: " + volume(disk_folder),
              "memory volume: " + volume("/dev/shm"),
              "load average at start: " + loads]
    return lines


# ---- building and running ----

def ensure_built(here, build, targets):
    """Configures the build folder when it is new, then builds the targets."""
    if not os.path.isfile(os.path.join(build, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", here, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                       stdout=subprocess.DEVNULL, check=True)
    subprocess.run(["cmake", "--build", build, "--target", *targets, "-j2"],
                   stdout=subprocess.DEVNULL, check=True)


def fail(message, status=1):
    print(message, file=sys.stderr)
    sys.exit(status)


def count_files(folder):
    """The regular files under a folder (find -type f), 0 when it is not there."""
    total = 0
    try:
        entries = list(os.scandir(folder))
    except OSError:
        return 0
    for entry in entries:
        if entry.is_dir(follow_symlinks=False):
            total += count_files(entry.path)
        elif entry.is_file(follow_symlinks=False):
            total += 1
    return total


def stop_on_term():
    """A SIGTERM ends the program as an exception does, so that its
    clean-up (mounts, loop devices, groups) still runs."""
    import signal

    def stop(signum, _frame):
        sys.exit(128 + signum)
    signal.signal(signal.SIGTERM, stop)


# ---- volumes ----

def drop_caches():
    """Everything written made durable and the page cache emptied (as root;
    elsewhere only the sync), so that a run reads what it reads from the
    devices, not from memory."""
    subprocess.run(["sync"], check=True)
    if os.getuid() == 0:
        with open("/proc/sys/vm/drop_caches", "w", encoding="ascii") as drop:
            drop.write("3\n")


class LoopVolume:
    """An ext4 volume of its own: an image file in a folder on the disk, on a
    loop device that writes through to the image without keeping a second
    copy in memory (direct I/O, where the kernel offers it), mounted. A
    second drive, for a backup that must be on another volume than the
    target. Needs root; release() undoes it all."""

    def __init__(self, folder, size_mb, label="BACKUP"):
        self.image = os.path.join(folder, "%s.img" % label.lower())
        self.mountpoint = os.path.join(folder, label.lower())
        self.loop = None
        subprocess.run(["truncate", "-s", "%dM" % size_mb, self.image], check=True)
        # Every table written now, so that no thread of the kernel writes
        # them later, during the runs.
        subprocess.run(["mkfs.ext4", "-q", "-F", "-L", label, "-E", "lazy_itable_init=0,lazy_journal_init=0",
                        self.image], check=True)
        for direct in (["--direct-io=on"], []):
            done = subprocess.run(["losetup", "--find", "--show"] + direct + [self.image], capture_output=True,
                                  text=True, check=False)
            if done.returncode == 0:
                self.loop = done.stdout.strip()
                break
        if not self.loop:
            fail("no loop device for %s" % self.image)
        os.makedirs(self.mountpoint, exist_ok=True)
        subprocess.run(["mount", self.loop, self.mountpoint], check=True)

    def release(self):
        if subprocess.run(["umount", self.mountpoint], stderr=subprocess.DEVNULL, check=False).returncode:
            subprocess.run(["umount", "-l", self.mountpoint], check=False)
        if self.loop:
            subprocess.run(["losetup", "-d", self.loop], stderr=subprocess.DEVNULL, check=False)
        for path in (self.image,):
            if os.path.exists(path):
                os.remove(path)
        if os.path.isdir(self.mountpoint):
            os.rmdir(self.mountpoint)
