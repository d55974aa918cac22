#!/usr/bin/env python3
"""The examples' workbooks as spreadsheet programs read them: openpyxl, and LibreOffice when it is
installed (converted headless to CSV, as a user's "save as CSV" would).

    check_workbook.py invoice FILE.xlsx [FILE.csv]
    check_workbook.py statement FILE.xlsx

Exits 1 with every finding on standard error.
"""

import csv
import datetime
import io
import pathlib
import shutil
import subprocess
import sys
import tempfile

import openpyxl

ITEMS = 28  # the invoice's lines
MOVEMENTS = 300  # the statement's


class Findings(list):
    def check(self, condition, message):
        if not condition:
            self.append(message)


def sheet_facts(found, ws, header):
    found.check(ws.sheet_view.rightToLeft, f"{ws.title}: not right to left")
    if header:
        found.check(ws.freeze_panes == "A2", f"{ws.title}: header not frozen ({ws.freeze_panes})")
        first = next(ws.iter_rows(max_row=1))
        found.check([c.value for c in first] == header,
                    f"{ws.title}: header {[c.value for c in first]}")
        found.check(all(c.font.b for c in first), f"{ws.title}: header not bold")
        rows = list(ws.iter_rows(min_row=2))
        found.check(not any([c.value for c in r] == header for r in rows),
                    f"{ws.title}: a repeated header row came back as data")
        found.check(not any(c.font.b for r in rows for c in r), f"{ws.title}: bold body cells")
        return rows
    return list(ws.iter_rows())


def check_invoice(found, path, csv_path):
    book = openpyxl.load_workbook(path)
    found.check(len(book.worksheets) == 2, f"{len(book.worksheets)} sheets, not items and totals")
    items = sheet_facts(found, book.worksheets[0], ["#", "פריט", "כמות", "מחיר", "סכום"])
    found.check(len(items) == ITEMS, f"{len(items)} item rows, not {ITEMS}")
    numbers = [r[0].value for r in items]
    found.check(numbers == list(range(1, ITEMS + 1)), f"line numbers {numbers}")
    for r in items:
        number, text, quantity, price, amount = (c.value for c in r[:5])
        found.check(isinstance(text, str) and text, f"line {number}: item {text!r}")
        found.check(isinstance(quantity, (int, float)), f"line {number}: quantity {quantity!r}")
        found.check(r[3].number_format == r[4].number_format == "#,##0.00",
                    f"line {number}: formats {r[3].number_format}, {r[4].number_format}")
        found.check(abs(quantity * price - amount) < 0.005,
                    f"line {number}: {quantity} × {price} is not {amount}")
    # The first line's description wraps over three lines of its cell and comes back whole.
    found.check(items[0][1].value == "ייעוץ חשבונאי — דוחות רבעוניים לשנת 2026, כולל התאמות "
                "בנקים וכרטסות ספקים", f"the wrapped description: {items[0][1].value!r}")
    totals = sheet_facts(found, book.worksheets[1], None)
    found.check([[c.value for c in r] for r in totals] ==
                [["סכום ביניים", 55041.8], ['מע"מ 18%', 9907.52], ["לתשלום", 64949.32]],
                f"totals {[[c.value for c in r] for r in totals]}")
    subtotal = sum(r[4].value for r in items)
    found.check(abs(subtotal - totals[0][1].value) < 0.005, f"the items sum to {subtotal}")

    if csv_path:
        data = pathlib.Path(csv_path).read_bytes()
        found.check(data.startswith(b"\xef\xbb\xbf"), "the CSV has no byte-order mark")
        rows = list(csv.reader(io.StringIO(data.decode("utf-8-sig"), newline="")))
        found.check(rows[0] == ["#", "פריט", "כמות", "מחיר", "סכום"], f"CSV header {rows[0]}")
        found.check(rows[1][4] == "5550.00" and rows[ITEMS + 1] == [], f"CSV rows {rows[1:3]}")
        found.check(rows[-1] == ["לתשלום", "64949.32"], f"CSV last row {rows[-1]}")

    office = shutil.which("soffice")
    if not office:
        print("LibreOffice is not installed: its reading is not checked")
    else:
        with tempfile.TemporaryDirectory() as out:
            # A profile of its own: a user's running LibreOffice or a shared one must not answer.
            result = subprocess.run(
                [office, f"-env:UserInstallation=file://{out}/profile", "--headless",
                 "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", out,
                 str(path)], capture_output=True, text=True, timeout=180)
            converted = pathlib.Path(out) / (pathlib.Path(path).stem + ".csv")
            found.check(result.returncode == 0 and converted.exists(),
                        f"LibreOffice did not convert it: {result.stderr}")
            if converted.exists():
                rows = list(csv.reader(io.StringIO(converted.read_text("utf-8"), newline="")))
                found.check(rows[0] == ["#", "פריט", "כמות", "מחיר", "סכום"],
                            f"LibreOffice header {rows[0]}")
                found.check(rows[1][2:] == ["3", "1,850.00", "5,550.00"],
                            f"LibreOffice's first line {rows[1]}")
                found.check(len(rows) == ITEMS + 1, f"LibreOffice read {len(rows)} rows")


def check_statement(found, path):
    book = openpyxl.load_workbook(path)
    found.check(len(book.worksheets) == 1, f"{len(book.worksheets)} sheets")
    rows = sheet_facts(found, book.worksheets[0],
                       ["תאריך", "אסמכתא", "פרטים", "חובה", "זכות", "יתרה"])
    found.check(len(rows) == MOVEMENTS, f"{len(rows)} movements, not {MOVEMENTS}")
    references = [r[1].value for r in rows]
    found.check(references == list(range(70000, 70000 + MOVEMENTS)),
                "every movement once, in order: " + str(references[:5]))
    previous = None
    for r in rows:
        date, reference, _, debit, credit, balance = (c.value for c in r[:6])
        found.check(isinstance(date, datetime.datetime) and r[0].number_format == "dd/mm/yyyy",
                    f"{reference}: date {date!r}")
        found.check(isinstance(balance, float) or isinstance(balance, int),
                    f"{reference}: balance {balance!r}")
        found.check(r[5].number_format.startswith("#,##0.00"), f"{reference}: {r[5].number_format}")
        if previous is not None and isinstance(balance, (int, float)):
            moved = (debit or 0) - (credit or 0)
            found.check(abs(previous + moved - balance) < 0.005,
                        f"{reference}: {previous} + {moved} is not {balance}")
        previous = balance


def main():
    kind, path, *rest = sys.argv[1:]
    found = Findings()
    if kind == "invoice":
        check_invoice(found, path, rest[0] if rest else None)
    else:
        check_statement(found, path)
    for finding in found:
        print(finding, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
