"""Reports across machines: a Celery task that renders one report with a warm control.

Workers, on as many machines as there are, against one broker:

    PALVEX_BROKER=redis://queue-host:6379/0 python3 -m celery -A palvex.celery worker

A producer queues reports and collects what they became:

    from palvex.celery import render
    result = render.delay("/shared/reports/invoice.py", record, "/shared/invoices")
    result.get()   # {"name": "INV-00042", "path": "/shared/invoices/INV-00042.pdf", "pages": 1}

render(report, data, out=None): report is a script path every worker can read (its report(r,
record) and name(record)) or "module:function"; data the record (plain JSON data). With `out`,
a folder every worker shares, the PDF is written there as NAME.pdf, whole or not at all, and
the result gives its path; without it the result carries the PDF itself, base64 in "pdf"
(pdf_bytes(result) decodes it).

A task is acknowledged only when its PDF is in place: a worker killed in the middle of a report
(or a machine lost) leaves the task to another worker, and no partial file (the next attempt
clears what the killed one left). A report that takes longer than PALVEX_TIME_LIMIT seconds is
stopped and fails. Settings, from the environment of each worker and producer:
  PALVEX_BROKER             the broker (default redis://localhost:6379/0)
  PALVEX_RESULTS            where results go (default: the broker)
  PALVEX_TIME_LIMIT         seconds a report may take (default 300)
  PALVEX_VISIBILITY_TIMEOUT seconds before a task a lost worker held goes to another
                            (default: twice the time limit)
"""

import base64
import os
import socket
import tempfile
import time

import celery.exceptions
from celery import Celery
from celery.signals import worker_process_shutdown, worker_ready

__all__ = ["app", "render", "render_many", "pdf_bytes"]

_TIME_LIMIT = float(os.environ.get("PALVEX_TIME_LIMIT", "300"))
# A task is given to another worker when it has not been acknowledged in this time: it must
# outlast the longest report, or a slow report would run twice.
_VISIBILITY = float(os.environ.get("PALVEX_VISIBILITY_TIMEOUT", str(2 * _TIME_LIMIT)))
_BROKER = os.environ.get("PALVEX_BROKER", "redis://localhost:6379/0")

app = Celery("palvex", broker=_BROKER, backend=os.environ.get("PALVEX_RESULTS", _BROKER))
app.conf.update(
    task_acks_late=True,  # acknowledged when done, not when received
    task_reject_on_worker_lost=True,  # a process killed under a task gives it back
    # Each process holds one task beside the one it runs: with one, Redis's consumer would wait
    # for its next poll (a second) before each task. A worker lost with it loses nothing: the
    # task was not acknowledged and goes to another worker after the visibility timeout.
    worker_prefetch_multiplier=2,
    task_time_limit=_TIME_LIMIT,
    task_soft_time_limit=max(1.0, _TIME_LIMIT - 5),
    # A worker that looks for lost tasks holds a lock in Redis meanwhile (milliseconds); one
    # killed while it held it would stop every other from looking for the lock's life, five
    # minutes unless told. Restoring is a transaction per task, so a short life is safe.
    broker_transport_options={"visibility_timeout": _VISIBILITY, "unacked_mutex_expire": 10},
    result_backend_transport_options={"visibility_timeout": _VISIBILITY},
    task_serializer="json",
    result_serializer="json",
    accept_content=["json"],
    result_expires=24 * 3600,
    worker_hijack_root_logger=False,
    broker_connection_retry_on_startup=True,
)

_renderer = None  # one per worker process, made at its first task


def _warm():
    global _renderer
    if _renderer is None:
        from ._rendering import Renderer

        # A worker runs a process per core: pages are deflated in it, not on threads of its own.
        os.environ.setdefault("PALVEX_PDF_THREADS", "0")

        _renderer = Renderer()
    return _renderer


@worker_process_shutdown.connect
def _close(**_):
    global _renderer
    if _renderer is not None:
        _renderer.close()
        _renderer = None


@worker_ready.connect
def _take_up_lost_tasks(sender, **_):
    """Looks for the tasks a lost worker held, every few seconds. Redis's transport gives
    them back only when they are older than the visibility timeout, and looks only once in 100
    seconds on its own: a machine lost in a month-end run would hold its invoices that long."""
    channel = getattr(getattr(sender, "task_consumer", None), "channel", None)
    restore = getattr(getattr(channel, "qos", None), "restore_visible", None)
    if restore is None:  # another broker, which gives unacknowledged tasks back itself
        return
    limit = getattr(channel, "unacked_restore_limit", None)
    sender.timer.call_repeatedly(min(10.0, _VISIBILITY / 4),
                                 lambda: restore(num=limit, interval=1))


