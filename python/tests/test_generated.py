"""The files the package generates from the library (the type stub and the callers), and the
callers as real code: their source can be read and tracebacks show its lines."""

import ast
import inspect
import os
import pathlib
import shutil
import subprocess
import sys
import traceback

import pytest

import palvex
from palvex import _stubs

PACKAGE = pathlib.Path(palvex.__file__).parent
JUMP = palvex.A2_JumpToNextLine


def write_generated(folder, package_path):
    subprocess.run([sys.executable, "-m", "palvex._stubs", str(folder)], check=True,
                   capture_output=True, env={**os.environ, "PYTHONPATH": str(package_path)})


def test_the_generated_files_are_the_librarys(tmp_path):
    """A member added, changed or given a new shape must reach the stub and the callers."""
    write_generated(tmp_path, PACKAGE.parent)
    for name in _stubs.GENERATED:
        assert (PACKAGE / name).read_text(encoding="utf-8") == (tmp_path / name).read_text(
            encoding="utf-8"), "regenerate: python3 -m palvex._stubs (from python/src)"
    stub = ast.parse((PACKAGE / "__init__.pyi").read_text(encoding="utf-8"))
    report = next(node for node in stub.body if getattr(node, "name", "") == "Report")
    assert {"printText", "FontName", "ExportPdf"} <= {
        getattr(node, "name", getattr(getattr(node, "target", None), "id", None))
        for node in report.body}


# A program a type checker reads through the stub: each line marked "# E: code" is a mistake
# it must report with that code, and it must report nothing else.
TYPED_PROGRAM = """\
import palvex

r = palvex.Report()
r.printText("שלום", palvex.A2_JumpToNextLine)
r.printText("x", palvex.A2_JumpToNextLine)["TXT"]  # E: func-returns-value
gone = r.printPage()  # E: func-returns-value
corrected = r.printLine(0, 0, 9, 0, 0, 13, 0, 0, palvex.A0_AlignNone)
if corrected is not None:
    width: int = corrected["lDrawWidth"]
    corrected["lColor"]  # E: typeddict-item
r.printLine(0, 0, 9, 0, 0, 13, 0, 0, palvex.A0_AlignNone)["lDrawWidth"]  # E: index
cancel = r.SavePrint("p.txt", False)
stopped: bool = bool(cancel and cancel["Cancel"])
size: float = r.TextWidth("x")
try:
    r.ExportPdf("x.pdf")
except palvex.PalvexError as error:
    if error.status == palvex.Status.BAD_FILE_NAME:
        print(palvex.status_text(error.status))
palvex.Status.NO_SUCH_STATUS  # E: attr-defined
align: palvex.Align = palvex.RIGHT
palvex.Event.PAGE_DRAWN  # E: attr-defined
r.on_event(lambda event, number, text: print(event.name, number + 1, text.upper()))
"""


def test_a_type_checker_reading_the_stub_finds_the_misuses_and_only_them(tmp_path):
    pytest.importorskip("mypy", reason="the type checker (Debian's mypy) is not installed")
    program = tmp_path / "program.py"
    program.write_text(TYPED_PROGRAM, encoding="utf-8")
    expected = {(number, line.split("# E: ")[1])
                for number, line in enumerate(TYPED_PROGRAM.splitlines(), 1) if "# E: " in line}
    checked = subprocess.run(
        [sys.executable, "-m", "mypy", "--show-error-codes", "--no-error-summary",
         "--cache-dir", str(tmp_path / "cache"), str(program)],
        capture_output=True, text=True,
        # Not on PYTHONPATH: mypy would take the package for an installed one and keep quiet
        # about faults of the stub itself.
        env={**{k: v for k, v in os.environ.items() if k != "PYTHONPATH"},
             "MYPYPATH": str(PACKAGE.parent)})
    found = set()
    for report in checked.stdout.splitlines():
        where, _, said = report.partition(": error: ")
        assert said and where.startswith(str(program)), report  # nothing about the stub itself
        found.add((int(where.rsplit(":", 1)[1]), said.rsplit("[", 1)[1].rstrip("]")))
    assert found == expected, checked.stdout


def test_a_callers_file_gone_wrong_leaves_the_package_loadable_to_write_it_again(tmp_path):
    copy = tmp_path / "palvex"
    shutil.copytree(PACKAGE, copy, ignore=shutil.ignore_patterns("__pycache__"))
    (copy / "_callers.py").write_text("def broken(:\n", encoding="utf-8")
    probe = ("import palvex\nr = palvex.Report()\n"
             "try:\n    r.printText('x', 2)\nexcept NotImplementedError as e:\n    print(e)\n")
    said = subprocess.run([sys.executable, "-c", probe], check=True, capture_output=True,
                          text=True, env={**os.environ, "PYTHONPATH": str(tmp_path)}).stdout
    assert "printText" in said and "python3 -m palvex._stubs" in said
    write_generated(copy, tmp_path)
    assert (copy / "_callers.py").read_text(encoding="utf-8") == (
        PACKAGE / "_callers.py").read_text(encoding="utf-8")


def test_a_callers_source_can_be_read():
    source = inspect.getsource(palvex.Report.printText)
    assert source.lstrip().startswith("def call(report, *args, **named):")
    assert "invoke(handle, ident, kind, slots, 2, None)" in source
    assert inspect.getsourcefile(palvex.Report.printText) == str(PACKAGE / "_callers.py")
    assert "def call(report, value):" in inspect.getsource(palvex.Report.FontName.fset)


def innermost(call):
    with pytest.raises(Exception) as caught:
        call()
    return traceback.extract_tb(caught.value.__traceback__)[-1]


def test_a_refused_calls_traceback_ends_on_a_line_of_a_real_file(recording):
    r = recording
    for call, line in [
            # The library's refusals, by position, by name, of a property set and read.
            (lambda: r.fxNameHeader(99, "x"), "raise refused(handle, status, name)"),
            (lambda: r.fxNameHeader(X=99, TXT="x"), "raise refused(handle, status, member.name)"),
            (lambda: setattr(r, "PaperSize", "bogus"), "raise refused(handle, status, name)"),
            (lambda: r.Font, None),
            # The package's own: a value it cannot pass, an argument left out.
            (lambda: r.printText(object(), JUMP), "raise unfit_argument(name, params, args) "
                                                  "from None"),
            (lambda: r.printText("x"), "raise missing(member.name, left_out)")]:
        frame = innermost(call)
        assert pathlib.Path(frame.filename).is_file(), frame
        assert frame.line and (line is None or frame.line == line), frame
