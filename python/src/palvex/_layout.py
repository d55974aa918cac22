"""Paragraphs and tables in Python's terms, over the control's layout members.

    with report.table([(1500, palvex.RIGHT, "מס׳ חשבון"), (4000, palvex.RIGHT, "שם")]) as t:
        t.row([100001, "קופה ראשית"])
        t.rows(accounts)  # many rows, a few calls into the library
"""

import enum
import itertools


class Align(enum.IntEnum):
    """Where the lines of a paragraph or a table cell lie in their box."""

    RIGHT = 1
    CENTER = 2
    LEFT = 3
    JUSTIFIED = 4  # the last line of a paragraph lies right


RIGHT, CENTER, LEFT, JUSTIFIED = Align.RIGHT, Align.CENTER, Align.LEFT, Align.JUSTIFIED

# Rows per TableRows call: the cost of a ctypes call spread thin, while one string stays small.
_ROWS_PER_CALL = 500

_CELL_SEPARATOR = "\t"
_ROW_SEPARATOR = "\x1e"
# A tab or row separator inside a cell would split it: it is written as a blank.
_SPLITTERS = str.maketrans({_CELL_SEPARATOR: " ", _ROW_SEPARATOR: " "})


def _cell(value):
    if value is None:
        return ""
    text = value if isinstance(value, str) else str(value)
    return text.translate(_SPLITTERS)


def _joined(cells):
    return _CELL_SEPARATOR.join(map(_cell, cells))


class Table:
    """A table being printed (see Report.table); rows go in through row() and rows()."""

    __slots__ = ("_report",)

    def __init__(self, report):
        self._report = report

    def row(self, cells):
        """One row, its cells from the right; missing cells are empty, None is empty, other
        values print as str() writes them."""
        self._report.TableRow(_joined(cells))

    def rows(self, rows):
        """Many rows from any iterable of cell lists, recorded a few hundred to a call."""
        iterator = iter(rows)
        while True:
            batch = list(itertools.islice(iterator, _ROWS_PER_CALL))
            if not batch:
                return
            self._report.TableRows(_ROW_SEPARATOR.join(map(_joined, batch)))


class _TableContext:
    __slots__ = ("_report", "_columns", "_repeat_header", "_lines")

    def __init__(self, report, columns, repeat_header, lines):
        self._report = report
        self._columns = columns
        self._repeat_header = repeat_header
        self._lines = lines

    def __enter__(self):
        report = self._report
        report.TableClear()
        if self._lines is not None:
            report.TableLines = self._lines
        for column in self._columns:
            width, alignment, header = _column(column)
            report.TableAddColumn(width, int(alignment), _cell(header))
        report.TableBegin(self._repeat_header)
        return Table(report)

    def __exit__(self, exc_type, *_):
        # Also when a row failed: the rows before it stay a closed table, and the row's own
        # error is the one the host sees.
        try:
            self._report.TableEnd()
        except Exception:
            if exc_type is None:
                raise


def _column(column):
    """(width, alignment, header) from a width alone or a tuple of one to three."""
    if isinstance(column, (int, float)):
        return column, RIGHT, ""
    width, *rest = column
    return width, rest[0] if rest else RIGHT, rest[1] if len(rest) > 1 else ""


def paragraph(self, text, width, alignment=RIGHT, line_spacing=1):
    """Text wrapped into lines no wider than `width` twips, in a box whose right edge is
    CurrentX; CurrentY ends below the last line. A page that fills goes on to the next."""
    self.printParagraph(text, width, int(alignment), line_spacing)


def table(self, columns, repeat_header=True, lines=None):
    """A table from CurrentX leftwards, its header row in bold, repeated on every page it
    crosses unless repeat_header is False. Each column is (width in twips, alignment, header),
    the first the rightmost; `lines` sets TableLines (0 none, 1 under the header, 2 between
    rows, 3 a grid). Use it in a with block: the table ends when the block does."""
    return _TableContext(self, list(columns), bool(repeat_header), lines)
