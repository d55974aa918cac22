#!/usr/bin/env python3
"""The bulk runs' sample invoice (examples/batch/invoice.py) drawn the way a Python user who
cares for speed draws it without Palvex: ReportLab's canvas, python-bidi for the strings that
hold right-to-left letters, Liberation Sans embedded, the font set only when it changes. The
same texts, columns and totals on an A4 page; report(record, path) is what a worker calls.

    python3 bench/peers/reportlab_invoice.py K out.pdf      (sample invoice K alone)
"""

import functools
import os
import pathlib
import re
import subprocess
import sys

from bidi.algorithm import get_display
from reportlab.lib.pagesizes import A4
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "examples" / "batch"))
import invoice  # noqa: E402  (the records and money of the Palvex example)

WIDTH, HEIGHT = A4
MARGIN = 2 * 72 / 2.54
# Column right edges from the right margin, in points (the example's twips / 20).
COLUMN_WIDTHS = [500 / 20, 4700 / 20, 900 / 20, 1300 / 20, 1400 / 20]
COLUMN_TITLES = ["#", "פריט", "כמות", "מחיר", "סכום"]
RIGHT_TO_LEFT = re.compile("[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufefc]")


def _font_file(pattern):
    return subprocess.run(["fc-match", "-f", "%{file}", pattern], check=True,
                          capture_output=True, text=True).stdout


@functools.lru_cache(maxsize=None)
def _fonts():
    pdfmetrics.registerFont(TTFont("Sans", _font_file("Liberation Sans")))
    pdfmetrics.registerFont(TTFont("Sans-Bold", _font_file("Liberation Sans:bold")))
    return True


@functools.lru_cache(maxsize=4096)
def _visual(text):
    return get_display(text) if RIGHT_TO_LEFT.search(text) else text


class _Page:
    def __init__(self, path):
        _fonts()
        self.canvas = canvas.Canvas(path, pagesize=A4)
        self.font = None

    def text(self, x, y, text, size=10, bold=False, align="right"):
        font = ("Sans-Bold" if bold else "Sans", size)
        if font != self.font:
            self.canvas.setFont(*font)
            self.font = font
        draw = {"right": self.canvas.drawRightString, "left": self.canvas.drawString,
                "center": self.canvas.drawCentredString}[align]
        draw(x, HEIGHT - y, _visual(text))


def report(record, path):
    page = _Page(path)
    c = page.canvas
    right = WIDTH - MARGIN
    page.text(WIDTH / 2, 50, "אופק מערכות מידע בע״מ", 16, True, "center")
    page.text(WIDTH / 2, 70, f"חשבונית מס {record['number']}", 12, True, "center")
    page.text(right, 100, record["customer"])
    page.text(right, 113, f"{record['address']}. תאריך: {record['date']}")
    edges = [right]
    for width in COLUMN_WIDTHS:
        edges.append(edges[-1] - width)
    y = 140
    for title, edge in zip(COLUMN_TITLES, edges):
        page.text(edge - 3, y, title, 12, True)
    c.line(edges[-1], HEIGHT - y - 4, right, HEIGHT - y - 4)
    subtotal = 0
    for line, (item, quantity, price) in enumerate(record["items"], 1):
        y += 16
        subtotal += quantity * price
        cells = [str(line), item, str(quantity), invoice.money(price),
                 invoice.money(quantity * price)]
        for cell, edge in zip(cells, edges):
            page.text(edge - 3, y, cell, 12)
        c.line(edges[-1], HEIGHT - y - 4, right, HEIGHT - y - 4)
    vat = (subtotal * invoice.VAT_PERCENT + 50) // 100
    for label, amount, bold in [("סכום ביניים", subtotal, False),
                                (f"מע\"מ {invoice.VAT_PERCENT}%", vat, False),
                                ("לתשלום", subtotal + vat, True)]:
        y += 16
        page.text(edges[3] - 3, y, label, 12, bold)
        page.text(edges[4] - 3, y, invoice.money(amount), 12, bold)
    page.text(WIDTH / 2, HEIGHT - 30, "עמוד 1 מתוך 1", 12, True, "center")
    c.showPage()
    c.save()
    return 1


def render(job):
    """One invoice to its file, whole or not at all and on the disk when it returns, as
    palvex.batch writes them: (record, target) -> pages."""
    record, target = job
    part = os.path.join(os.path.dirname(target), f".{os.path.basename(target)}.part-{os.getpid()}")
    pages = report(record, part)
    # As durable as Palvex's: the file on the disk before its name, the name before the next.
    with open(part, "rb") as written:
        os.fsync(written.fileno())
    os.replace(part, target)
    folder = os.open(os.path.dirname(target) or ".", os.O_RDONLY | os.O_DIRECTORY)
    try:
        os.fsync(folder)
    finally:
        os.close(folder)
    return pages


if __name__ == "__main__":
    k = int(sys.argv[1]) if len(sys.argv) > 1 else 1
    print(report(invoice.sample(k), sys.argv[2] if len(sys.argv) > 2 else "invoice.pdf"))
