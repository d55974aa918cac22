#!/usr/bin/env python3
"""A Hebrew trial balance, recorded through the palvex package and written as a PDF.

    python3 examples/python/trial_balance.py out.pdf [--pages N] [--table]

Fifty accounts a page (N pages, 3 unless told): the company and the title centred on every
page, five columns from right to left, a total at the end. With --table the control lays the
accounts out as a table (TableRows), breaking the pages itself. Runs headless as well
(QT_QPA_PLATFORM=offscreen); the report's own files go to a temporary folder.
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
WORDS = ["הוצאות", "הכנסות", "מכירות", "רכישות", "משכורות", "שכר דירה", "חשמל", "מים",
         "טלפון", "ביטוח", "רכב", "דלק", "ריהוט", "ציוד", "מחשבים", "לקוחות", "ספקים", "בנק",
         "קופה", 'מע"מ']

# (text, x in twips from the right edge or None to centre, line ends after it)
TITLES = [('חשבונאות הגליל בע"מ', None, 1),
          ("Trial balance - מאזן בוחן", None, 2),
          ("מספר חשבון", 10000, 0),
          ("שם החשבון", 7200, 0),
          ("קוד", 5600, 0),
          ("חובה", 4000, 0),
          ("זכות", 2000, 1)]


def titles(r):
    """Header lines the control repeats at the top of every page."""
    r.Header = True
    for number, (text, x, line_ends) in enumerate(TITLES, start=1):
        r.fxNameHeader(number, text)
        r.fxFontsizeHeader(number, 14 if number == 1 else 11)
        r.fxFontBoldHeader(number, number != 2)
        r.fxFontUnderlineHeader(number, number >= 2)
        if x is None:
            r.fxAlignHeader(number, palvex.A2_AlignCenter)
        else:
            r.fxCurXHeader(number, x)
        r.fxEnterAfterHeader(number, line_ends)
    r.PrintHeader()


def accounts(r, pages):
    r.FontName = "Liberation Sans"
    r.FontSize = 10
    r.FontBold = False
    debit = credit = 0.0
    # Bound once: the loop below makes half a million calls for a thousand pages.
    print_text, check_min = r.printText, r.checkMin2
    stay, next_line = palvex.A1_StayWhereYouAre, palvex.A2_JumpToNextLine
    for i in range(pages * ROWS_PER_PAGE):
        amount = (i * 7919) % 1000000 / 100 + 10
        is_debit = i % 2 == 0
        if is_debit:
            debit += amount
        else:
            credit += amount
        r.CurrentX = 10000
        print_text(str(100000 + i), stay)
        r.CurrentX = 7200
        print_text(f"{WORDS[i % 20]} {WORDS[(i * 7 + 3) % 20]} {WORDS[(i * 13 + 5) % 20]}", stay)
        r.CurrentX = 5600
        print_text(str(i % 9000), stay)
        r.CurrentX = 4000 if is_debit else 2000
        print_text(f"{amount:.2f}", next_line)
        # The control breaks the page, and repeats the titles, when the next row would not fit.
        check_min()
    r.FontBold = True
    r.CurrentX = 7200
    print_text('סה"כ - Total', stay)
    r.CurrentX = 4000
    print_text(f"{debit:.2f}", stay)
    r.CurrentX = 2000
    print_text(f"{credit:.2f}", next_line)


# The table's columns from the right: width in twips, alignment, title.
TABLE_COLUMNS = [(1600, palvex.RIGHT, "מספר חשבון"), (3800, palvex.RIGHT, "שם החשבון"),
                 (1000, palvex.CENTER, "קוד"), (1700, palvex.LEFT, "חובה"),
                 (1700, palvex.LEFT, "זכות")]


def account_rows(pages, totals):
    """The accounts as table rows, made as they are recorded; totals gathers debit and credit."""
    for i in range(pages * ROWS_PER_PAGE):
        amount = f"{(i * 7919) % 1000000 / 100 + 10:.2f}"
        name = f"{WORDS[i % 20]} {WORDS[(i * 7 + 3) % 20]} {WORDS[(i * 13 + 5) % 20]}"
        if i % 2 == 0:
            totals[0] += float(amount)
            yield (str(100000 + i), name, str(i % 9000), amount, "")
        else:
            totals[1] += float(amount)
            yield (str(100000 + i), name, str(i % 9000), "", amount)


def account_table(r, pages):
    """The same accounts as a table the control lays out: it breaks the pages between rows and
    prints the column titles again on each; the rows go in a few hundred to a call."""
    r.Header = True
    for number, (text, _, _) in enumerate(TITLES[:2], start=1):
        r.fxNameHeader(number, text)
        r.fxFontsizeHeader(number, 14 if number == 1 else 11)
        r.fxFontBoldHeader(number, number == 1)
        r.fxFontUnderlineHeader(number, number == 2)
        r.fxAlignHeader(number, palvex.A2_AlignCenter)
        r.fxEnterAfterHeader(number, number)
    r.PrintHeader()
    r.FontName = "Liberation Sans"
    r.FontSize = 10
    r.FontBold = False
    r.CurrentX = 0
    totals = [0.0, 0.0]
    with r.table(TABLE_COLUMNS) as t:
        t.rows(account_rows(pages, totals))
        r.FontBold = True
        t.row(["", 'סה"כ - Total', "", f"{totals[0]:.2f}", f"{totals[1]:.2f}"])


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
            if options.table:
                account_table(r, options.pages)
            else:
                titles(r)
                accounts(r, options.pages)
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
