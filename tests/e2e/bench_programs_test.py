"""The benchmark programs' own parts (run by bench_figures.sh): the
performance page written from a figures file, line for line as it has
always been written (tests/e2e/bench/performance.md, from
tests/e2e/bench/figures.tsv), the card's part of a page replaced alone, the
forms of the page's figures, the options of bench-card and bench-plan,
bench-card's report printed again from its figures as it was printed, the
counts bench-plan takes from its trace and from date_taken_bench, and
bench-move's table and cards."""

import contextlib
import importlib.util
import io
import os
import subprocess
import sys
import tempfile
import unittest
from importlib.machinery import SourceFileLoader
from unittest import mock

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DATA = os.path.join(ROOT, "tests", "e2e", "bench")
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))

import report_figures as rf  # noqa: E402


def program(name):
    """One of scripts/, loaded as a module (its main is not run)."""
    loader = SourceFileLoader(name.replace("-", "_"), os.path.join(ROOT, "scripts", name))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(module)
    return module


def report(*args):
    return subprocess.run([os.path.join(ROOT, "scripts", "performance-report"), *args], capture_output=True,
                          text=True, check=False)


def refused(function, *args):
    """The message a program gives as it refuses (exit status 2)."""
    err = io.StringIO()
    with contextlib.redirect_stderr(err), contextlib.redirect_stdout(io.StringIO()):
        try:
            function(*args)
        except SystemExit as stop:
            return stop.code, err.getvalue().strip().split("\n")[-1]
    return 0, ""


class Page(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp()

    def tearDown(self):
        subprocess.run(["rm", "-rf", self.work], check=True)

    def read(self, path):
        with open(path, encoding="utf-8") as page:
            return page.read()

    def test_the_page_from_its_figures(self):
        page = os.path.join(self.work, "sub", "performance.md")
        done = report("--render", os.path.join(DATA, "figures.tsv"), "--output", page)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, "wrote %s (figures: %s)\n" % (page, os.path.join(DATA, "figures.tsv")))
        self.assertEqual(self.read(page).split("\n"), self.read(os.path.join(DATA, "performance.md")).split("\n"))

    def test_the_cards_part_replaced_alone(self):
        # From the same figures the card's part comes out as it was; with
        # other figures only the card's rows and section change.
        page = os.path.join(self.work, "performance.md")
        expected = self.read(os.path.join(DATA, "performance.md"))
        with open(page, "w", encoding="utf-8") as out:
            out.write(expected)
        cards = os.path.join(self.work, "cards.tsv")
        with open(os.path.join(DATA, "figures.tsv"), encoding="utf-8") as figures, \
                open(cards, "w", encoding="utf-8") as out:
            out.writelines(line.replace("card.jpeg.move\t0.169", "card.jpeg.move\t9.169")
                           for line in figures if line.startswith(("card.", "plan.dated.bytes_each")))
        self.assertEqual(report("--card-only", "--render", cards, "--output", page).returncode, 0)
        changed = [(a, b) for a, b in zip(expected.split("\n"), self.read(page).split("\n")) if a != b]
        self.assertEqual(len(changed), 3, changed)
        for before, after in changed:
            self.assertIn("0.17 s", before)
            self.assertIn("9.17 s", after)

    def test_refusals(self):
        figures = os.path.join(DATA, "figures.tsv")
        without_cards = os.path.join(self.work, "none.tsv")
        with open(without_cards, "w", encoding="utf-8") as out:
            out.write("report.runs\t5\tnote\t0\t\n")
        page = os.path.join(self.work, "page.md")
        open(page, "w", encoding="utf-8").close()
        cases = [
            (["--runs", "0"], 2, "run counts are whole numbers of 1 or more"),
            (["--large-runs", "x"], 2, "run counts are whole numbers of 1 or more"),
            (["--card-only", "--output", os.path.join(self.work, "missing.md")], 2,
             "no %s to update: write the whole page first" % os.path.join(self.work, "missing.md")),
            (["--card-only", "--render", without_cards, "--output", page], 2, "no figures of the card in "
             + without_cards),
            (["--render", os.path.join(self.work, "gone.tsv")], 1, "no figures file "
             + os.path.join(self.work, "gone.tsv")),
            (["--render", figures, "--unknown"], 2, None),
        ]
        for args, status, message in cases:
            with self.subTest(" ".join(args)):
                done = report(*args)
                self.assertEqual(done.returncode, status, done.stderr)
                if message:
                    self.assertEqual(done.stderr.strip().split("\n")[-1], message)


