"""Reads PDFs palvex-run writes with three readers nobody here wrote (pdf.js, poppler's
pdftotext, MuPDF's mutool) and checks that each line reads back as it was typed.

    readers_read_as_typed.py PALVEX_RUN PDFJS_DIR WORKDIR lines [FAMILY]
        tests/pdf/reading_lines.pvs in FAMILY (default Liberation Sans): every reader keeps
        every character of every line (points included); pdf.js and poppler read each line in
        its typed order with its spaces; MuPDF 1.21, which follows the content as it comes, reads
        left-to-right lines as typed and right-to-left ones reversed.
    readers_read_as_typed.py PALVEX_RUN PDFJS_DIR WORKDIR examples SCRIPT...
        each example's texts (its printText/centerIT/... string literals) read back whole by
        pdf.js and poppler.
    readers_read_as_typed.py PALVEX_RUN PDFJS_DIR WORKDIR families
        the lines in each family `fc-list :lang=he` offers: pdf.js and poppler read every
        character and every word, every font is embedded, and no text is drawn as outlines.

Prints a table of what each reader read; exits 1 when an expectation fails.
"""
import json
import re
import subprocess
import sys
import unicodedata
from collections import Counter
from pathlib import Path

HERE = Path(__file__).resolve().parent
LINES_SCRIPT = HERE / "reading_lines.pvs"
TEXT_CALL = re.compile(r'^\s*(?:printText|centerIT|RightIT|LeftIT|centerMixedLanguages)\s+"([^"]+)"',
                       re.MULTILINE)
BIDI_CONTROLS = dict.fromkeys(map(ord, "\u202a\u202b\u202c\u202d\u202e\u200e\u200f"))


