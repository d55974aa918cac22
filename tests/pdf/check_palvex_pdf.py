#!/usr/bin/python3
"""Runs a palvex-run script that exports a report with a paragraph and a table, and reads the
PDF with three readers nobody on the team wrote or shares code with: check_pdfua.py's rules,
poppler's structure text and pdf.js's structure tree. Every reader must find the paragraph
and the table, row and cell in order; every reader's failure is printed before the exit.
With --pdf, reads a PDF another program wrote, expecting ROLE=TEXT (or ROLE) in order.

    check_palvex_pdf.py PALVEX_RUN SCRIPT.pvs WORKDIR PDFJS_DIR
    check_palvex_pdf.py --pdf FILE.pdf PDFJS_DIR ROLE[=TEXT]...
"""
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
import check_pdfua  # noqa: E402
import pdfjs  # noqa: E402
import struct_text  # noqa: E402

PDF_NAME = "tagged_report.pdf"  # what the script exports
# The paragraph names the program in Latin letters, which read the same in either direction.
EXPECTED = [("P", "Palvex"), ("Table", None), ("TR", None), ("TD", "1,234.50")]


def read_by_every_reader(pdf, pdfjs_dir, expected):
    """0 when the three readers find `expected` in order and the rules hold, else 1."""
    if not Path(pdf).is_file():
        print(f"{pdf}: no such file")
        return 1
    failures = []
    findings = check_pdfua.check(pdf)
    for finding in findings:
        print(f"check_pdfua: {finding}")
    if any(f.severity == "error" for f in findings):
        failures.append("check_pdfua.py")

    readers = (("pdfinfo -struct-text", lambda: struct_text.read_outline(pdf)),
               ("pdf.js getStructTree", lambda: pdfjs.read_outline(pdfjs_dir, pdf)))
    for name, read in readers:
        try:
            struct_text.assert_in_order(read(), expected)
        except (AssertionError, RuntimeError) as e:
            print(f"{name}: {e}")
            failures.append(name)

    if failures:
        print(f"{pdf}: not read as a tagged report by {', '.join(failures)}; "
              f"check_pdfua.py --structure {pdf} shows its structure")
        return 1
    print(f"{pdf}: tagged; {' > '.join(role for role, _ in expected)} read by every reader")
    return 0


def main(argv):
    if len(argv) >= 3 and argv[0] == "--pdf":
        expected = [(e.partition("=")[0], e.partition("=")[2] or None) for e in argv[3:]]
        return read_by_every_reader(Path(argv[1]), argv[2], expected)
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    palvex_run, script, workdir, pdfjs_dir = argv
    work = Path(workdir)
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    done = subprocess.run([palvex_run, str(Path(script).resolve())], cwd=work,
                          capture_output=True, text=True, check=False)
    if done.returncode != 0 or not (work / PDF_NAME).is_file():
        print(f"palvex-run {script} failed ({done.returncode}):\n{done.stdout}{done.stderr}")
        return 1
    return read_by_every_reader(work / PDF_NAME, pdfjs_dir, EXPECTED)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
