"""The package as hosts meet it: installed with pip, in a PyQt6 window, without its library."""

import os
import pathlib
import shutil
import signal
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


def without_display(tmp_path=None):
    """The environment of a report job on a server (cron): no display of any kind named and no
    runtime folder, and a temporary folder of the job's own when tmp_path is given."""
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                   "XDG_RUNTIME_DIR", "PALVEX_QUIET")}
    if tmp_path is not None:
        environment["TMPDIR"] = str(tmp_path)
    return environment


SERVER_JOB = """
import palvex
with palvex.Report() as r:
    assert palvex.without_display()
    r.WorkingFolder = "."
    r.MessagesToHost = True
    r.StartPalvexPrintPreview()
    r.printText("report on a server", palvex.A2_JumpToNextLine)
    r.printLastPage()
    r.ExportPdf("report.pdf")
    try:
        palvex.run()
    except palvex.PalvexError as refused:
        print("refused", refused.status, refused.detail)
"""


def test_without_a_display_reports_export_and_showing_is_refused(tmp_path):
    result = subprocess.run([sys.executable, "-c", SERVER_JOB], capture_output=True, text=True,
                            cwd=tmp_path, timeout=120, env=without_display(tmp_path))
    assert result.returncode == 0, result.stderr
    # The notice, once, and nothing else: Qt was given a runtime folder.
    assert result.stderr.count("no display could be opened") == 1, result.stderr
    assert len(result.stderr.splitlines()) == 1, result.stderr
    assert result.stdout.startswith("refused 5 no display"), result.stdout
    assert (tmp_path / "report.pdf").stat().st_size > 0


def test_a_quiet_job_without_a_display_prints_nothing(tmp_path):
    job = ("import palvex; r = palvex.Report(); r.WorkingFolder = '.'; "
           "r.StartPalvexPrintPreview(); r.printText('שלום', palvex.A2_JumpToNextLine); "
           "r.printLastPage(); r.ExportPdf('quiet.pdf')")
    result = subprocess.run([sys.executable, "-c", job], capture_output=True, text=True,
                            cwd=tmp_path, timeout=120,
                            env={**without_display(tmp_path), "PALVEX_QUIET": "1"})
    assert result.returncode == 0, result.stderr
    assert result.stderr == "" and result.stdout == ""
    assert (tmp_path / "quiet.pdf").stat().st_size > 0


INTERRUPTED_PREVIEW = """
import os, palvex, sys
r = palvex.Report()
r.WorkingFolder = "."
r.StartPalvexPrintPreview()
r.printText("waiting for Ctrl+C", palvex.A2_JumpToNextLine)
r.printLastPage()
try:
    print(os.getpid(), flush=True)
    palvex.run()
except KeyboardInterrupt:
    print("interrupted", flush=True)
    sys.exit(0)
print("returned without a KeyboardInterrupt", flush=True)
sys.exit(1)
"""


def test_ctrl_c_while_a_preview_is_shown_raises_keyboard_interrupt(tmp_path):
    xvfb = shutil.which("xvfb-run")
    if not xvfb:
        pytest.skip("xvfb-run is not installed (package xvfb)")
    environment = {**without_display(), "QT_QPA_PLATFORM": "xcb"}
    host = subprocess.Popen([xvfb, "-a", sys.executable, "-c", INTERRUPTED_PREVIEW],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            cwd=tmp_path, env=environment)
    try:
        pid = int(host.stdout.readline())
        os.kill(pid, signal.SIGINT)
        out, err = host.communicate(timeout=60)
    finally:
        host.kill()
    assert host.returncode == 0, out + err
    assert out.strip() == "interrupted", out + err
