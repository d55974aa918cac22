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
