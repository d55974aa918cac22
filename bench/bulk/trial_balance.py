"""The yardstick as a bulk run's report: report(r, pages) records the trial balance of
examples/python/trial_balance.py, `pages` pages of accounts."""

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "examples" / "python"))
import trial_balance  # noqa: E402


def report(r, pages):
    r.StartPalvexPrintPreview()
    trial_balance.record(r, pages)
    r.printLastPage()
