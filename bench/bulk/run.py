"""Bulk runs measured on this machine: the sample invoice (examples/batch/invoice.py) and the
yardstick (100-page trial balances) with one process, one per core, and Celery with one worker
process per core, beside ReportLab doing the same invoice in the same kind of pool; and the peak
memory of a worker over a long run. Called by bench/bulk_runs, which sets up the environment.

    python3 bench/bulk/run.py COUNT RUNS
"""

import concurrent.futures
import multiprocessing
import os
import pathlib
import resource
import socket
import subprocess
import sys
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path[:0] = [str(ROOT / "examples" / "batch"), str(ROOT / "bench" / "peers"), str(HERE)]

import invoice  # noqa: E402
import palvex.batch  # noqa: E402
from palvex import _pool  # noqa: E402

CORES = _pool.default_processes()
YARDSTICK_PAGES = 100


def median_of(runs, measure):
    """measure() -> (count, pages, seconds, peak MiB); the run of median time."""
    results = sorted((measure() for _ in range(runs)), key=lambda result: result[2])
    return results[len(results) // 2]


def check(out, count):
    names = os.listdir(out)
    if len(names) != count or any(name.startswith(".") for name in names):
        raise SystemExit(f"{out}: {len(names)} files for {count} reports")


def palvex_batch(script, records, jobs, name=None, threads=None):
    """threads: the PDF writer's deflating threads in each worker (None: as the pool chooses)."""
    def measure():
        if threads is not None:
            os.environ["PALVEX_PDF_THREADS"] = str(threads)
        with tempfile.TemporaryDirectory() as out:
            summary = palvex.batch.run(script, records, out, jobs=jobs, name=name,
                                       progress=False)
            if summary.failures:
                raise SystemExit(str(summary))
            check(out, len(records))
            os.environ.pop("PALVEX_PDF_THREADS", None)
            return summary.reports, summary.pages, summary.seconds, summary.peak_mib
    return measure


def _reportlab_job(job):
    import reportlab_invoice

    pages = reportlab_invoice.render(job)
    return pages, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def reportlab_pool(records, jobs):
    def measure():
        with tempfile.TemporaryDirectory() as out:
            work = [(record, os.path.join(out, invoice.name(record) + ".pdf"))
                    for record in records]
            started = time.perf_counter()
            with concurrent.futures.ProcessPoolExecutor(
                    jobs, mp_context=multiprocessing.get_context("spawn")) as pool:
                done = list(pool.map(_reportlab_job, work, chunksize=1))
            seconds = time.perf_counter() - started
            check(out, len(records))
            return len(done), sum(p for p, _ in done), seconds, max(m for _, m in done)
    return measure


def celery_workers(count, jobs):
    """redis-server and `jobs` workers of one process each; the producer's own summary."""
    def measure():
        with tempfile.TemporaryDirectory() as folder:
            with socket.socket() as probe:
                probe.bind(("127.0.0.1", 0))
                port = probe.getsockname()[1]
            broker = f"redis://127.0.0.1:{port}/0"
            server = subprocess.Popen(["redis-server", "--port", str(port), "--bind",
                                       "127.0.0.1", "--dir", folder, "--save", ""],
                                      stdout=subprocess.DEVNULL)
            environment = {**os.environ, "PALVEX_BROKER": broker}
            workers = []
            try:
                while subprocess.run(["redis-cli", "-p", str(port), "ping"],
                                     capture_output=True).returncode:
                    time.sleep(0.1)
                for n in range(jobs):
                    log = pathlib.Path(folder) / f"worker-{n}.log"
                    workers.append((subprocess.Popen(
                        [sys.executable, "-m", "celery", "-A", "palvex.celery", "worker", "-n",
                         f"w{n}@%h", "--concurrency", "1", "--loglevel", "INFO"],
                        env=environment, stdout=open(log, "w"), stderr=subprocess.STDOUT,
                        start_new_session=True), log))
                for _, log in workers:
                    while " ready." not in log.read_text():
                        time.sleep(0.1)
                out = pathlib.Path(folder) / "out"
                said = subprocess.run([sys.executable, str(ROOT / "examples" / "batch" /
                                                            "producer.py"), "--broker", broker,
                                       "--count", str(count), "--out", str(out)],
                                      check=True, capture_output=True, text=True,
                                      env=environment).stdout
                check(out, count)
                seconds = float(said.split(" pages in ")[1].split(" s ")[0])  # the summary
                peak = max(_peak_of_children(process.pid) for process, _ in workers)
                return count, count, seconds, peak
            finally:
                for process, _ in workers:
                    os.killpg(process.pid, 15)
                    process.wait()
                server.terminate()
                server.wait()
    return measure


def _peak_of_children(pid):
    """The largest peak resident memory of a worker's pool processes, in MiB."""
    peak = 0
    for child in pathlib.Path(f"/proc/{pid}/task/{pid}/children").read_text().split():
        for line in pathlib.Path(f"/proc/{child}/status").read_text().splitlines():
            if line.startswith("VmHWM:"):
                peak = max(peak, int(line.split()[1]) / 1024)
    return peak


def memory_over_a_long_run(count):
    """A worker's resident memory (all of it, and its anonymous part: what it allocated, not
    the font and library pages it has touched) after reports 10, 100 and `count`, measured in
    a process of its own that renders as a bulk worker does."""
    script = f"""
import os, sys, tempfile
sys.path.insert(0, {str(ROOT / "examples" / "batch")!r})
import invoice
from palvex._rendering import Renderer
def kib(field):
    with open("/proc/self/status") as status:
        return next(int(l.split()[1]) for l in status if l.startswith(field + ":"))
with tempfile.TemporaryDirectory() as out, Renderer() as renderer:
    for k in range(1, {count} + 1):
        renderer.render(invoice.report, invoice.sample(k), os.path.join(out, "x.pdf"))
        if k in (10, 100, {count}):
            print(k, kib("VmRSS") / 1024, kib("RssAnon") / 1024, kib("VmHWM") / 1024)
"""
    said = subprocess.run([sys.executable, "-c", script], check=True, capture_output=True,
                          text=True).stdout
    return {int(k): (float(rss), float(anon), float(peak))
            for k, rss, anon, peak in (line.split() for line in said.splitlines())}


def main():
    count, runs = int(sys.argv[1]), int(sys.argv[2])
    records = invoice.records(count)
    script = str(ROOT / "examples" / "batch" / "invoice.py")
    yardsticks = [YARDSTICK_PAGES] * (4 * CORES)
    rows = []
    # Scaling compares like with like: one process without deflating threads, as each process
    # of a full pool runs, against the full pool. One process with them is what a single run
    # gets on an idle machine.
    for label, measure in [
        ("invoice, Palvex, 1 process", palvex_batch(script, records, 1, invoice.name, 0)),
        (f"invoice, Palvex, {CORES} processes", palvex_batch(script, records, CORES,
                                                             invoice.name)),
        (f"invoice, Palvex, Celery {CORES} workers", celery_workers(count, CORES)),
        ("invoice, ReportLab, 1 process", reportlab_pool(records, 1)),
        (f"invoice, ReportLab, {CORES} processes", reportlab_pool(records, CORES)),
        (f"yardstick {YARDSTICK_PAGES} pages, Palvex, 1 process",
         palvex_batch(str(HERE / "trial_balance.py"), yardsticks, 1, threads=0)),
        (f"yardstick {YARDSTICK_PAGES} pages, Palvex, {CORES} processes",
         palvex_batch(str(HERE / "trial_balance.py"), yardsticks, CORES)),
    ]:
        reports, pages, seconds, peak = median_of(runs, measure)
        rows.append((label, reports / seconds, pages / seconds, peak))
        print(f"{label:42} {reports / seconds:8.1f} reports/s {pages / seconds:8.1f} pages/s "
              f"{peak:7.1f} MiB peak per worker", flush=True)
    reports, pages, seconds, peak = median_of(runs, palvex_batch(
        str(HERE / "trial_balance.py"), yardsticks, 1))
    print(f"{'yardstick, 1 process with its deflating threads':42} {reports / seconds:8.1f} "
          f"reports/s {pages / seconds:8.1f} pages/s {peak:7.1f} MiB peak per worker")
    by = {label: rate for label, rate, _, _ in rows}
    print(f"scaling 1 -> {CORES} processes: invoice "
          f"{by[f'invoice, Palvex, {CORES} processes'] / by['invoice, Palvex, 1 process']:.2f}x, "
          f"yardstick {rows[6][2] / rows[5][2]:.2f}x")
    print(f"Palvex / ReportLab, invoices per second: 1 process "
          f"{by['invoice, Palvex, 1 process'] / by['invoice, ReportLab, 1 process']:.2f}x, "
          f"{CORES} processes {by[f'invoice, Palvex, {CORES} processes'] / by[f'invoice, ReportLab, {CORES} processes']:.2f}x")
    memory = memory_over_a_long_run(1000)
    print("one worker's memory over 1000 invoices (resident / anonymous / peak MiB): " + ", ".join(
        f"after {k} {rss:.1f} / {anon:.1f} / {peak:.1f}" for k, (rss, anon, peak) in
        sorted(memory.items())))

if __name__ == "__main__":
    main()