class Forms(unittest.TestCase):
    def test_forms_of_the_figures(self):
        cases = [
            (rf.sec, ("9.994",), "9.99 s"), (rf.sec, ("9.996",), "10.00 s"), (rf.sec, ("10",), "10.0 s"),
            (rf.sec, ("-",), "-"),
            (rf.ms, ("0.055",), "0.06 ms"), (rf.ms, ("1",), "1.0 ms"), (rf.ms, ("9.96",), "10.0 ms"),
            (rf.ms, ("10.5",), "10 ms"), (rf.ms, ("11.5",), "12 ms"), (rf.ms, ("-",), "-"),
            (rf.mb, ("41.44",), "41.4 MB"), (rf.mb, ("-",), "-"),
            (rf.times_x, ("1.21",), "1.21×"), (rf.times_x, ("-",), "-"),
            (rf.ratio_x, ("3", "2"), "1.50×"), (rf.ratio_x, ("3", "-"), "-"),
            (rf.verdict, ("1.21", "1.2"), "**missed**, by 1% (1.0 times the limit)"),
            (rf.verdict, ("0.07", "0.5"), "met (86% below the limit)"),
            (rf.verdict, ("0.5", "0.5"), "met (0% below the limit)"),
            (rf.verdict, ("-", "2"), "not measured"),
            (rf.number, ("10000",), "10,000"), (rf.number, ("1234567",), "1,234,567"),
            (rf.number, ("999",), "999"), (rf.number, ("500x4",), "500x4"), (rf.number, ("-",), "-"),
            (rf.per_picture_ms, ("12.0", "1.35", "10000"), "1.06"),
            (rf.per_picture_ms, ("1", "0", "0"), "inf"), (rf.per_picture_ms, ("0", "0", "0"), "-nan"),
            (rf.times_text, ("1.00", "once", "times"), "once"),
            (rf.times_text, ("2.50", "once", "times"), "2.50 times"),
            (rf.trim, ("  6 MiB JPEG  ",), "6 MiB JPEG"),
            (rf.awk_print, (0.348,), "0.348"), (rf.awk_print, (3.0,), "3"), (rf.awk_print, (1.2345678,), "1.23457"),
        ]
        for function, args, expected in cases:
            with self.subTest("%s%r" % (function.__name__, args)):
                self.assertEqual(function(*args), expected)

    def test_figures_read_back(self):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "f.tsv")
            with open(path, "w", encoding="utf-8") as out:
                out.write("a\t1\ts\t3\t2 10 1\nb\t\tnote\t0\t\na\t5\ts\t2\t9 10\n"
                          "machine.0\tdate: x\tnote\t0\t\nmachine.1\tcpu: y\tnote\t0\t\n")
            figures = rf.Figures(path)
        cases = [
            ("the last line of a key", figures.fig("a"), "5"),
            ("no median", figures.fig("b"), "-"),
            ("no such key", figures.fig("c"), "-"),
            ("every run", figures.all("a"), "9 10"),
            ("runs", figures.count("a"), "2"),
            ("lowest and highest, as numbers", figures.spread("a"), "9–10"),
            ("no runs to spread", figures.spread("b"), ""),
            ("highest", figures.highest("a"), "10"),
            ("no highest", figures.highest("c"), "-"),
        ]
        for name, got, expected in cases:
            with self.subTest(name):
                self.assertEqual(got, expected)
        self.assertEqual(figures.machine, ["date: x", "cpu: y"])


