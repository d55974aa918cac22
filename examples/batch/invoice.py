#!/usr/bin/env python3
"""A sample invoice for bulk runs: report(r, record) draws one invoice from its record.

    python3 -m palvex.batch --jobs 2 --out invoices --count 1000 examples/batch/invoice.py
    python3 examples/batch/invoice.py [K] [out.pdf]     (sample invoice K alone)

A record is plain data (it travels to worker processes and through Celery's broker as JSON):
{"number": "INV-00042", "date": "31/12/2026", "customer": ..., "address": ...,
 "items": [[description, quantity, unit price in agorot], ...]}. Invoice k is named and
written as INV-{k:05d}.
"""

import pathlib
import sys

try:
    import palvex
except ModuleNotFoundError:  # run from a source checkout: the package that lies beside it
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "python" / "src"))
    import palvex

VAT_PERCENT = 18
SIDE_MARGIN = 1134  # 2 cm
# Widths in twips, from the right: line, item, quantity, price, amount.
COLUMNS = [(500, palvex.CENTER, "#"), (4700, palvex.RIGHT, "פריט"), (900, palvex.CENTER, "כמות"),
           (1300, palvex.LEFT, "מחיר"), (1400, palvex.LEFT, "סכום")]

_COMPANIES = ["אורן", "גפן", "דקל", "הדס", "ורד", "זית", "חצב", "טל", "יסמין", "כרמל", "לוטם",
              "מרווה", "נרקיס", "סחלב", "ערבה", "פיקוס", "צבר", "קינמון", "רימון", "שקד", "תאנה"]
_TRADES = ["מסחר והפצה", "הנדסה", "שיווק", "תוכנה", "ייבוא", "בנייה", "מזון", "תעשיות"]
_CITIES = ["תל אביב", "חיפה", "ירושלים", "באר שבע", "נתניה", "אשדוד", "רחובות", "עכו"]
_SERVICES = [("ייעוץ חשבונאי", 185000), ("הכנת מאזן בוחן", 240000), ("Payroll export (CSV)", 3550),
             ("שעות תמיכה טכנית", 22000), ("רישיון שנתי למערכת", 129000),
             ("הדרכת עובדים", 45000), ("Data migration", 320000), ("גיבוי ענן חודשי", 8990),
             ("הפקת דוח מע\"מ", 31000), ("התאמת כרטיסי לקוחות", 98000),
             ("Server maintenance", 64000), ("ניתוח תזרים מזומנים", 175000)]


def number(k):
    return f"INV-{k:05d}"


def sample(k):
    """Sample invoice k (from 1): its own customer, and items that vary with k."""
    customer = (f"{_COMPANIES[k % len(_COMPANIES)]} {_TRADES[k % len(_TRADES)]} בע\"מ "
                f"לקוח {k:05d}")
    count = 3 + k % 9
    items = [[_SERVICES[(k + i) % len(_SERVICES)][0], 1 + (k * 7 + i) % 12,
              _SERVICES[(k + i) % len(_SERVICES)][1] + k % 100] for i in range(count)]
    return {"number": number(k), "date": f"{1 + k % 28:02d}/12/2026", "customer": customer,
            "address": f"רחוב הברזל {1 + k % 90}, {_CITIES[k % len(_CITIES)]}", "items": items}


def records(count):
    return [sample(k) for k in range(1, count + 1)]


def name(record):
    return record["number"]


def money(agorot):
    return f"{agorot // 100:,}.{agorot % 100:02d}"


def total(record):
    """What the invoice asks to be paid, in agorot: the items and their VAT."""
    subtotal = sum(quantity * price for _, quantity, price in record["items"])
    return subtotal + (subtotal * VAT_PERCENT + 50) // 100


def report(r, record):
    r.CodePage = 65001
    r.DocumentTitle, r.DocumentLanguage = f"חשבונית מס {record['number']}", "he-IL"
    r.StartPalvexPrintPreview()
    r.SetMargins(SIDE_MARGIN, 680, SIDE_MARGIN, 680)
    r.PageNumberFormat = "עמוד {page} מתוך {pages}"
    r.FontName, r.FontSize, r.FontBold, r.ItemRole = "Liberation Sans", 16, True, 1
    r.centerIT("אופק מערכות מידע בע״מ", palvex.A2_JumpToNextLine)
    r.FontSize, r.ItemRole = 12, 2
    r.centerIT(f"חשבונית מס {record['number']}", palvex.A2_JumpToNextLine)
    r.FontBold, r.ItemRole, r.FontSize = False, 0, 10
    r.JumpToNextLine()
    r.CurrentX = 0
    r.printText(record["customer"], palvex.A2_JumpToNextLine)
    r.CurrentX = 0
    r.printText(f"{record['address']}. תאריך: {record['date']}", palvex.A2_JumpToNextLine)
    r.JumpToNextLine()
    r.CurrentX = 0
    subtotal = 0
    with r.table(COLUMNS, lines=2) as t:
        rows = []
        for line, (item, quantity, price) in enumerate(record["items"], 1):
            subtotal += quantity * price
            rows.append([line, item, quantity, money(price), money(quantity * price)])
        t.rows(rows)
    vat = (subtotal * VAT_PERCENT + 50) // 100
    r.JumpToNextLine()
    r.CurrentX = SIDE_MARGIN + sum(width for width, _, _ in COLUMNS[:3])
    with r.table([(1300, palvex.RIGHT), (1400, palvex.LEFT)], repeat_header=False, lines=0) as t:
        t.row(["סכום ביניים", money(subtotal)])
        t.row([f"מע\"מ {VAT_PERCENT}%", money(vat)])
        r.FontBold = True
        t.row(["לתשלום", money(subtotal + vat)])
    r.printLastPage()


def main():
    k = int(sys.argv[1]) if len(sys.argv) > 1 else 1
    pdf = sys.argv[2] if len(sys.argv) > 2 else f"{number(k)}.pdf"
    with palvex.Report() as r:
        r.MessagesToHost = True
        report(r, sample(k))
        r.ExportPdf(pdf)
        print(f"{pdf}: {r.PageCount} pages")


if __name__ == "__main__":
    main()
