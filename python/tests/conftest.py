"""Every test runs headless on the library named by PALVEX_LIBRARY (the build's, from ctest)."""

import os

import pytest

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

import palvex  # noqa: E402  (after the platform is chosen)


@pytest.fixture
def report(tmp_path):
    """A control whose report files go to the test's own folder."""
    with palvex.Report() as r:
        r.WorkingFolder = str(tmp_path)
        yield r


@pytest.fixture
def recording(report):
    report.StartPalvexPrintPreview()
    return report