class BenchCard(unittest.TestCase):
    card = program("bench-card")

    def arguments(self, *args):
        with mock.patch.object(sys, "argv", ["bench-card", *args]):
            return self.card.arguments()

    def test_options(self):
        args = self.arguments("--runs", "3", "--methods", "paused,move,traced", "--layout", "shots", "x")
        self.assertEqual(args.methods, ["move", "traced", "paused"])
        self.assertEqual((args.runs, args.key, args.build), (3, "card.shots", os.path.realpath("x")))
        self.assertEqual(self.arguments().runs, 1)

    def test_refused_options(self):
        cases = [
            (["--layout", "raw"], "--layout is jpeg or shots"),
            (["--fs", "vfat"], "--fs is ext4, exfat or faultfs"),
            (["--pictures", "0"], "--pictures needs a count of 1 or more"),
            (["--mib", "6,"], "--mib is J or J,R (whole MiB)"),
            (["--rate", "1.5"], "--rate is whole MB/s"),
            (["--methods", "move,copy,dance"], "--methods takes " + " ".join(self.card.ALL_METHODS)),
            (["--methods", ","], "--methods needs one method or more"),
            (["--methods", "move,paused"], "--methods: paused takes its pause from traced"),
        ]
        for args, message in cases:
            with self.subTest(" ".join(args)):
                self.assertEqual(refused(self.arguments, *args), (2, message))

    def test_settings_and_sizes(self):
        args = self.arguments("--layout", "shots", "--pictures", "20", "--mib", "6,25",
                              "--settings", "Subfolder=True AutoRename=True DateTakenFolders=True")
        settings = self.card.settings_of(args)
        layout = self.card.card_layout(args, settings)
        self.assertEqual(layout["settings_text"], "Automoving=True AutoRename=True Subfolder=True "
                                                  "AllCameraFiles=True DateTakenFolders=True")
        self.assertEqual((layout["files"], layout["bytes"], layout["mb"], layout["image_mib"]),
                         (40, 20 * 31 * 1048576, "650.1", 715))
        jpegs = self.arguments("--pictures", "3", "--mib", "2")
        layout = self.card.card_layout(jpegs, self.card.settings_of(jpegs))
        self.assertEqual((layout["files"], layout["raw_bytes"], layout["mb"]), (3, 25 * 1048576, "6.3"))
        for bad in ("Target=/tmp", "Subfolder"):
            with self.subTest(bad):
                code, message = refused(self.card.settings_of, self.arguments("--settings", bad))
                self.assertEqual(code, 2)
                self.assertIn(bad, message)


    def test_report_as_printed(self):
        # The figures of three runs of the card read back into their runs,
        # printed again: line for line what the run printed (its device and
        # target aside, which are this machine's).
        runs = {}
        with open(os.path.join(DATA, "card-figures.tsv"), encoding="utf-8") as figures:
            for line in figures:
                key, _, unit, _, values = line.rstrip("\n").split("\t")
                prefix, _, name = key[len("card."):].partition(".")
                runs.setdefault(prefix, {})[name] = values.split() if unit != "note" else line.split("\t")[1]
        for prefix, printed in [("jpeg", "card-limited.txt"), ("x", "card-paced.txt"), ("shots", "card-shots.txt")]:
            with self.subTest(printed):
                with open(os.path.join(DATA, printed), encoding="utf-8") as out:
                    expected = out.read()
                self.assertEqual(self.reprinted(runs[prefix], expected.split("\n")[0]), expected)

    def reprinted(self, run, card_line):
        args = self.arguments("--runs", run["runs"], "--methods", run["methods"].replace(" ", ","),
                              "--layout", run["layout"], "--pictures", run["pictures"], "--mib", run["mib"],
                              "--fs", run["fs"])
        layout = self.card.card_layout(args, self.card.settings_of(args))
        bench = self.card.Bench(args, self.card.Card(args, "/nowhere"), layout)
        for name, values in run.items():
            if isinstance(values, list) and name != "load":
                bench.times[name.replace("phase.", "phase_").replace(".", "_")] = values
        bench.times["phase_hinted"] = [run["hinted"]]
        card_text = card_line.split(" MB; ", 1)[1]
        out = io.StringIO()
        with mock.patch.object(self.card.Report, "read_ahead", lambda _: (run["readahead_kb"], card_text)), \
                mock.patch.object(self.card.bc, "volume", lambda _: run["target"]), \
                contextlib.redirect_stdout(out):
            report = self.card.Report(bench, layout, run["load"], "" if run["others"] == "none" else run["others"])
            report.print_card()
            report.print_figures()
            report.print_phases()
            report.print_card_speed()
        return out.getvalue()[1:]


