"""Paragraphs and tables from Python: what the control records for them, and the PDF."""

import subprocess

import pytest

import palvex


def pdf_pages(path):
    text = subprocess.run(["pdftotext", "-layout", str(path), "-"], check=True,
                          capture_output=True, text=True).stdout
    return text.split("\f")


def squeezed(text):
    """Letters and digits in their order: pdftotext moves blanks and direction marks."""
    return "".join(c for c in text if not c.isspace() and c not in "\u202a\u202b\u202c\u202d\u202e")


COLUMNS = [(1500, palvex.RIGHT, "חשבון"), (4000, palvex.RIGHT, "שם"), (1800, palvex.LEFT, "סכום")]


def test_rows_in_bulk_print_as_rows_one_by_one(tmp_path):
    """t.rows() over any iterable records the same pages as t.row() for each, across pages and
    batches, with values that are not strings, None, and cells holding tabs."""
    rows = [(100000 + i, f"חשבון {i}\tעם טאב", None if i % 3 else f"{i},00") for i in range(1200)]

    def record(report, bulk):
        report.StartPalvexPrintPreview()
        report.CurrentX = 0
        with report.table(COLUMNS, lines=1) as t:
            if bulk:
                t.rows(row for row in rows)  # a generator, longer than one batch
            else:
                for row in rows:
                    t.row(row)
        report.printLastPage()
        pdf = tmp_path / f"{bulk}.pdf"
        report.ExportPdf(str(pdf))
        return report.PageCount, pdf_pages(pdf)

    with palvex.Report() as one, palvex.Report() as many:
        (tmp_path / "one").mkdir()
        (tmp_path / "many").mkdir()
        one.WorkingFolder = str(tmp_path / "one")
        many.WorkingFolder = str(tmp_path / "many")
        pages, single = record(one, False)
        bulk_pages, bulk = record(many, True)
    assert pages > 2 and bulk_pages == pages
    assert bulk == single
    # The header row on every page, and a tab inside a cell printed as a blank.
    for page in single[:pages]:
        assert "חשבון" in page and "סכום" in page
    last = squeezed(single[pages - 1])
    assert squeezed("חשבון 1199 עם טאב") in last and "101199" in last


def test_a_row_with_too_many_cells_is_refused_and_the_table_still_ends(recording):
    r = recording
    r.CurrentX = 0
    with pytest.raises(palvex.PalvexError) as error:
        with r.table(COLUMNS) as t:
            t.row(["1", "2", "3"])
            t.row(["1", "2", "3", "4"])
    assert error.value.status == 380
    # TableEnd ran on the way out: a new table can begin.
    with r.table([1000]) as t:
        t.row(["x"])


def test_a_paragraph_wraps_in_its_box_and_columns_take_a_width_alone(recording, tmp_path):
    r = recording
    r.FontName, r.FontSize = "Liberation Sans", 10
    r.CurrentX = 1000
    top = r.CurrentY
    words = " ".join(["מילה"] * 60)
    r.paragraph(words, 3000, palvex.JUSTIFIED, line_spacing=1.5)
    assert r.CurrentX == 1000 and r.CurrentY > top + 5 * 1.5 * r.TextHeight("מ")
    with pytest.raises(palvex.PalvexError) as error:
        r.paragraph("x", -5)
    assert error.value.status == 380
    r.printLastPage()
    pdf = tmp_path / "p.pdf"
    r.ExportPdf(str(pdf))
    assert squeezed(pdf_pages(pdf)[0]).count("מילה") == 60


def test_layout_names_are_in_the_package_and_its_stub():
    assert palvex.RIGHT == 1 and palvex.CENTER == 2 and palvex.LEFT == 3 and palvex.JUSTIFIED == 4
    assert {"Align", "RIGHT", "JUSTIFIED", "Table"} <= set(palvex.__all__)
    assert callable(palvex.Report.paragraph) and callable(palvex.Report.table)


def test_a_report_describes_its_pdf_and_writes_it_as_an_archive(report, tmp_path):
    """The document's title, author, subject and keywords reach the PDF from Python, and an
    archive names its conformance in its metadata."""
    report.CodePage = 65001
    report.DocumentTitle = "מאזן בוחן (2026)"
    report.DocumentAuthor = "Finance"
    report.DocumentSubject = "Year end"
    report.DocumentKeywords = "trial balance, מאזן"
    report.PdfArchive = True
    assert report.DocumentTitle == "מאזן בוחן (2026)" and report.PdfArchive is True
    report.StartPalvexPrintPreview()
    report.RightIT("יתרה (חובה)", palvex.A2_JumpToNextLine)
    report.printLastPage()
    pdf = tmp_path / "described.pdf"
    report.ExportPdf(str(pdf))
    info = subprocess.run(["pdfinfo", str(pdf)], check=True, capture_output=True,
                          text=True).stdout
    assert "Title:           מאזן בוחן (2026)" in info
    assert "Author:          Finance" in info
    assert "Keywords:        trial balance, מאזן" in info
    meta = subprocess.run(["pdfinfo", "-meta", str(pdf)], check=True, capture_output=True,
                          text=True).stdout
    assert "<pdfaid:part>2</pdfaid:part>" in meta
    text = subprocess.run(["pdftotext", str(pdf), "-"], check=True, capture_output=True,
                          text=True).stdout
    assert "יתרה (חובה)" in "".join(c for c in text if c not in "\u202a\u202b\u202c\u202d\u202e")
