"""The package as hosts meet it: installed with pip, in a PyQt6 window, without its library."""

import os
import pathlib
import shutil
import subprocess
import sys

import pytest

PACKAGE = pathlib.Path(__file__).resolve().parents[1]


def run_python(arguments, **environment):
    return subprocess.run([sys.executable, *arguments], capture_output=True, text=True,
                          timeout=120, env={**os.environ, **environment})


def test_pip_installs_a_package_that_imports_and_records(tmp_path):
    # pip builds inside the project it installs: a copy keeps the source tree clean.
    source = tmp_path / "source"
    shutil.copytree(PACKAGE, source, ignore=shutil.ignore_patterns("build", "*.egg-info",
                                                                   "__pycache__", "tests"))
    target = tmp_path / "site"
    installed = subprocess.run(
        [sys.executable, "-m", "pip", "install", "--quiet", "--no-build-isolation", "--no-deps",
         "--no-index", "--target", str(target), str(source)],
        capture_output=True, text=True, timeout=300)
    assert installed.returncode == 0, installed.stderr
    program = ("import palvex; r = palvex.Report(); r.WorkingFolder = '.';"
               "r.StartPalvexPrintPreview(); r.printText('שלום', palvex.A2_JumpToNextLine);"
               "print(palvex.__file__)")
    result = subprocess.run([sys.executable, "-c", program], capture_output=True, text=True,
                            cwd=tmp_path, timeout=120,
                            env={**os.environ, "PYTHONPATH": str(target)})
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip().startswith(str(target))


def test_without_its_library_the_import_says_what_to_do():
    result = run_python(["-c", "import palvex"], PALVEX_LIBRARY="/nonexistent/libpalvex.so.1")
    assert result.returncode != 0
    assert "ImportError" in result.stderr and "PALVEX_LIBRARY" in result.stderr
    assert "/nonexistent/libpalvex.so.1" in result.stderr


def test_a_pyqt6_window_embeds_the_preview_in_a_tab():
    pytest.importorskip("PyQt6.QtWidgets", reason="python3-pyqt6 is not installed")
    result = run_python([str(pathlib.Path(__file__).with_name("pyqt_host.py"))])
    assert result.returncode == 0 and result.stdout.strip().endswith("ok"), result.stderr
