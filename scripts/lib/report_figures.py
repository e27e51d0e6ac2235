"""The figures of a performance run read back from their file, and the
forms the performance page gives them (imported by scripts/performance-report).
Every form is the one the page has always had: seconds to two places below
ten, thousands with commas, "-" for a figure that was not measured."""

import math
import re

from bench_common import highest as highest_of, is_number, num, ratio, sort_g


class Figures:
    """A figures file: key <TAB> median <TAB> unit <TAB> runs <TAB> all
    values; a key given twice counts as its last line."""

    def __init__(self, path):
        self.lines = {}
        self.machine = []
        with open(path, encoding="utf-8", errors="surrogateescape") as tsv:
            for line in tsv.read().split("\n"):
                fields = line.split("\t")
                if line or len(fields) > 1:
                    self.lines[fields[0]] = fields
                if fields[0].startswith("machine.") and len(fields) > 1:
                    self.machine.append(fields[1])

    def field(self, key, index):
        fields = self.lines.get(key, [])
        return fields[index] if index < len(fields) else ""

    def fig(self, key):
        """The median, "-" when there is none."""
        return self.field(key, 1) or "-"

    def all(self, key):
        """Every run's value, as one text."""
        return self.field(key, 4)

    def count(self, key):
        """The runs."""
        return self.field(key, 3)

    def spread(self, key):
        """The lowest and highest run, "a–b"; "" when there are none."""
        values = self.all(key)
        if not values:
            return ""
        ordered = sort_g(values.split())
        return "%s–%s" % (ordered[0], ordered[-1]) if ordered else "–"

    def highest(self, key):
        values = self.all(key)
        return highest_of(values.split()) if values else "-"


def below(value, limit):
    """awk's value < limit: as numbers when the value is one, else as text."""
    return num(value) < limit if is_number(value) else value < _text(limit)


def above(value, limit):
    return num(value) > limit if is_number(value) else value > _text(limit)


def _text(limit):
    return "%d" % limit if limit == int(limit) else repr(limit)


def awk_print(value):
    """A number as awk's print gives it: whole numbers as such, else six
    significant digits."""
    if value == int(value) and abs(value) < 1e16:
        return "%d" % value
    return "%.6g" % value


# ---- seconds, milliseconds and megabytes, rounded for reading ----

def sec(value):
    if value == "-":
        return "-"
    return ("%.2f s" if below(value, 10) else "%.1f s") % num(value)


def ms(value):
    if value == "-":
        return "-"
    if below(value, 1):
        return "%.2f ms" % num(value)
    return ("%.1f ms" if below(value, 10) else "%.0f ms") % num(value)


def mb(value):
    return "-" if value == "-" else "%.1f MB" % num(value)


def times_x(value):
    return "-" if value == "-" else value + "×"


def verdict(value, limit):
    """Met or missed against an upper limit, and by how much."""
    if value == "-":
        return "not measured"
    v, l = num(value), float(limit)
    met = v <= l if is_number(value) else value <= limit
    if met:
        return "met (%.0f%% below the limit)" % ((1 - v / l) * 100)
    return "**missed**, by %.0f%% (%.1f times the limit)" % ((v / l - 1) * 100, v / l)


def div(a, b):
    """a / b as awk divides: by 0, an infinity or "not a number"."""
    if b:
        return a / b
    return math.copysign(math.inf, a) if a else -math.nan


def fixed(value, digits):
    """printf's "%.<digits>f", "-nan" and all."""
    if math.isnan(value):
        return "-nan" if math.copysign(1, value) < 0 else "nan"
    return "%.*f" % (digits, value)


def per_picture_ms(a, b, n):
    return fixed(div((num(a) - num(b)) * 1000, num(n)), 2)


def number(text):
    """Thousands set apart by commas: 10000 → 10,000."""
    while True:
        match = re.search(r"\B[0-9]{3}\b", text, re.ASCII)
        if not match:
            return text
        text = text[:match.start()] + "," + text[match.start():]


def trim(text):
    return re.sub(r" *$", "", re.sub(r"^ *", "", text))


def times_text(count, one, many):
    """"once" for 1.00, else "1.50 times"."""
    return one if count in ("1.00", "1") else "%s %s" % (count, many)


def ratio_x(a, b):
    return times_x(ratio(a, b))
