"""The text layer of the PDFs a report writes, against Pango and cairo's PDF of the same lines:
every word of a line that poppler finds in theirs, it finds in ours."""

import subprocess

import pytest

import palvex

LINES = [
    "יתרה (חובה)",
    "סכום [א] {ב} <ג>",
    "ייצוא (CSV) לקובץ",
    "מאזן בוחן - Trial balance 2026",
    "א.ב. מסחר והפצה בע״מ - AB Trading Ltd",
    "مرحبا بالعالم (اختبار)",
    "שכר עבודה 12,345.67- ש״ח",
    "Привет, мир (тест)",
]

# pdftotext marks the direction of what it reads; the words are what count.
DIRECTION_MARKS = dict.fromkeys(map(ord, "\u200e\u200f\u202a\u202b\u202c\u202d\u202e"
                                         "\u2066\u2067\u2068\u2069"))


def pango_pdf(path):
    """The lines in Liberation Sans 12 pt, right-aligned, as Pango lays them out and cairo
    writes them."""
    gi = pytest.importorskip("gi")
    try:
        gi.require_version("Pango", "1.0")
        gi.require_version("PangoCairo", "1.0")
        from gi.repository import Pango, PangoCairo
    except (ImportError, ValueError) as missing:
        pytest.skip(f"Pango's introspection data is not installed: {missing}")
    cairo = pytest.importorskip("cairo")
    surface = cairo.PDFSurface(str(path), 595, 842)
    context = cairo.Context(surface)
    for n, line in enumerate(LINES):
        layout = PangoCairo.create_layout(context)
        layout.set_font_description(Pango.FontDescription("Liberation Sans 12"))
        layout.set_width(515 * Pango.SCALE)
        layout.set_alignment(Pango.Alignment.RIGHT)
        layout.set_text(line, -1)
        context.move_to(40, 40 + 24 * n)
        PangoCairo.show_layout(context, layout)
    surface.finish()


def words_found(pdf):
    """For each line, how many of its words poppler reads back whole."""
    text = subprocess.run(["pdftotext", str(pdf), "-"], check=True, capture_output=True,
                          text=True).stdout.translate(DIRECTION_MARKS)
    read = set(text.split())
    return [sum(word in read for word in line.split() if any(c.isalnum() for c in word))
            for line in LINES]


def test_every_word_pango_and_cairo_give_back_palvex_gives_back_too(report, tmp_path):
    theirs = tmp_path / "pango.pdf"
    pango_pdf(theirs)
    report.CodePage = 65001
    report.StartPalvexPrintPreview()
    report.FontName = "Liberation Sans"
    report.FontSize = 12
    for line in LINES:
        report.RightIT(line, palvex.A2_JumpToNextLine)
    report.printLastPage()
    ours = tmp_path / "palvex.pdf"
    report.ExportPdf(str(ours))

    ours_found, theirs_found = words_found(ours), words_found(theirs)
    for line, o, t in zip(LINES, ours_found, theirs_found):
        assert o >= t, f"{line!r}: {o} words read back, Pango and cairo {t}"
    # The lines in one direction, brackets and all, read back whole.
    for n in (0, 1, 5):
        assert ours_found[n] == len(LINES[n].split())
