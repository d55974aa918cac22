#!/usr/bin/env python3
"""An invoice in Hebrew, Arabic, Russian and English, stored in UTF-8 and written as a PDF.

    python3 examples/python/unicode_invoice.py out.pdf

A row a language, and a 400-character description that the control wraps into lines of whole
words (Report.paragraph). Runs headless as well (QT_QPA_PLATFORM=offscreen); the
report's own files go to a temporary folder.
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

# x of each column's right end, in twips from the page's right edge: code, item, quantity,
# price, amount.
COLUMNS = [1000, 2200, 7000, 8300, 9700]
TITLES = ["קוד", "פריט / Item", "כמות", "מחיר", "סכום"]
ROWS = [("1001", "ארון משרדי מעץ אלון", 2, 1450.00),
        ("1002", "كرسي مكتب جلد أسود", 6, 380.00),
        ("1003", "Стол письменный, дуб", 1, 2100.00),
        ("1004", "Brushed steel handles (set of 12)", 4, 95.50)]
DESCRIPTION = ("תיאור פריט 1001: ארון משרדי מעץ אלון מלא בגימור לכה שקופה, שלוש מגירות עם מסילות "
               "טריקה שקטה ומנעול מרכזי, מדפים מתכווננים לגובה, ידיות נירוסטה מוברשת וגב מחוזק. "
               "Solid oak office cabinet, three soft-close drawers with a central lock, adjustable "
               "shelves, brushed steel handles, clear lacquer finish - Шкаф офисный из массива "
               "дуба, три ящика с замком - خزانة مكتب من خشب البلوط الصلب بثلاثة أدراج وقفل مركزي")
LEFT_EDGE = 10300  # the description's lines end before this x, inside the left margin


def row(r, cells, last=palvex.A2_JumpToNextLine):
    for index, (x, text) in enumerate(zip(COLUMNS, cells)):
        r.CurrentX = x
        r.printText(text, last if index == len(cells) - 1 else palvex.A1_StayWhereYouAre)


def invoice(r):
    r.FontName = "Liberation Sans"
    r.FontSize, r.FontBold = 14, True
    r.centerIT("א.ב. מסחר והפצה בע״מ - AB Trading Ltd", palvex.A2_JumpToNextLine)
    r.FontSize, r.FontUnderline = 12, True
    r.centerIT("חשבונית מס 2026-0142 - Tax invoice", palvex.A2_JumpToNextLine)
    r.FontUnderline = False
    r.JumpToNextLine()
    r.FontSize, r.FontBold = 10, False
    r.CurrentX = COLUMNS[0]
    r.printText("לקוחות: Иванов Пётр · شركة النور للتجارة · Smith & Sons",
                palvex.A2_JumpToNextLine)
    r.JumpToNextLine()
    r.FontBold = r.FontUnderline = True
    row(r, TITLES)
    r.FontBold = r.FontUnderline = False
    total = 0.0
    for code, item, quantity, price in ROWS:
        amount = quantity * price
        total += amount
        row(r, [code, item, str(quantity), f"{price:,.2f}", f"{amount:,.2f}"])
    r.JumpToNextLine()
    r.FontSize = 8
    r.CurrentX = COLUMNS[0]
    r.paragraph(DESCRIPTION, LEFT_EDGE - COLUMNS[0])
    r.JumpToNextLine()
    r.FontSize, r.FontBold = 10, True
    r.CurrentX = COLUMNS[0]
    r.printText("סה״כ לתשלום - Total", palvex.A1_StayWhereYouAre)
    r.CurrentX = COLUMNS[-1]
    r.printText(f"{total:,.2f} ₪", palvex.A2_JumpToNextLine)


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("pdf", help="the PDF file to write (replaced only when complete)")
    options = arguments.parse_args()
    with tempfile.TemporaryDirectory() as folder, palvex.Report() as r:
        r.WorkingFolder = folder
        r.MessagesToHost = True
        # Every character as it is: Arabic and Russian would be "?" in Windows-1255.
        r.CodePage = 65001
        try:
            r.StartPalvexPrintPreview()
            invoice(r)
            r.printLastPage()
            r.ExportPdf(options.pdf)
        except palvex.PalvexError as error:
            print(f"unicode_invoice: {error}", file=sys.stderr)
            return 1
        print(f"{options.pdf}: {r.PageCount} page(s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