class BenchPlan(unittest.TestCase):
    plan = program("bench-plan")

    def arguments(self, *args):
        with mock.patch.object(sys, "argv", ["bench-plan", *args]):
            return self.plan.arguments()

    def test_counts_and_the_build_folder(self):
        cases = [
            ((), (30000, 10000, os.path.join(ROOT, "build"))),
            (("500",), (500, 10000, os.path.join(ROOT, "build"))),
            (("b", "500", "20"), (500, 20, os.path.realpath("b"))),
            (("500", "b", "20"), (500, 20, os.path.realpath("b"))),
        ]
        for args, expected in cases:
            with self.subTest(" ".join(args)):
                got = self.arguments(*args)
                self.assertEqual((got.pictures, got.shots, got.build), expected)
        self.assertEqual(self.arguments("--mib", "2,5").jpeg_mib, "2")
        for args, message in [(("1", "2", "3"), "at most two counts: pictures and shots"),
                              (("a", "b"), "one build folder only"), (("--mib", "5"), "--mib is J,R (whole MiB)")]:
            with self.subTest(" ".join(args)):
                self.assertEqual(refused(self.arguments, *args), (2, message))

    def test_date_reads_from_a_trace(self):
        # Every read through a descriptor of a picture on the card counts,
        # whatever its kind; a folder's listing, a failed open, a read that
        # failed and the other card's pictures do not.
        card = "/w/dated"
        trace = "\n".join([
            '7 openat(AT_FDCWD, "/w/dated/DCIM", O_RDONLY|O_DIRECTORY) = 3</w/dated/DCIM>',
            '7 openat(AT_FDCWD, "/w/dated/DCIM/100TEST/IMG_0001.JPG", O_RDONLY) = 4</w/dated/DCIM/100TEST/IMG_0001.JPG>',
            '7 read(4</w/dated/DCIM/100TEST/IMG_0001.JPG>, "\\377\\330"..., 16384) = 16384',
            '7 openat(AT_FDCWD, "/w/dated/DCIM/100TEST/IMG_0002.JPG", O_RDONLY) = 4</w/dated/DCIM/100TEST/IMG_0002.JPG>',
            '8 pread64(4</w/dated/DCIM/100TEST/IMG_0002.JPG>, "\\377"..., 4096, 0) = 4096',
            '8 preadv2(4</w/dated/DCIM/100TEST/IMG_0002.JPG>, [...], 1, 0, 0) = 100',
            '7 read(4</w/dated/DCIM/100TEST/IMG_0002.JPG>, 0x1, 10) = -1 EIO (Input/output error)',
            '7 openat(AT_FDCWD, "/w/dated/DCIM/100TEST/IMG_0003.JPG", O_RDONLY) = -1 ENOENT (No such file)',
            '7 read(5</w/shots/DCIM/100TEST/IMG_0001.JPG>, "", 10) = 10',
        ]) + "\n"
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "trace")
            with open(path, "w", encoding="utf-8") as out:
                out.write(trace)
            self.assertEqual(self.plan.date_reads(path, card, 2), ("10290", "1.50", "1.00"))

    def test_kinds_from_date_taken_bench(self):
        output = ("small JPEG 429 bytes: 429 read in 1 reads\n"
                  "bytes read per picture:\n"
                  "  small JPEG                   429 bytes:     429 read in 1 reads\n"
                  "  6 MiB TIFF (as a raw file)   6291842 bytes:   65536 read in 2 reads, 3 seeks\n"
                  "  no date   12 bytes: none\n")
        self.assertEqual(self.plan.kinds_of(output), [("small JPEG", "429", "429", "1"),
                                                      ("6 MiB TIFF (as a raw file)", "6291842", "65536", "2")])


class BenchMove(unittest.TestCase):
    move = program("bench-move")

    def test_table_columns(self):
        self.assertEqual(self.move.columns(self.move.HEADER),
                         "pictures where                  quillfen_s     mv_s  mv+sync_s   vs_mv vs_mv+sync     "
                         "cp_s  cp+rm_s cp+rm+sync_s vs_cp+rm+sync each_sync_s  peak_MB")
        row = self.move.columns(["1000", "one volume", "0.130", "0.108", "-", "1.21", "-", "-", "-", "-", "-",
                                 "-", "41.4"])
        self.assertTrue(row.startswith("1000     one volume                  0.130    0.108          -    1.21"))
        self.assertTrue(row.endswith("          -     41.4"))

    def test_cards(self):
        with tempfile.TemporaryDirectory() as work:
            cards = self.move.Cards(work, 100)
            cards.small(os.path.join(work, "card"), 1001)
            first = os.path.join(work, "card", "DCIM", "100TEST")
            self.assertEqual(len(os.listdir(first)), 1000)
            self.assertEqual(os.listdir(os.path.join(work, "card", "DCIM", "101TEST")), ["IMG_01000.JPG"])
            with open(os.path.join(first, "IMG_00007.JPG"), encoding="ascii") as picture:
                seventh = picture.read()
            with open(os.path.join(first, "IMG_00008.JPG"), encoding="ascii") as picture:
                eighth = picture.read()
            self.assertEqual((len(seventh), seventh[:8], eighth[8:]), (100, "00000007", seventh[8:]))
            cards.large_mib = 1
            cards.large(os.path.join(work, "large"), 2)
            large = os.path.join(work, "large", "DCIM", "100TEST")
            self.assertEqual(os.path.getsize(os.path.join(large, "IMG_00001.JPG")), 1048576)


if __name__ == "__main__":
    unittest.main()