def run(args, cwd=None):
    done = subprocess.run(args, cwd=cwd, capture_output=True, text=True, encoding="utf-8",
                          check=False)
    if done.returncode != 0:
        raise RuntimeError(f"{args[0]} failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout


def export(palvex_run, script_text, folder, name):
    folder.mkdir(parents=True, exist_ok=True)
    script = folder / f"{name}.pvs"
    script.write_text(script_text, encoding="utf-8")
    run([palvex_run, str(script)], cwd=folder)
    pdf = folder / re.search(r'ExportPdf "([^"]+)"', script_text).group(1)
    run(["qpdf", "--check", str(pdf)])
    return pdf


def readings(pdfjs_dir, pdf):
    """Each reader's text, as lines without blank ones."""
    pdfjs = "\n".join(json.loads(run(["node", str(HERE / "pdfjs_text.mjs"), str(pdfjs_dir),
                                      str(pdf)])))
    poppler = run(["pdftotext", str(pdf), "-"])
    mupdf = run(["mutool", "draw", "-q", "-F", "txt", str(pdf)])

    def lines(text):
        text = unicodedata.normalize("NFC", text.translate(BIDI_CONTROLS))
        return [line.strip() for line in text.splitlines() if line.strip()]
    return {"pdf.js": lines(pdfjs), "poppler": lines(poppler), "MuPDF": lines(mupdf)}


def direction(line):
    kinds = {unicodedata.bidirectional(c) for c in line}
    rtl, ltr = bool(kinds & {"R", "AL"}), bool(kinds & {"L", "EN", "AN"})
    return "mixed" if rtl and ltr else "rtl" if rtl else "ltr"


# What a line looks like on the page where that differs from how it was typed: a reader that
# rebuilds the text from the page (and cannot know the paragraph was right to left) reads this.
SHOWN_AS = {"-1,029.47": "1,029.47-", "7,662.00 ₪": "₪ 7,662.00"}
PUNCTUATION = "()[]:-·₪.,"


def letters(text):
    return Counter(c for c in unicodedata.normalize("NFD", text) if not c.isspace())


class Report:
    def __init__(self):
        self.failures = []

    def check(self, ok, what):
        print(f"  {'ok ' if ok else 'NO '} {what}")
        if not ok:
            self.failures.append(what)


def found(line, read_lines):
    """Whether a reader's line is the typed one (the line may sit beside others in one)."""
    typed = unicodedata.normalize("NFC", line)
    return any(typed in read for read in read_lines)


def check_reading(report, label, line, reader, read_lines, strict=True):
    """What `reader` must make of `line`, by the line's kind. Not `strict`: its words whole."""
    kind = "mixed" if not strict else direction(line)
    pointed = any(unicodedata.category(c) == "Mn" for c in line)
    whole = " ".join(read_lines)
    # Every character comes back, whatever the order: no point, no letter lost, none unknown.
    report.check(not (letters(line) - letters(whole)),
                 f"{label}: {reader} keeps every character of {line!r}")
    report.check("\ufffd" not in whole, f"{label}: {reader} reads no unknown character")
    shown = SHOWN_AS.get(line, line)
    if reader == "MuPDF":
        # It follows the content, which is shown left to right.
        if kind == "ltr":
            report.check(found(shown, read_lines), f"{label}: MuPDF reads {line!r} as shown")
        elif kind == "rtl" and not pointed and "\u0627" not in line:
            report.check(found(line[::-1], read_lines),
                         f"{label}: MuPDF reads {line!r} reversed, as it follows the content")
    elif pointed and reader == "poppler":
        pass  # poppler places each point by where it is drawn: the letters are there
    elif kind == "mixed" or reader == "poppler":
        # The reader decides the line's direction by itself (poppler each word's too): its
        # words are there whole, a bracket or a sign at a word's end maybe elsewhere.
        report.check(all(word.strip(PUNCTUATION) in whole for word in shown.split()),
                     f"{label}: {reader} reads every word of {line!r}")
    else:
        report.check(found(shown, read_lines), f"{label}: {reader} reads {line!r} as typed")


def check_lines(report, pdfjs_dir, pdf, typed_lines, label, readers=("pdf.js", "poppler", "MuPDF"),
                strict=True):
    read = readings(pdfjs_dir, pdf)
    for line in typed_lines:
        if not any(c.isalnum() for c in line):
            continue
        for reader in readers:
            check_reading(report, label, line, reader, read[reader], strict)


def typed_lines_of(script_text):
    return [unicodedata.normalize("NFC", text) for text in TEXT_CALL.findall(script_text)]


def with_font(script_text, family):
    return script_text.replace('FontName = "Liberation Sans"', f'FontName = "{family}"')


def check_families(report, palvex_run, pdfjs_dir, workdir):
    families = sorted({name.split(",")[0].strip() for name in
                       run(["fc-list", ":lang=he", "family"]).splitlines() if name.strip()})
    base = LINES_SCRIPT.read_text(encoding="utf-8")
    # The lines a family is checked with: Hebrew, brackets, Latin, numbers (no Arabic or
    # Cyrillic, which Hebrew fonts leave to others).
    keep = ("אופק", "1010", "יתרה", "T04", "-1,029.47", "מס׳")
    script = "\n".join(line for line in base.splitlines()
                       if not line.startswith("printText") or any(k in line for k in keep))
    for family in families:
        pdf = export(palvex_run, with_font(script, family), workdir / "families",
                     re.sub(r"\W", "_", family))
        fonts = run(["pdffonts", str(pdf)])
        outlines = "/Type3" in fonts or len(fonts.splitlines()) <= 2
        report.check(not outlines, f"{family}: text is drawn with an embedded font")
        # A family without Latin letters or digits draws them from another font, which pdf.js
        # takes as a run of its own: the words are checked whole, the order in `lines` mode.
        check_lines(report, pdfjs_dir, pdf, typed_lines_of(script), family, ("pdf.js", "poppler"),
                    strict=False)


def main():
    palvex_run, pdfjs_dir, workdir, mode, *rest = sys.argv[1:]
    workdir = Path(workdir)
    report = Report()
    if mode == "lines":
        family = rest[0] if rest else "Liberation Sans"
        script = with_font(LINES_SCRIPT.read_text(encoding="utf-8"), family)
        pdf = export(palvex_run, script, workdir / "lines", re.sub(r"\W", "_", family))
        check_lines(report, pdfjs_dir, pdf, typed_lines_of(script), family)
    elif mode == "examples":
        for example in map(Path, rest):
            text = example.read_text(encoding="utf-8")
            pdf = export(palvex_run, text + f'\nExportPdf "{example.stem}-read.pdf"\n',
                         workdir / "examples", example.stem)
            check_lines(report, pdfjs_dir, pdf, typed_lines_of(text), example.name,
                        ("pdf.js", "poppler"))
    elif mode == "families":
        check_families(report, palvex_run, pdfjs_dir, workdir)
    else:
        sys.exit(f"unknown mode {mode}")
    if report.failures:
        print(f"{len(report.failures)} expectation(s) failed", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
