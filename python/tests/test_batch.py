"""Many reports on one machine (palvex.batch): every report whole and its own, a process that
dies costing only its report, and a warm control that carries nothing from report to report."""

import os
import pathlib
import subprocess
import sys

import pytest

import palvex
import palvex.batch
from palvex._rendering import Renderer

import batch_reports
from invoices import SCRIPT, invoice, problems

ENVIRONMENT = {**os.environ, "PYTHONPATH": str(pathlib.Path(palvex.__file__).resolve().parents[1])}


def test_the_command_renders_each_invoice_whole_and_its_own(tmp_path):
    out = tmp_path / "out"
    result = subprocess.run([sys.executable, "-m", "palvex.batch", "--jobs", "2", "--out",
                             str(out), "--count", "300", str(SCRIPT)], capture_output=True,
                            text=True, timeout=600, cwd=tmp_path, env=ENVIRONMENT)
    assert result.returncode == 0, result.stderr
    assert result.stdout.startswith("300 reports, 300 pages in ")
    assert "on 2 processes; 0 failed" in result.stdout
    assert result.stderr == ""  # no bar when standard error is not a terminal
    assert problems(out, 300) == []
    # The working folders were the workers' own, and are gone.
    assert sorted(os.listdir(tmp_path)) == ["out"]


def test_on_a_terminal_the_run_shows_its_progress(tmp_path):
    # `script` gives the run a terminal, as an operator's shell does (bsdutils, essential).
    command = (f"{sys.executable} -m palvex.batch --jobs 1 --out {tmp_path / 'out'} --count 5 "
               f"{SCRIPT}")
    result = subprocess.run(["script", "-qec", command, "/dev/null"], capture_output=True,
                            text=True, timeout=300, env=ENVIRONMENT)
    assert result.returncode == 0, result.stdout
    assert "5/5" in result.stdout and "100%" in result.stdout  # the bar, at its end
    assert "5 reports, 5 pages in " in result.stdout


def invoices_with(count, **faults):
    records = [invoice.sample(k) for k in range(1, count + 1)]
    for k, fault in faults.items():
        records[int(k[1:]) - 1].update(fault)
    return records


def test_a_worker_killed_under_a_report_costs_only_that_report(tmp_path):
    out = tmp_path / "out"
    # Invoice 7's process dies the first time: the report is tried again elsewhere. Invoice 9's
    # dies every time: it is reported, and so is invoice 11, which raises; the rest complete.
    records = invoices_with(40, k7={"die": str(tmp_path / "died")}, k9={"die": "always"},
                            k11={"raise": "no customer"})
    summary = palvex.batch.run(batch_reports.invoice_or_fault, records, out, jobs=2,
                               name=invoice.name, attempts=2, progress=False)
    assert summary.reports == 38 and summary.pages == 38
    assert summary.failures == [
        ("INV-00009", "the worker process was killed by signal 9 (SIGKILL)"),
        ("INV-00011", "ValueError: no customer")]
    written = problems(out, 40)
    assert written == ["missing: INV-00009.pdf", "missing: INV-00011.pdf"]
    assert "38 reports, 38 pages in " in str(summary)
    assert "failed: INV-00009: the worker process was killed by signal 9" in str(summary)


def test_a_report_that_cannot_run_stops_the_run_with_its_reason(tmp_path):
    script = tmp_path / "broken.py"
    script.write_text("import no_such_module\n")
    result = subprocess.run([sys.executable, "-m", "palvex.batch", "--out", str(tmp_path / "o"),
                             "--count", "3", str(script)], capture_output=True, text=True,
                            timeout=300, env=ENVIRONMENT)
    assert result.returncode == 2
    assert "No module named 'no_such_module'" in result.stderr
    with pytest.raises(palvex.batch._pool.BrokenReport, match="no_such_module"):
        palvex.batch.run("no_such_module:report", [1], tmp_path / "o", jobs=1, progress=False)


def test_names_that_collide_or_leave_the_folder_are_refused_before_anything_runs(tmp_path):
    out = tmp_path / "out"
    for names, why in [(["a", "a"], "two reports are named a.pdf"),
                       (["../escape", "b"], "cannot name"), ([".hidden", "b"], "cannot name"),
                       (["", "b"], "cannot name")]:
        with pytest.raises(ValueError, match=why):
            palvex.batch.run(batch_reports.styled, ["plain", "plain"], out,
                             name=lambda _, left=iter(names): next(left), progress=False)
    assert not out.exists() or not os.listdir(out)


def page_picture(pdf):
    return subprocess.run(["pdftoppm", "-r", "40", "-gray", str(pdf)], check=True,
                          capture_output=True).stdout


def test_a_warm_control_starts_each_report_as_a_fresh_one_would(tmp_path):
    with Renderer() as fresh:
        fresh.render(batch_reports.styled, "plain", tmp_path / "fresh.pdf")
    with Renderer() as warm:
        for k in range(3):
            warm.render(batch_reports.styled, "loud", tmp_path / "loud.pdf")
            warm.render(batch_reports.styled, "plain", tmp_path / f"after-{k}.pdf")
        assert warm.controls_made == 1
        # A report that raises leaves a control that is not trusted again, and no file.
        with pytest.raises(ValueError):
            warm.render(batch_reports.invoice_or_fault, {"raise": "x"}, tmp_path / "x.pdf")
        warm.render(batch_reports.styled, "plain", tmp_path / "after-failure.pdf")
        assert warm.controls_made == 2
    assert not (tmp_path / "x.pdf").exists()
    expected = page_picture(tmp_path / "fresh.pdf")
    assert expected != page_picture(tmp_path / "loud.pdf")
    for k in range(3):
        assert page_picture(tmp_path / f"after-{k}.pdf") == expected
    assert page_picture(tmp_path / "after-failure.pdf") == expected
    assert sorted(p.name for p in tmp_path.iterdir()) == [
        "after-0.pdf", "after-1.pdf", "after-2.pdf", "after-failure.pdf", "fresh.pdf", "loud.pdf"]


def test_what_an_attempt_that_died_left_is_cleared_by_the_next(tmp_path):
    target = tmp_path / "INV-00001.pdf"
    # As a process killed while it exported would leave it, here or on another machine.
    (tmp_path / ".INV-00001.pdf.a1B2c3").write_bytes(b"%PDF-1.7 half")
    # Not the control's: another report's part, and a file of the user's.
    kept = [tmp_path / ".INV-00002.pdf.a1B2c3", tmp_path / ".INV-00001.pdf.backup-2025"]
    for other in kept:
        other.write_bytes(b"%PDF-1.7")
    with Renderer() as renderer:
        assert renderer.render(invoice.report, invoice.sample(1), target,
                               after_a_lost_attempt=True) == 1
    assert problems(tmp_path, 1) == [f"left in the folder: {other.name}"
                                     for other in sorted(kept)]


def anonymous_kib():
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("RssAnon:"))


def test_a_warm_control_keeps_its_memory_over_many_reports(tmp_path):
    # Nothing runs an event loop in a worker: what Qt posts for the preview at each report
    # (about 0.8 KiB of repaint regions) piled up until the process ended.
    with Renderer() as renderer:
        for k in range(1200):
            renderer.render(batch_reports.one_line, k, tmp_path / "r.pdf")
            if k == 200:
                settled = anonymous_kib()
    assert anonymous_kib() - settled < 300
