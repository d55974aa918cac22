#!/usr/bin/env python3
"""A two-page invoice the control lays out itself, written as a PDF and its tables as a workbook.

    python3 examples/invoice.py [out.pdf]

Margins from code, the logo to size, a wrapped paragraph, a table whose rows wrap and whose
header row comes again on the next page, the totals, and "page N of M" at every page's foot:
the same invoice as examples/invoice.pvs and examples/invoice.cpp. The workbook (out.xlsx beside
out.pdf) holds the tables for a spreadsheet. Runs headless too; the report's own files go to a
temporary folder.
"""

import argparse
import pathlib
import sys
import tempfile

try:
    import palvex
except ModuleNotFoundError:  # run from a source checkout: the package that lies beside it
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "python" / "src"))
    import palvex

LOGO = pathlib.Path(__file__).resolve().with_name("invoice-logo.png")
VAT_PERCENT = 18
# Item, quantity, and the unit price in agorot: money is counted in whole agorot, never in
# floating point.
ITEMS = [
    ("ייעוץ חשבונאי — דוחות רבעוניים לשנת 2026, כולל התאמות בנקים וכרטסות ספקים", 3, 185000),
    ("הכנת מאזן בוחן", 1, 240000),
    ("Payroll export (CSV)", 12, 3550),
    ("שעות תמיכה טכנית", 6, 22000),
    ("רישיון שנתי למערכת הנהלת חשבונות — עמדה נוספת", 2, 129000),
    ("הדרכת עובדים במשרדי הלקוח", 4, 45000),
    ("Data migration from legacy ledger", 1, 320000),
    ("גיבוי ענן חודשי", 12, 8990),
    ("הפקת דוח מע\"מ דו-חודשי", 6, 31000),
    ("הפקת טופסי 106 לעובדים", 38, 1250),
    ("התאמת כרטיסי לקוחות", 1, 98000),
    ("Server maintenance", 3, 64000),
    ("ניתוח תזרים מזומנים", 1, 175000),
    ("דוח רווח והפסד מאוחד לחברת האם ולשלוש חברות הבת, כולל ביאורים", 1, 460000),
    ("שעות פיתוח דוחות מותאמים", 14, 26000),
    ("ייבוא תנועות בנק", 24, 1800),
    ("טיפול בפניות רשות המסים", 2, 72000),
    ("License: reporting module", 1, 199000),
    ("סריקת מסמכים וארכוב", 400, 120),
    ("הכנת תקציב שנתי", 1, 350000),
    ("בדיקת עמידה בתקנות הגנת הפרטיות", 1, 125000),
    ("Quarterly VAT reconciliation", 4, 38000),
    ("תמיכה מרחוק — חבילת 10 שעות", 2, 190000),
    ("הדפסת חשבוניות ומשלוחן", 250, 240),
    ("סגירת שנת כספים", 1, 275000),
    ("הגדרת הרשאות משתמשים", 8, 9500),
    ("דוח גיול חובות לקוחות", 1, 54000),
    ("Consulting: ERP integration", 5, 48000),
]
CUSTOMER = ("לכבוד: א.ב. מסחר והפצה בע\"מ, רחוב הברזל 30, תל אביב. תאריך: 09/12/2026. "
            "תנאי תשלום: שוטף + 30. השירותים שלהלן ניתנו לפי הסכם המסגרת מיום 01/01/2026; "
            "שאלות על החשבונית יש להפנות למחלקת הנהלת החשבונות.")
# Widths in twips, from the right: line, item, quantity, price, amount.
COLUMNS = [(500, palvex.CENTER, "#"), (4700, palvex.RIGHT, "פריט"), (900, palvex.CENTER, "כמות"),
           (1300, palvex.LEFT, "מחיר"), (1400, palvex.LEFT, "סכום")]
# 2 cm at each side: paragraphs and tables lie between the margins, so CurrentX = 0 puts their
# right edge on the right margin, and a position inside the table counts from there.
SIDE_MARGIN = 1134


def money(agorot):
    return f"{agorot // 100:,}.{agorot % 100:02d}"


def invoice(r):
    r.SetMargins(SIDE_MARGIN, 680, SIDE_MARGIN, 680)
    r.PageNumberFormat = "עמוד {page} מתוך {pages}"
    r.FontName, r.FontSize = "Liberation Sans", 10
    r.CurrentX = 0
    r.PictureAltText = "הסמל של אופק מערכות מידע"
    r.printPictureSized(str(LOGO), 2400, 1200, True, palvex.A1_AlignPicHorizontalRight)
    # A heading until its line ends.
    r.FontSize, r.FontBold, r.ItemRole = 16, True, 1
    r.centerIT("אופק מערכות מידע בע״מ - Ofek Information Systems Ltd", palvex.A2_JumpToNextLine)
    r.FontSize, r.FontBold, r.ItemRole = 12, False, 2
    r.centerIT("חשבונית מס 2026-0412 - Tax invoice", palvex.A2_JumpToNextLine)
    r.JumpToNextLine()
    r.FontSize = 10
    r.CurrentX = 0
    r.paragraph(CUSTOMER, 8800, palvex.JUSTIFIED)
    r.JumpToNextLine()
    r.FontSize = 12
    r.CurrentX = 0
    subtotal = 0
    with r.table(COLUMNS, lines=2) as t:
        rows = []
        for number, (item, quantity, price) in enumerate(ITEMS, 1):
            amount = quantity * price
            subtotal += amount
            rows.append([number, item, quantity, money(price), money(amount)])
        t.rows(rows)
    vat = (subtotal * VAT_PERCENT + 50) // 100
    r.JumpToNextLine()
    # The totals under the price and amount columns: a table without header texts has no
    # header row.
    r.CurrentX = SIDE_MARGIN + sum(width for width, _, _ in COLUMNS[:3])
    with r.table([(1300, palvex.RIGHT), (1400, palvex.LEFT)], repeat_header=False, lines=0) as t:
        t.row(["סכום ביניים", money(subtotal)])
        t.row([f"מע\"מ {VAT_PERCENT}%", money(vat)])
        r.FontBold = True
        t.row(["לתשלום", money(subtotal + vat)])
    r.FontBold = False


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("pdf", nargs="?", default="invoice.pdf",
                           help="the PDF file to write (replaced only when complete)")
    options = arguments.parse_args()
    with tempfile.TemporaryDirectory() as folder, palvex.Report() as r:
        r.WorkingFolder = folder
        r.MessagesToHost = True
        # A PDF/UA-1 document: a title, a language, and alternative text for the logo.
        r.DocumentTitle, r.DocumentLanguage = "חשבונית מס 2026-0412", "he-IL"
        r.PdfConformance = "PDF/UA-1"
        try:
            r.StartPalvexPrintPreview()
            invoice(r)
            r.printLastPage()
            r.ExportPdf(options.pdf)
            r.ExportXlsx(str(pathlib.Path(options.pdf).with_suffix(".xlsx")))
        except palvex.PalvexError as error:
            print(f"invoice: {error}", file=sys.stderr)
            return 1
        print(f"{options.pdf}: {r.PageCount} pages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
