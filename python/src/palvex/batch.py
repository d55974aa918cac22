"""Many reports on one machine: one report per record, rendered on every core.

    import palvex.batch
    summary = palvex.batch.run("invoice.py", records, "out", name=lambda record: record["number"])
    print(summary)

or from the command line (the script defines report(r, record), records(count) and name(record)):

    python3 -m palvex.batch --jobs 4 --out DIR --count 1000 examples/batch/invoice.py
    python3 -m palvex.batch --out DIR --records invoices.jsonl examples/batch/invoice.py

Each process keeps one control from report to report. Each report has a working folder of its
own and its PDF appears in the output folder whole or not at all (NAME.pdf); a process that
dies costs only the report it was rendering, which is tried again on another process.
"""

import argparse
import json
import os
import sys
import time
from dataclasses import dataclass, field
from typing import Any, Callable, Iterable, List, Optional, Tuple, Union

from . import _pool
from ._rendering import load_module, naming_of, report_files

__all__ = ["Summary", "run", "main"]


@dataclass
class Summary:
    """What a bulk run did: the reports written and their pages, the time it took, and each
    report that failed with its reason."""

    reports: int = 0
    pages: int = 0
    seconds: float = 0.0
    processes: int = 0
    failures: List[Tuple[str, str]] = field(default_factory=list)
    peak_mib: float = 0.0  # the largest peak resident memory of a worker process
    resent: int = 0  # reports queued again after their task was lost (Celery)

    @property
    def reports_per_second(self):
        return self.reports / self.seconds if self.seconds else 0.0

    @property
    def pages_per_second(self):
        return self.pages / self.seconds if self.seconds else 0.0

    def __str__(self):
        lines = [f"{self.reports} reports, {self.pages} pages in {self.seconds:.1f} s "
                 f"({self.reports_per_second:.1f} reports/s, {self.pages_per_second:.1f} pages/s) "
                 f"on {self.processes} processes; {len(self.failures)} failed"
                 + (f"; {self.resent} queued again" if self.resent else "")]
        lines += [f"failed: {name}: {reason}" for name, reason in self.failures]
        return "\n".join(lines)


def run(report: Union[str, os.PathLike, Callable[[Any, Any], None]], records: Iterable[Any],
        out: Union[str, os.PathLike], *, jobs: Optional[int] = None,
        name: Optional[Callable[[Any], str]] = None, attempts: int = 2,
        progress: Optional[bool] = None) -> Summary:
    """Renders report(r, record) for each record into out/NAME.pdf and returns the Summary.

    report: a function (defined at a module's top level, so that worker processes can import
    it), a script path whose report function is used, or "module:function". name(record) names
    each file (default: the record's position from 00001). jobs: worker processes (default one
    per core). attempts: how often a report is tried when its process dies under it. progress:
    a bar on standard error; None shows it only on a terminal.

    A report that raises is a failure with its reason; the others go on. Names that repeat, or
    that would put a file outside `out`, are refused before anything is rendered."""
    records = list(records)
    names, files = report_files(records, name)
    out = os.path.abspath(out)
    os.makedirs(out, exist_ok=True)
    targets = [os.path.join(out, each) for each in files]
    processes = max(1, jobs or _pool.default_processes())
    source = os.path.abspath(report) if isinstance(report, (str, os.PathLike)) and str(
        report).endswith(".py") else report

    summary = Summary(processes=min(processes, len(records)) if records else 0)
    bar = _progress_bar(len(records), progress)

    def done(index, pages, peak_mib):
        summary.reports += 1
        summary.pages += pages
        summary.peak_mib = max(summary.peak_mib, peak_mib)
        bar.update(1)

    def failed(index, reason):
        summary.failures.append((names[index], reason))
        bar.update(1)
        bar.set_postfix(failed=len(summary.failures))

    started = time.perf_counter()
    try:
        _pool.render_all(source, records.__getitem__, len(records), targets,
                         processes=processes, attempts=max(1, attempts), done=done,
                         failed=failed)
    finally:
        summary.seconds = time.perf_counter() - started
        bar.close()
    summary.failures.sort()
    return summary


class _NoBar:
    def update(self, _):
        pass

    def set_postfix(self, **_):
        pass

    def close(self):
        pass


def _progress_bar(total, shown):
    try:
        from tqdm import tqdm
    except ImportError:  # python3-tqdm missing: the run goes on without a bar
        return _NoBar()
    # disable=None: tqdm shows the bar only when standard error is a terminal.
    return tqdm(total=total, unit="report", file=sys.stderr, dynamic_ncols=True,
                disable=None if shown is None else not shown)


def _records_of(path):
    """Records from a file: a JSON array, or JSON lines (one record per line)."""
    with open(path, encoding="utf-8") as file:
        text = file.read()
    if text.lstrip().startswith("["):
        return json.loads(text)
    return [json.loads(line) for line in text.splitlines() if line.strip()]


def main(argv=None):
    arguments = argparse.ArgumentParser(
        prog="python3 -m palvex.batch",
        description="Renders one PDF per record with a report script, on every core. The "
                    "script defines report(r, record); with --count also records(count), and "
                    "name(record) for the file names.")
    arguments.add_argument("script", help="the report script (.py)")
    arguments.add_argument("--out", required=True, help="the folder the PDFs go to")
    source = arguments.add_mutually_exclusive_group(required=True)
    source.add_argument("--count", type=int, help="render the script's first COUNT sample records")
    source.add_argument("--records", help="a JSON file of records: an array or one per line")
    arguments.add_argument("--jobs", type=int, default=None,
                           help="worker processes (default: one per core)")
    arguments.add_argument("--attempts", type=int, default=2,
                           help="tries of a report whose process dies (default 2)")
    arguments.add_argument("--quiet", action="store_true", help="no progress bar")
    options = arguments.parse_args(argv)
    if options.jobs is not None and options.jobs < 1:
        arguments.error("--jobs must be at least 1")
    if options.count is not None and options.count < 0:
        arguments.error("--count must not be negative")
    try:
        script = load_module(options.script)
        if options.count is not None:
            if not callable(getattr(script, "records", None)):
                arguments.error(f"{options.script} defines no records(count) for --count")
            records = list(script.records(options.count))
        else:
            records = _records_of(options.records)
        summary = run(options.script, records, options.out, jobs=options.jobs,
                      name=naming_of(options.script), attempts=options.attempts,
                      progress=False if options.quiet else None)
    except (OSError, ValueError, ImportError, _pool.BrokenReport) as failure:
        print(f"palvex.batch: {failure}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:  # the workers are stopped; what was written stays
        print("palvex.batch: interrupted", file=sys.stderr)
        return 130
    print(summary)
    return 1 if summary.failures else 0


if __name__ == "__main__":
    sys.exit(main())
