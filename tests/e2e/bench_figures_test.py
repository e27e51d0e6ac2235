"""The Python side of the benchmark figures (run by bench_figures.sh): the
shared helpers give true medians and ratios, round as the shell tools did,
refuse bad options and record every run; the traced move from a card is
told apart into its phases."""

import argparse
import contextlib
import io
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))

import bench_common  # noqa: E402
from card_trace import card_phases  # noqa: E402


class Numbers(unittest.TestCase):
    def test_medians_ratios_and_highest(self):
        cases = [
            # numeric order, not text order; the mean of the two middle ones
            ("median, odd", bench_common.median(["9.5", "10.25", "2"]), "9.5"),
            ("median, even", bench_common.median(["4", "1", "3", "2"]), "2.500"),
            ("median, one", bench_common.median(["0.031"]), "0.031"),
            ("median, none", bench_common.median([]), "-"),
            ("highest", bench_common.highest(["9", "10", "100", "2"]), "100"),
            ("highest of none", bench_common.highest([]), ""),
            ("ratio", bench_common.ratio("3", "2"), "1.50"),
            ("ratio to nothing", bench_common.ratio("3", "0"), "-"),
            ("ratio of nothing", bench_common.ratio("-", "2"), "-"),
            ("ratio of a missing figure", bench_common.ratio("", "2"), "-"),
            ("ratio to a negative figure", bench_common.ratio("3", "-2"), "-"),
        ]
        for name, got, expected in cases:
            with self.subTest(name):
                self.assertEqual(got, expected)

    def test_rounding_as_the_shell_tools_did(self):
        # awk rounds the double nearest the text; the shell's printf rounds
        # a long double, which can fall on the other side of a half.
        cases = [
            ("1.145", 2, "1.15", "1.14"),
            ("0.615", 2, "0.61", "0.62"),
            ("2.675", 2, "2.67", "2.67"),
            ("2.5", 0, "2", "2"),
            ("3.5", 0, "4", "4"),
            ("12345.6", 0, "12346", "12346"),
            ("-", 2, "0.00", "0.00"),
        ]
        for text, digits, awk, shell in cases:
            with self.subTest(text):
                self.assertEqual(bench_common.f(text, digits), awk)
                self.assertEqual(bench_common.shell_f(text, digits), shell)

    def test_widths_count_bytes(self):
        self.assertEqual(bench_common.pad("1.05×", 9), "   1.05×")
        self.assertEqual(bench_common.pad("µs", 6, left=True), "µs   ")
        self.assertEqual(bench_common.pad("longer than that", 4), "longer than that")

    def test_others_most_often_seen_first(self):
        seen = ["cc1plus", "faultfs", "cc1plus", "zip"]
        self.assertEqual(bench_common.others_text(seen, "%s (at %d of 3 starts)"),
                         "cc1plus (at 2 of 3 starts), zip (at 1 of 3 starts), faultfs (at 1 of 3 starts)")
        self.assertEqual(bench_common.others_text([], "%s %d"), "")


class Machine(unittest.TestCase):
    def test_described_as_the_shell_helper_describes_it(self):
        # The page takes its machine from either; the date and the load may
        # move on between the two.
        shell = subprocess.run(["bash", "-c", 'source "$0"; bench_machine /tmp', os.path.join(
            ROOT, "scripts", "lib", "bench-common.bash")], capture_output=True, text=True, check=True).stdout
        moving = ("date: ", "load average at start: ")
        self.assertEqual([line for line in bench_common.machine("/tmp") if not line.startswith(moving)],
                         [line for line in shell.splitlines() if not line.startswith(moving)])

    def test_files_counted(self):
        with tempfile.TemporaryDirectory() as work:
            for name in ("a/1", "a/b/2", "c/3"):
                os.makedirs(os.path.dirname(os.path.join(work, name)), exist_ok=True)
                open(os.path.join(work, name), "w", encoding="ascii").close()
            os.symlink(os.path.join(work, "a"), os.path.join(work, "link"))
            self.assertEqual(bench_common.count_files(work), 3)
            self.assertEqual(bench_common.count_files(os.path.join(work, "gone")), 0)


class Options(unittest.TestCase):
    def parser(self):
        parser = argparse.ArgumentParser()
        bench_common.add_options(parser)
        parser.add_argument("rest", nargs="*")
        return parser

    def test_runs_tsv_and_the_rest(self):
        got = self.parser().parse_intermixed_args(["--runs", "3", "card", "--tsv", "x.tsv", "10", "--", "--runs"])
        self.assertEqual((got.runs, got.tsv, got.rest), (3, "x.tsv", ["card", "10", "--runs"]))

    def test_refused(self):
        for bad in (["--runs", "0"], ["--runs", "x"], ["--runs"], ["--tsv"]):
            with self.subTest(" ".join(bad)), self.assertRaises(SystemExit), \
                    contextlib.redirect_stderr(io.StringIO()):
                self.parser().parse_intermixed_args(bad)

    def test_record_and_note(self):
        with tempfile.TemporaryDirectory() as work:
            figures = bench_common.Figures(os.path.join(work, "x.tsv"))
            figures.record("k", "s", ["3", "1", "2"])
            figures.note("n", "40 pictures")
            with open(figures.path, encoding="utf-8") as tsv:
                self.assertEqual(tsv.read(), "k\t2\ts\t3\t3 1 2\nn\t40 pictures\tnote\t0\t\n")
        bench_common.Figures(None).record("k", "s", ["1"])  # no file: nothing, no error


