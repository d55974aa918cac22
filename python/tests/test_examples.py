"""The Python example programs, run as a user runs them."""

import os
import pathlib
import subprocess
import sys
import unicodedata

import pytest

import palvex

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples" / "python"
# The examples import the package these tests import, wherever they run from.
ENVIRONMENT = {**os.environ, "PYTHONPATH": str(pathlib.Path(palvex.__file__).resolve().parents[1])}


def test_the_trial_balance_example_writes_a_pdf_with_the_hebrew_title(tmp_path):
    pdf = tmp_path / "trial balance.pdf"
    result = subprocess.run([sys.executable, str(EXAMPLES / "trial_balance.py"), str(pdf),
                             "--pages", "2"], capture_output=True, text=True, timeout=300,
                            cwd=tmp_path, env=ENVIRONMENT)
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == f"{pdf}: 3 pages"
    first = subprocess.run(["pdftotext", "-f", "1", "-l", "1", str(pdf), "-"], check=True,
                           capture_output=True, text=True).stdout
    assert 'חשבונאות הגליל בע"מ' in first and "מאזן בוחן" in first and "Trial balance" in first
    last = subprocess.run(["pdftotext", "-f", "3", "-l", "3", str(pdf), "-"], check=True,
                          capture_output=True, text=True).stdout
    assert "Total" in last and "-3-" in last


def test_the_trial_balance_example_reports_a_file_it_cannot_write(tmp_path):
    result = subprocess.run([sys.executable, str(EXAMPLES / "trial_balance.py"),
                             str(tmp_path / "missing" / "x.pdf"), "--pages", "1"],
                            capture_output=True, text=True, timeout=300, env=ENVIRONMENT)
    assert result.returncode == 1
    assert "trial_balance:" in result.stderr and "status" in result.stderr


def test_the_pyqt6_example_shows_the_report_in_its_tab(tmp_path):
    pytest.importorskip("PyQt6.QtWidgets", reason="python3-pyqt6 is not installed")
    picture = tmp_path / "window.png"
    result = subprocess.run([sys.executable, str(EXAMPLES / "embedded_preview.py"), "--pages", "1",
                             "--screenshot", str(picture)], capture_output=True, text=True,
                            timeout=300, cwd=tmp_path, env=ENVIRONMENT)
    assert result.returncode == 0, result.stderr
    assert picture.stat().st_size > 10000  # a window with a page in it, not an empty grab


def test_from_a_source_checkout_the_example_runs_without_settings(tmp_path):
    """`python3 examples/python/trial_balance.py out.pdf` after scripts/setup.sh, nothing set."""
    checkout_library = EXAMPLES.parents[1] / "build" / "control" / "libpalvex.so.1"
    under_test = os.environ.get("PALVEX_LIBRARY", "")
    if not checkout_library.exists() or not under_test or (
            os.path.realpath(under_test) != os.path.realpath(checkout_library)):
        pytest.skip("the library under test is not the checkout's build/ one")
    environment = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "PALVEX_LIBRARY")}
    pdf = tmp_path / "out.pdf"
    result = subprocess.run([sys.executable, str(EXAMPLES / "trial_balance.py"), str(pdf),
                             "--pages", "1"], capture_output=True, text=True, timeout=300,
                            cwd=tmp_path, env=environment)
    assert result.returncode == 0, result.stderr
    assert pdf.read_bytes().startswith(b"%PDF")


def test_the_unicode_invoice_writes_every_language_and_its_whole_description(tmp_path):
    pdf = tmp_path / "invoice.pdf"
    result = subprocess.run([sys.executable, str(EXAMPLES / "unicode_invoice.py"), str(pdf)],
                            capture_output=True, text=True, timeout=300, cwd=tmp_path,
                            env=ENVIRONMENT)
    assert result.returncode == 0, result.stderr
    text = subprocess.run(["pdftotext", str(pdf), "-"], check=True, capture_output=True,
                          text=True).stdout
    # Shaped Arabic comes back in its presentation forms: compared as a reader's search does.
    text = unicodedata.normalize("NFKC", text)
    for word in ["מסחר", "كرسي", "письменный", "Brushed", "خزانة", "Шкаф", "7,662.00",
                 "lacquer", "מחוזק"]:
        assert word in text, word
    assert subprocess.run(["qpdf", "--check", str(pdf)], capture_output=True).returncode == 0


def test_a_report_is_stored_in_the_code_page_the_property_names(tmp_path):
    with palvex.Report() as r:
        r.WorkingFolder = str(tmp_path)
        r.MessagesToHost = True
        assert r.CodePage == 1255
        with pytest.raises(palvex.PalvexError) as refused:
            r.CodePage = 932
        assert refused.value.status == 380
        r.StartPalvexPrintPreview()
        r.printText("Иванов", palvex.A2_JumpToNextLine)
        assert "65001" in r.LastMessage  # told once that the page lost characters
        r.CodePage = 65001
        r.StartPalvexPrintPreview()
        r.printText("Иванов", palvex.A2_JumpToNextLine)
        r.printLastPage()
        r.ExportPdf(str(tmp_path / "r.pdf"))
    text = subprocess.run(["pdftotext", str(tmp_path / "r.pdf"), "-"], check=True,
                          capture_output=True, text=True).stdout
    assert "Иванов" in text
