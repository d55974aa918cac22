#!/usr/bin/env python3
"""A customer's account statement for a year: 300 movements over several pages, as an
accessible PDF (PDF/UA-1) that a screen reader reads heading, paragraph, then row by row.

    python3 examples/statement.py [out.pdf]      (and its movements in out.xlsx)

The movements are made up from a fixed seed, so every run prints the same statement. Runs
headless too; the report's own files go to a temporary folder.
"""

import argparse
import datetime
import pathlib
import random
import sys
import tempfile

try:
    import palvex
except ModuleNotFoundError:  # run from a source checkout: the package that lies beside it
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "python" / "src"))
    import palvex

MOVEMENTS = 300
OPENING = 1250000  # agorot
KINDS = ["חשבונית", "קבלה", "זיכוי", "Invoice", "העברה בנקאית"]
# Widths in twips, from the right: date, reference, description, debit, credit, balance.
COLUMNS = [(1300, palvex.CENTER, "תאריך"), (1000, palvex.CENTER, "אסמכתא"),
           (2600, palvex.RIGHT, "פרטים"), (1200, palvex.LEFT, "חובה"),
           (1200, palvex.LEFT, "זכות"), (1400, palvex.LEFT, "יתרה")]
SIDE_MARGIN = 1134


def money(agorot):
    sign = "-" if agorot < 0 else ""
    agorot = abs(agorot)
    return f"{sign}{agorot // 100:,}.{agorot % 100:02d}"


def movements():
    """(date, reference, description, debit, credit) in agorot, in date order."""
    chance = random.Random(2026)
    day = datetime.date(2026, 1, 1)
    for n in range(MOVEMENTS):
        day += datetime.timedelta(days=chance.choice((0, 1, 1, 2)))
        kind = chance.choice(KINDS)
        amount = chance.randrange(5000, 900000)
        debit = amount if kind in ("חשבונית", "Invoice") else 0
        yield (day.strftime("%d/%m/%Y"), f"{70000 + n}", f"{kind} {n + 1}", debit,
               0 if debit else amount)


def statement(r):
    r.SetMargins(SIDE_MARGIN, 680, SIDE_MARGIN, 680)
    r.PageNumberFormat = "עמוד {page} מתוך {pages}"
    r.FontName, r.FontSize = "Liberation Sans", 10
    r.FontSize, r.FontBold, r.ItemRole = 16, True, 1
    r.centerIT("כרטסת לקוח - Customer statement 2026", palvex.A2_JumpToNextLine)
    r.FontSize, r.FontBold = 10, False
    r.JumpToNextLine()
    r.CurrentX = 0
    r.paragraph("לקוח: א.ב. מסחר והפצה בע\"מ (מס' 40112). יתרת פתיחה ליום 01/01/2026: "
                f"{money(OPENING)} ש\"ח. התנועות שלהלן לפי תאריך ערך.", 8800, palvex.RIGHT)
    r.JumpToNextLine()
    r.CurrentX = 0
    balance = OPENING
    rows = []
    for date, reference, details, debit, credit in movements():
        balance += debit - credit
        rows.append([date, reference, details, money(debit) if debit else "",
                     money(credit) if credit else "", money(balance)])
    with r.table(COLUMNS, lines=1) as t:
        t.rows(rows)
    r.JumpToNextLine()
    r.FontBold = True
    r.CurrentX = 0
    r.paragraph(f"יתרת סגירה ליום 31/12/2026: {money(balance)} ש\"ח", 8800, palvex.RIGHT)
    r.FontBold = False


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("pdf", nargs="?", default="statement.pdf",
                           help="the PDF file to write (replaced only when complete)")
    options = arguments.parse_args()
    with tempfile.TemporaryDirectory() as folder, palvex.Report() as r:
        r.WorkingFolder = folder
        r.MessagesToHost = True
        r.DocumentTitle = "כרטסת לקוח 2026 - א.ב. מסחר והפצה"
        r.PdfConformance = "PDF/UA-1"
        try:
            r.StartPalvexPrintPreview()
            statement(r)
            r.printLastPage()
            r.ExportPdf(options.pdf)
            r.ExportXlsx(str(pathlib.Path(options.pdf).with_suffix(".xlsx")))
        except palvex.PalvexError as error:
            print(f"statement: {error}", file=sys.stderr)
            return 1
        print(f"{options.pdf}: {r.PageCount} pages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