# OSError: shared storage that failed for a moment; the attempt's part is cleared first.
@app.task(name="palvex.render", bind=True, autoretry_for=(OSError,), retry_backoff=True,
          max_retries=3)
def render(self, report, data, out=None):
    from ._rendering import file_name, load_report

    function = load_report(report)
    name = _name_of(report, data, self.request.id)
    done = {"name": name, "host": self.request.hostname or socket.gethostname()}
    if out is not None:
        target = os.path.join(out, file_name(name))
        # Given back by a worker that was lost, or tried again: what it left goes.
        lost = bool(self.request.retries or (self.request.delivery_info or {}).get("redelivered"))
        return {**done, "path": target,
                "pages": _warm().render(function, data, target, after_a_lost_attempt=lost)}
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, file_name(name))
        pages = _warm().render(function, data, target)
        with open(target, "rb") as file:
            pdf = base64.b64encode(file.read()).decode("ascii")
    return {**done, "pages": pages, "pdf": pdf}


def _name_of(report, data, task_id):
    """The script's name(record) for the report, else the task's own id."""
    from ._rendering import naming_of

    naming = naming_of(report)
    return str(naming(data)) if naming is not None else str(task_id)


def pdf_bytes(result):
    """The PDF a task without `out` returned."""
    return base64.b64decode(result["pdf"])


def render_many(report, records, out, *, timeout=3600.0, progress=None):
    """Queues report(r, record) for each record, waits until each PDF is in `out` (a folder
    every worker shares) and returns a palvex.batch.Summary. Names come from the script's
    name(record), else the record's position from 00001.

    Redis's transport can lose a task whose worker died at the very moment it took it from
    the queue. So when nothing has come back for longer than a lost worker's tasks take to
    come back, the reports still missing are queued again (Summary.resent). A report rendered
    twice is harmless: the second PDF replaces the first whole."""
    from .batch import Summary, _progress_bar
    from ._rendering import naming_of, report_files

    records = list(records)
    names, _ = report_files(records, naming_of(report))  # refused here, not by every worker
    out = os.path.abspath(out)
    os.makedirs(out, exist_ok=True)
    summary = Summary()
    bar = _progress_bar(len(records), progress)
    waiting = {}  # task id -> record index
    sent = {}  # record index -> its task ids (more than one once it was queued again)
    hosts = set()

    def send(index):
        task_id = render.delay(str(report), records[index], out).id
        waiting[task_id] = index
        sent.setdefault(index, []).append(task_id)

    started = time.monotonic()
    for index in range(len(records)):
        send(index)
    # A lost worker's tasks come back after the visibility timeout, looked for every 10 s.
    patience = _VISIBILITY + 20
    heard = time.monotonic()
    try:
        while waiting:
            try:
                for task_id, meta in app.backend.get_many(list(waiting), timeout=5, interval=0.2):
                    heard = time.monotonic()
                    index = waiting.get(task_id)
                    app.backend.forget(task_id)
                    if index is None:  # a second copy of a report already counted
                        continue
                    for copy in sent.pop(index):
                        waiting.pop(copy, None)
                    if meta["status"] == "SUCCESS":
                        summary.reports += 1
                        summary.pages += meta["result"]["pages"]
                        hosts.add(meta["result"]["host"])
                    else:
                        summary.failures.append((names[index], _reason(meta)))
                    bar.update(1)
            except celery.exceptions.TimeoutError:
                pass
            now = time.monotonic()
            if waiting and now - started > timeout:
                summary.failures += [(names[i], "not done in time")
                                     for i in sorted(set(waiting.values()))]
                break
            if waiting and now - heard > patience:
                for index in sorted(set(waiting.values())):
                    send(index)
                    summary.resent += 1
                heard = now
    finally:
        summary.seconds = time.monotonic() - started
        summary.processes = len(hosts)
        bar.close()
    summary.failures.sort()
    return summary


def _reason(meta):
    """A failed task's exception as palvex.batch words it: "PalvexError: ExportPdf: …"."""
    result = meta.get("result")
    if isinstance(result, dict) and "exc_type" in result:
        words = result.get("exc_message") or []
        words = " ".join(map(str, words)) if isinstance(words, (list, tuple)) else str(words)
        return f"{result['exc_type']}: {words}"
    return f"{meta['status']}: {result}"
