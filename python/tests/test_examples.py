"""The Python example programs, run as a user runs them."""

import os
import pathlib
import re
import subprocess
import sys
import unicodedata

import pytest

import palvex

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples" / "python"
# The examples import the package these tests import, wherever they run from.
ENVIRONMENT = {**os.environ, "PYTHONPATH": str(pathlib.Path(palvex.__file__).resolve().parents[1])}


def run_trial_balance(tmp_path, *options):
    pdf = tmp_path / "trial balance.pdf"
    result = subprocess.run([sys.executable, str(EXAMPLES / "trial_balance.py"), str(pdf),
                             *options], capture_output=True, text=True, timeout=300,
                            cwd=tmp_path, env=ENVIRONMENT)
    assert result.returncode == 0, result.stderr
    return pdf, result.stdout.strip()


def page_text(pdf, page):
    """The page's text without the direction marks pdftotext wraps right-to-left runs in."""
    text = subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), str(pdf), "-"],
                          check=True, capture_output=True, text=True).stdout
    return re.sub("[\u202a-\u202e]", "", text)


@pytest.mark.parametrize("options", [(), ("--table",)], ids=["cells", "table"])
def test_the_trial_balance_is_the_yardstick_n_pages_of_rows_on_n_pages(tmp_path, options):
    pdf, said = run_trial_balance(tmp_path, "--pages", "2", *options)
    assert said == f"{pdf}: 2 pages"
    first = page_text(pdf, 1)
    assert "מסחר והפצה בע״מ" in first and "AB Trading Ltd" in first
    assert "מאזן בוחן" in first and "Trial balance" in first and "מס׳ חשבון" in first
    if not options:  # the host's own rows are fifty a page; a table's are as many as fit
        assert "100049" in first and "100050" not in first
    last = page_text(pdf, 2)
    assert "100099" in last and "Total" in last and "-2-" in last
    assert "7,839.81" in last  # row 99: 99 × 7919 agorot, in #,##0.00


def test_the_yardstick_reads_right_to_left_within_its_margins(tmp_path):
    """On the first page the account number lies right of its name, every word within the
    12 mm side margins and the 10 mm top margin of the A4 page."""
    pdf, _ = run_trial_balance(tmp_path, "--pages", "1")
    box = subprocess.run(["pdftotext", "-f", "1", "-l", "1", "-bbox", str(pdf), "-"], check=True,
                         capture_output=True, text=True).stdout
    words = [(float(a), float(b), float(c), float(d), w) for a, b, c, d, w in re.findall(
        r'xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<', box)]
    point = 72 / 25.4
    page_width = 595.28
    for x_min, y_min, x_max, _, word in words:
        assert 12 * point - 0.5 <= x_min and x_max <= page_width - 12 * point + 0.5, word
        assert y_min >= 10 * point - 0.5, word
    account = next(w for w in words if w[4] == "100000")
    # The name's letters (pdftotext gives a right-to-left line's letters one by one) lie on the
    # account's line, all left of the account number.
    name = [w for w in words if abs(w[1] - account[1]) < 1 and re.search("[\u05d0-\u05ea]", w[4])]
    assert name and max(w[2] for w in name) < account[0]
    assert abs(account[2] - (page_width - 12 * point)) < 1  # at the right margin


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
