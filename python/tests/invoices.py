"""The sample invoices of bulk runs (examples/batch/invoice.py) and what a folder of them must
hold: each invoice whole, with its own number, customer and total and nothing of another's."""

import pathlib
import re
import subprocess
import sys

BATCH = pathlib.Path(__file__).resolve().parents[2] / "examples" / "batch"
SCRIPT = BATCH / "invoice.py"
sys.path.insert(0, str(BATCH))
import invoice  # noqa: E402  (the example itself, from its folder)


def text_of(pdf):
    """The PDF's text without the direction marks pdftotext wraps right-to-left runs in."""
    text = subprocess.run(["pdftotext", str(pdf), "-"], check=True, capture_output=True,
                          text=True).stdout
    return re.sub("[\u202a-\u202e]", "", text)


def problems(folder, count):
    """What is wrong with `folder` after invoices 1..count were rendered into it: missing,
    foreign or unreadable files, and invoices that do not hold their own data."""
    folder = pathlib.Path(folder)
    expected = {f"{invoice.number(k)}.pdf": k for k in range(1, count + 1)}
    present = {path.name for path in folder.iterdir()}
    found = [f"missing: {name}" for name in sorted(expected.keys() - present)]
    found += [f"left in the folder: {name}" for name in sorted(present - expected.keys())]
    for name in sorted(expected.keys() & present):
        record = invoice.sample(expected[name])
        text = text_of(folder / name)
        numbers = set(re.findall(r"INV-\d{5}", text))
        if numbers != {record["number"]}:
            found.append(f"{name} holds the numbers {sorted(numbers)}")
        if record["customer"] not in text:
            found.append(f"{name} lacks its customer {record['customer']}")
        if invoice.money(invoice.total(record)) not in text:
            found.append(f"{name} lacks its total {invoice.money(invoice.total(record))}")
    return found
