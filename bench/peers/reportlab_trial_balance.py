#!/usr/bin/env python3
"""The yardstick printed the way a Python user who cares for speed prints it without Palvex:
ReportLab's canvas, with python-bidi putting the right-to-left strings in visual order (Debian:
python3-reportlab, python3-bidi). The same strings at the same positions as bench-trial-balance
and examples/python/trial_balance.py, in Liberation Sans, embedded. As such a user writes it, the
font is set only when it changes, and only strings that hold right-to-left letters are reordered
(each distinct one once): numbers and codes go straight to the canvas.

    python3 bench/peers/reportlab_trial_balance.py out.pdf [--pages N]
"""

import argparse
import functools
import re
import subprocess
import sys

from bidi.algorithm import get_display
from reportlab.lib.pagesizes import A4
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

ROWS_PER_PAGE = 50
NAMES = ["קופה ראשית", "בנק לאומי", "בנק הפועלים", "לקוחות", "ספקים", "מלאי", "רכוש קבוע",
         "פחת נצבר", "הון מניות", "עודפים", "מכירות", "קניות", "שכר עבודה", "שכר דירה",
         "חשמל ומים", "תקשורת", "פרסום", "ביטוח", "הוצאות רכב", "מע״מ עסקאות"]
BRANCHES = ["תל אביב", "ירושלים", "חיפה", "באר שבע", "אילת"]
COMPANY = "א.ב. מסחר והפצה בע״מ - AB Trading Ltd"
TITLE = "מאזן בוחן - Trial balance"
COLUMN_TITLES = ["מס׳ חשבון", "שם חשבון", "קוד", "חובה", "זכות"]
TOTAL = "סה״כ - Total"

# Where Palvex puts them, in points: each column's right end from the page's left edge (12 mm
# margins, the columns 1400, 5800, 7000 and 8800 twips in), and baselines from the top.
WIDTH, HEIGHT = A4
RIGHT = WIDTH - 12 * 72 / 25.4
COLUMN_RIGHT = [RIGHT - twips / 20 for twips in (0, 1400, 5800, 7000, 8800)]
COMPANY_BASELINE, TITLE_BASELINE, TITLES_BASELINE = 41.16, 55.45, 81.24
FIRST_ROW_BASELINE, ROW_STEP = 92.75, 11.5
PAGE_NUMBER_BASELINE = 822.96
ASCENT = 0.905  # Liberation Sans, in ems: what lies above a baseline


def font_file(pattern):
    """The installed font's file, as fontconfig finds it for every other program."""
    return subprocess.run(["fc-match", "-f", "%{file}", pattern], check=True,
                          capture_output=True, text=True).stdout


def money(agorot):
    return f"{agorot // 100:,}.{agorot % 100:02d}"


RIGHT_TO_LEFT = re.compile("[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufefc]")


@functools.lru_cache(maxsize=4096)
def reordered(text):
    return get_display(text)


def visual(text):
    return reordered(text) if RIGHT_TO_LEFT.search(text) else text


class FontOf:
    """The canvas's current font, set again only when it changes (and after a page ends)."""

    def __init__(self, page):
        self.page = page
        self.current = None

    def set(self, font, size):
        if self.current != (font, size):
            self.page.setFont(font, size)
            self.current = (font, size)


def text_at(fonts, font, size, right, baseline, text):
    fonts.set(font, size)
    fonts.page.drawRightString(right, HEIGHT - baseline, visual(text))


def centred(fonts, font, size, baseline, text, underline=False):
    fonts.set(font, size)
    page = fonts.page
    visual_text = visual(text)
    page.drawCentredString(WIDTH / 2, HEIGHT - baseline, visual_text)
    if underline:
        half = pdfmetrics.stringWidth(visual_text, font, size) / 2
        page.setLineWidth(0.073 * size)
        y = HEIGHT - baseline - 0.106 * size
        page.line(WIDTH / 2 - half, y, WIDTH / 2 + half, y)


def headers(fonts):
    centred(fonts, "Bold", 14, COMPANY_BASELINE, COMPANY)
    centred(fonts, "Regular", 12, TITLE_BASELINE, TITLE, underline=True)
    for right, title in zip(COLUMN_RIGHT, COLUMN_TITLES):
        text_at(fonts, "Bold", 10, right, TITLES_BASELINE, title)


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("pdf")
    arguments.add_argument("--pages", type=int, default=3)
    options = arguments.parse_args()
    pdfmetrics.registerFont(TTFont("Regular", font_file("Liberation Sans")))
    pdfmetrics.registerFont(TTFont("Bold", font_file("Liberation Sans:bold")))
    page = canvas.Canvas(options.pdf, pagesize=A4)
    fonts = FontOf(page)
    totals = [0, 0]
    rows = options.pages * ROWS_PER_PAGE
    for i in range(rows):
        line = i % ROWS_PER_PAGE
        if line == 0:
            if i:
                page.showPage()
                fonts.current = None  # a new page starts with the canvas's first font
            headers(fonts)
        baseline = FIRST_ROW_BASELINE + ROW_STEP * line
        agorot = (i * 7919) % 1000000
        debit = i % 2 == 0
        totals[0 if debit else 1] += agorot
        text_at(fonts, "Regular", 10, COLUMN_RIGHT[0], baseline, str(100000 + i))
        text_at(fonts, "Regular", 10, COLUMN_RIGHT[1], baseline,
                f"{NAMES[i % 20]} - {BRANCHES[(i // 20) % 5]}")
        text_at(fonts, "Regular", 10, COLUMN_RIGHT[2], baseline, str(i % 9000))
        text_at(fonts, "Regular", 10, COLUMN_RIGHT[3 if debit else 4], baseline, money(agorot))
        if line == ROWS_PER_PAGE - 1 or i == rows - 1:
            if i == rows - 1:
                baseline += ROW_STEP
                text_at(fonts, "Bold", 10, COLUMN_RIGHT[1], baseline, TOTAL)
                text_at(fonts, "Bold", 10, COLUMN_RIGHT[3], baseline, money(totals[0]))
                text_at(fonts, "Bold", 10, COLUMN_RIGHT[4], baseline, money(totals[1]))
            centred(fonts, "Bold", 14, PAGE_NUMBER_BASELINE, f"-{i // ROWS_PER_PAGE + 1}-")
    page.showPage()
    page.save()
    print(f"{options.pdf}: {options.pages} pages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