# The traced move from a card told apart, batch by batch: a call split by
# another thread put back together, a folder's listing not taken for the
# reader thread, the other threads' flushes and read-backs, a batch's end,
# the time between batches, and the time no thread read from the card.
CARD = "/m/card"
TRACE = """\
100 1796668310.000000 execve("/p/quillfen-script", ["quillfen-script"], 0x1 /* 9 vars */) = 0 <0.000100>
100 1796668310.010000 openat(AT_FDCWD</w>, "$c/DCIM", O_RDONLY|O_NONBLOCK|O_CLOEXEC|O_DIRECTORY) = 5<$c/DCIM> <0.000010>
100 1796668310.020000 openat(AT_FDCWD</w>, "$c/DCIM/100A/IMG_0001.JPG", O_RDONLY|O_NOFOLLOW|O_CLOEXEC) = 6<$c/DCIM/100A/IMG_0001.JPG> <0.000010>
100 1796668310.021000 openat(7</t>, ".quillfen-IMG_0001.JPG.partial-100", O_RDWR|O_CREAT|O_EXCL|O_CLOEXEC, 0666) = 8</t/.quillfen-IMG_0001.JPG.partial-100> <0.000010>
100 1796668310.030000 read(6<$c/DCIM/100A/IMG_0001.JPG>, "\\377\\330"..., 1048576) = 1048576 <0.050000>
100 1796668310.081000 sync_file_range(8</t/.quillfen-IMG_0001.JPG.partial-100>, 0, 0, SYNC_FILE_RANGE_WRITE) = 0 <0.001000>
102 1796668310.082000 sync_file_range(8</t/.quillfen-IMG_0001.JPG.partial-100>, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE|SYNC_FILE_RANGE_WRITE|SYNC_FILE_RANGE_WAIT_AFTER <unfinished ...>
100 1796668310.083000 openat(AT_FDCWD</w>, "$c/DCIM/100A/IMG_0002.JPG", O_RDONLY|O_NOFOLLOW|O_CLOEXEC) = 6<$c/DCIM/100A/IMG_0002.JPG> <0.000010>
100 1796668310.090000 read(6<$c/DCIM/100A/IMG_0002.JPG>, "\\1\\2"..., 1048576) = 1048576 <0.040000>
102 1796668310.092000 <... sync_file_range resumed>) = 0 <0.010000>
102 1796668310.093000 read(8</t/.quillfen-IMG_0001.JPG.partial-100>, "\\377\\330"..., 1048576) = 1048576 <0.006000>
100 1796668310.131000 sync_file_range(9</t/.quillfen-IMG_0002.JPG.partial-100>, 0, 0, SYNC_FILE_RANGE_WRITE) = 0 <0.001000>
101 1796668310.132000 openat(AT_FDCWD</w>, "$c/DCIM/100A/IMG_0003.JPG", O_RDONLY|O_NONBLOCK|O_NOFOLLOW|O_CLOEXEC) = 4<$c/DCIM/100A/IMG_0003.JPG> <0.000100>
101 1796668310.133000 pread64(4<$c/DCIM/100A/IMG_0003.JPG>, "\\3\\4"..., 1048576, 0) = 1048576 <0.050000>
102 1796668310.133000 syncfs(7</t>) = 0 <0.004000>
102 1796668310.140000 read(9</t/.quillfen-IMG_0002.JPG.partial-100>, "\\1\\2"..., 1048576) = 1048576 <0.005000>
100 1796668310.150000 renameat2(7</t>, ".quillfen-IMG_0001.JPG.partial-100", 7</t>, "IMG_0001.JPG", RENAME_NOREPLACE) = 0 <0.000020>
100 1796668310.151000 renameat2(7</t>, ".quillfen-IMG_0002.JPG.partial-100", 7</t>, "IMG_0002.JPG", RENAME_NOREPLACE) = 0 <0.000020>
100 1796668310.152000 fsync(7</t>) = 0 <0.002000>
100 1796668310.160000 unlink("$c/DCIM/100A/IMG_0001.JPG") = 0 <0.001000>
100 1796668310.162000 unlink("$c/DCIM/100A/IMG_0002.JPG") = 0 <0.001000>
100 1796668310.190000 openat(AT_FDCWD</w>, "$c/DCIM/100A/IMG_0003.JPG", O_RDONLY|O_NOFOLLOW|O_CLOEXEC) = 6<$c/DCIM/100A/IMG_0003.JPG> <0.000010>
100 1796668310.191000 openat(7</t>, ".quillfen-IMG_0003.JPG.partial-100", O_RDWR|O_CREAT|O_EXCL|O_CLOEXEC, 0666) = 8</t/.quillfen-IMG_0003.JPG.partial-100> <0.000010>
100 1796668310.192000 read(6<$c/DCIM/100A/IMG_0003.JPG>, "\\3\\4"..., 1048576) = 1048576 <0.002000>
100 1796668310.195000 sync_file_range(8</t/.quillfen-IMG_0003.JPG.partial-100>, 0, 0, SYNC_FILE_RANGE_WRITE) = 0 <0.001000>
102 1796668310.196000 fsync(8</t/.quillfen-IMG_0003.JPG.partial-100>) = 0 <0.004000>
102 1796668310.201000 read(8</t/.quillfen-IMG_0003.JPG.partial-100>, "\\3\\4"..., 1048576) = 1048576 <0.003000>
100 1796668310.210000 renameat2(7</t>, ".quillfen-IMG_0003.JPG.partial-100", 7</t>, "IMG_0003.JPG", RENAME_NOREPLACE) = 0 <0.000020>
100 1796668310.211000 fsync(7</t>) = 0 <0.001000>
100 1796668310.220000 unlink("$c/DCIM/100A/IMG_0003.JPG") = 0 <0.001000>
100 1796668310.250000 exit_group(0) = ?
""".replace("$c", CARD)


