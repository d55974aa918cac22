"""Report functions for the bulk-run tests, importable by worker processes. A record is a
sample invoice's, plus what the test asks of it: "die" (the path of a marker: the worker
process kills itself the first time, or every time when the marker is "always") and "raise"."""

import os
import pathlib
import signal

from invoices import invoice


def invoice_or_fault(r, record):
    marker = record.get("die")
    if marker == "always" or (marker and not pathlib.Path(marker).exists()):
        if marker != "always":
            pathlib.Path(marker).touch()
        r.StartPalvexPrintPreview()
        r.printText("half a report", 2)
        os.kill(os.getpid(), signal.SIGKILL)
    if record.get("raise"):
        raise ValueError(record["raise"])
    invoice.report(r, record)


def styled(r, record):
    """A report that leaves its control bold, large, coloured and headed ("loud"), or one that
    relies on a fresh control's defaults ("plain")."""
    if record == "loud":
        r.CodePage = 65001
        r.StartPalvexPrintPreview()
        r.FontName, r.FontSize, r.FontBold, r.FontItalic, r.ForeColor = "David CLM", 30, True, True, 255
        r.PageNumberFormat = "דף {page}"
        r.TableLines = 2
        r.printText("רועש", 2)
    else:
        r.StartPalvexPrintPreview()
        r.printText("שקט Quiet", 2)
        with r.table([(2000, 1, "א"), (2000, 3, "ב")]) as t:
            t.row(["1", "2"])
    r.printLastPage()


def slow(r, seconds):
    """A report that takes `seconds` before it records anything."""
    import time

    time.sleep(seconds)
    r.StartPalvexPrintPreview()
    r.printLastPage()


def one_line(r, record):
    r.StartPalvexPrintPreview()
    r.printText(f"שורה {record}", 2)
    r.printLastPage()
