#!/usr/bin/env python3
"""A Hebrew trial balance, recorded through the palvex package and written as a PDF.

    python3 examples/python/trial_balance.py out.pdf [--pages N] [--table]

The project's yardstick, the report its peers print too: A4 portrait, margins 12 mm left and
right and 10 mm above and below; on every page the company, the title and five column titles
from right to left, fifty accounts (N pages, 3 unless told) and the page number; the last page
adds the totals. With --table the control lays the accounts out as a table (TableRows), breaking
the pages itself. Runs headless as well (QT_QPA_PLATFORM=offscreen); the report's own files go
to a temporary folder.
"""

import argparse
import pathlib
import sys
import tempfile

try:
    import palvex
except ModuleNotFoundError:  # run from a source checkout: the package that lies beside it
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "python" / "src"))
    import palvex

ROWS_PER_PAGE = 50
NAMES = ["קופה ראשית", "בנק לאומי", "בנק הפועלים", "לקוחות", "ספקים", "מלאי", "רכוש קבוע",
         "פחת נצבר", "הון מניות", "עודפים", "מכירות", "קניות", "שכר עבודה", "שכר דירה",
         "חשמל ומים", "תקשורת", "פרסום", "ביטוח", "הוצאות רכב", "מע״מ עסקאות"]
BRANCHES = ["תל אביב", "ירושלים", "חיפה", "באר שבע", "אילת"]

# The control counts x and the margins (but the bottom one) from the printable area, which on
# the PDF device starts 360 twips in from the paper's edges: 12 mm from the paper is 320 twips.
PRINTABLE_EDGE = 360
MARGIN_SIDE, MARGIN_TOP, MARGIN_BOTTOM = 680 - PRINTABLE_EDGE, 567 - PRINTABLE_EDGE, 567
# Where each column's text ends, in twips from the printable area's right edge: account, name,
# code, debit, credit (numbers end on their column's edge, so their decimal points line up).
COLUMN_X = [MARGIN_SIDE + x for x in (0, 1400, 5800, 7000, 8800)]
COMPANY = "א.ב. מסחר והפצה בע״מ - AB Trading Ltd"
TITLE = "מאזן בוחן - Trial balance"
COLUMN_TITLES = ["מס׳ חשבון", "שם חשבון", "קוד", "חובה", "זכות"]
TOTAL = "סה״כ - Total"


def money(agorot):
    """#,##0.00 from whole agorot: money is never counted in floating point."""
    return f"{agorot // 100:,}.{agorot % 100:02d}"


def account(i):
    """Row i of the report: (account, name, code, agorot, debit?)."""
    return (str(100000 + i), f"{NAMES[i % 20]} - {BRANCHES[(i // 20) % 5]}", str(i % 9000),
            (i * 7919) % 1000000, i % 2 == 0)


def page_headers(r, column_titles):
    """The company, the title and (for the host's own columns) the column titles: header
    lines the control repeats at the top of every page."""
    r.Header = True
    lines = [(COMPANY, None, 1, 14), (TITLE, None, 2, 12)]
    if column_titles:
        lines += [(text, x, 1 if n == 4 else 0, 10)
                  for n, (text, x) in enumerate(zip(COLUMN_TITLES, COLUMN_X))]
    for number, (text, x, line_ends, size) in enumerate(lines, start=1):
        r.fxNameHeader(number, text)
        r.fxFontsizeHeader(number, size)
        r.fxFontBoldHeader(number, number != 2)
        r.fxFontUnderlineHeader(number, number == 2)
        if x is None:
            r.fxAlignHeader(number, palvex.A2_AlignCenter)
        else:
            r.fxCurXHeader(number, x)
        r.fxEnterAfterHeader(number, line_ends)
    r.PrintHeader()


def body_font(r):
    r.FontName = "Liberation Sans"
    r.FontSize = 10
    r.FontBold = False


def accounts(r, pages):
    """Fifty rows a page, each cell placed by the host, the host ending each page."""
    page_headers(r, True)
    body_font(r)
    totals = [0, 0]
    # Bound once: the loop below makes half a million calls for a thousand pages.
    print_text, stay, next_line = r.printText, palvex.A1_StayWhereYouAre, palvex.A2_JumpToNextLine
    # None of these calls returns a value, so they go to the library many at once; a refusal
    # raises its PalvexError at the latest where the block ends.
    with r.buffered():
        for i in range(pages * ROWS_PER_PAGE):
            if i and i % ROWS_PER_PAGE == 0:
                r.printPage()
                r.PrintHeader()
            number, name, code, agorot, debit = account(i)
            totals[0 if debit else 1] += agorot
            r.CurrentX = COLUMN_X[0]
            print_text(number, stay)
            r.CurrentX = COLUMN_X[1]
            print_text(name, stay)
            r.CurrentX = COLUMN_X[2]
            print_text(code, stay)
            r.CurrentX = COLUMN_X[3] if debit else COLUMN_X[4]
            print_text(money(agorot), next_line)
        r.FontBold = True
        r.CurrentX = COLUMN_X[1]
        print_text(TOTAL, stay)
        r.CurrentX = COLUMN_X[3]
        print_text(money(totals[0]), stay)
        r.CurrentX = COLUMN_X[4]
        print_text(money(totals[1]), next_line)


def account_rows(pages, totals):
    """The accounts as table rows, made as they are recorded; totals gathers debit and credit."""
    for i in range(pages * ROWS_PER_PAGE):
        number, name, code, agorot, debit = account(i)
        totals[0 if debit else 1] += agorot
        yield (number, name, code, money(agorot), "") if debit else (
            number, name, code, "", money(agorot))


def account_table(r, pages):
    """The same accounts as a table the control lays out: it breaks the pages between rows and
    prints the column titles again on each; the rows go in a few hundred to a call."""
    page_headers(r, False)
    body_font(r)
    widths = [b - a for a, b in zip(COLUMN_X, COLUMN_X[1:])] + [1740]
    r.CurrentX = COLUMN_X[0]
    totals = [0, 0]
    with r.table([(w, palvex.RIGHT, t) for w, t in zip(widths, COLUMN_TITLES)]) as t:
        t.rows(account_rows(pages, totals))
        r.FontBold = True
        t.row(["", TOTAL, "", money(totals[0]), money(totals[1])])


def record(r, pages, table=False):
    """The yardstick's pages, recorded into a report just started."""
    r.SetMargins(MARGIN_SIDE, MARGIN_TOP, MARGIN_SIDE, MARGIN_BOTTOM)
    if table:
        account_table(r, pages)
    else:
        accounts(r, pages)


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("pdf", help="the PDF file to write (replaced only when complete)")
    arguments.add_argument("--pages", type=int, default=3, help="pages of accounts (3)")
    arguments.add_argument("--table", action="store_true",
                           help="record the accounts as a table the control lays out")
    options = arguments.parse_args()
    if options.pages < 1:
        arguments.error("--pages must be 1 or more")

    with tempfile.TemporaryDirectory() as folder, palvex.Report() as r:
        r.WorkingFolder = folder
        # Warnings come back to the program instead of waiting in a message box.
        r.MessagesToHost = True
        try:
            r.StartPalvexPrintPreview()
            record(r, options.pages, options.table)
            r.printLastPage()
            r.ExportPdf(options.pdf)
        except palvex.PalvexError as error:
            print(f"trial_balance: {error}", file=sys.stderr)
            if r.LastMessage:
                print(r.LastMessage, file=sys.stderr)
            return 1
        print(f"{options.pdf}: {r.PageCount} pages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