class CardTrace(unittest.TestCase):
    def phases(self, trace):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "trace")
            with open(path, "w", encoding="utf-8") as out:
                out.write(trace)
            return " ".join("%s %s" % pair for pair in card_phases(path, CARD))

    def test_phases_of_a_traced_move(self):
        self.assertEqual(self.phases(TRACE),
                         "pictures 3 batches 2 copy 0.118 flush 0.018 readback 0.014 wait 0.032 folder 0.020 "
                         "unlink 0.003 between 0.027 rest 0.050 total 0.250 hinted 1 ahead 1 unread 0.022 "
                         "before 0.030 after 0.056")

    def test_calls_told_apart(self):
        # A failed open of a picture starts nothing, fdatasync flushes and
        # unlinkat removes as fsync and unlink do, renameat names as
        # renameat2 does, and a hint to read ahead counts as reading ahead.
        lines = [
            '1 10.000 openat(AT_FDCWD, "$c/DCIM/A.JPG", O_RDONLY) = -1 ENOENT (No such file) <0.001>',
            '1 10.100 openat(AT_FDCWD, "$c/DCIM/A.JPG", O_RDONLY) = 5<$c/DCIM/A.JPG> <0.001>',
            '1 10.200 openat(7</t>, ".A.partial", O_RDWR|O_CREAT|O_EXCL) = 6</t/.A.partial> <0.001>',
            '1 10.300 fadvise64(5<$c/DCIM/A.JPG>, 0, 0, POSIX_FADV_WILLNEED) = 0 <0.001>',
            '2 10.700 fdatasync(6</t/.A.partial>) = 0 <0.100>',
            '2 10.800 read(6</t/.A.partial>, "", 4096) = 0 <0.050>',
            '1 10.900 renameat(7</t>, ".A.partial", 7</t>, "A.JPG") = 0 <0.001>',
            '1 11.000 fdatasync(7</t>) = 0 <0.010>',
            '1 11.100 unlinkat(AT_FDCWD, "$c/DCIM/A.JPG", 0) = 0 <0.050>',
            '1 12.000 exit_group(0) = ?',
        ]
        self.assertEqual(self.phases("\n".join(lines).replace("$c", CARD) + "\n"),
                         "pictures 1 batches 1 copy 0.201 flush 0.100 readback 0.050 wait 0.599 folder 0.200 "
                         "unlink 0.050 between 0.000 rest 0.950 total 2.000 hinted 1 ahead 0")

    def test_a_move_without_reads_ahead(self):
        # Without the reader thread the card is idle outside the copying;
        # without reads of the card there is no idle time to tell.
        alone = "\n".join(line for line in TRACE.splitlines()
                          if "O_NONBLOCK" not in line and "pread64" not in line and " read(" not in line)
        self.assertEqual(self.phases(alone + "\n"),
                         "pictures 3 batches 2 copy 0.118 flush 0.018 readback 0.000 wait 0.032 folder 0.020 "
                         "unlink 0.003 between 0.027 rest 0.050 total 0.250 hinted 0 ahead 0")


if __name__ == "__main__":
    unittest.main()
