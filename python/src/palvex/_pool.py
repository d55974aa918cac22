"""Worker processes that render reports one at a time, each with its own warm control, and a
pool that outlives them: a worker that dies (killed, crashed) costs only the report it had,
which goes to another worker while it has attempts left, and is replaced."""

import multiprocessing
import multiprocessing.connection
import os
import resource
import signal
import traceback
from collections import deque

from ._rendering import Renderer, load_report, remove_parts

# Workers are started afresh, never forked: a fork of a process whose Qt already runs (a host
# that also shows previews) would inherit its threads' locks half held.
_CONTEXT = multiprocessing.get_context("spawn")


def _peak_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def _work(source, connection, cores_filled):
    # Ctrl+C reaches the whole process group: the parent alone decides what stops.
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    if cores_filled:
        # The other workers have the other cores: pages are deflated here, not on threads that
        # would only take turns with them.
        os.environ.setdefault("PALVEX_PDF_THREADS", "0")
    try:
        report = load_report(source)
    except BaseException as failure:  # the parent gives up on a report that cannot load
        connection.send(("broken", f"{type(failure).__name__}: {failure}"))
        return
    connection.send(("ready", os.getpid()))
    with Renderer() as renderer:
        while True:
            job = connection.recv()
            if job is None:
                return
            index, record, target = job
            try:
                pages = renderer.render(report, record, target)
                connection.send(("done", index, pages, _peak_mib()))
            except Exception as failure:
                reason = f"{type(failure).__name__}: {failure}"
                if not str(failure):
                    reason += " at " + traceback.format_exc(limit=-1).strip().splitlines()[-2]
                connection.send(("failed", index, reason, _peak_mib()))


class _Worker:
    def __init__(self, source, cores_filled):
        self.connection, child_end = _CONTEXT.Pipe()
        self.process = _CONTEXT.Process(target=_work, args=(source, child_end, cores_filled),
                                        daemon=True)
        self.process.start()
        child_end.close()
        self.job = None  # the index it renders
        self.finished_one = False


class BrokenReport(RuntimeError):
    """The report cannot run at all: its script does not load, or every worker dies before it
    renders anything."""


def _death(process):
    process.join(5)
    code = process.exitcode
    if code is not None and code < 0:
        return f"the worker process was killed by signal {-code} ({signal.Signals(-code).name})"
    return f"the worker process exited with status {code}"


def render_all(source, jobs, count, targets, *, processes, attempts, done, failed):
    """Renders job i (records from jobs(i), written to targets[i]) for i < count on
    `processes` workers. done(i, pages, peak_mib) and failed(i, reason) are called as each one
    ends; a report is tried `attempts` times in all when its worker dies under it (a report
    that raises is not tried again: it would raise again)."""
    pending = deque(range(count))
    tries = [0] * count
    workers = []
    deaths_without_work = 0

    def start():
        workers.append(_Worker(source, cores_filled=processes >= default_processes()))

    def bury(worker, reason):
        nonlocal deaths_without_work
        workers.remove(worker)
        worker.connection.close()
        if worker.job is not None:
            index, worker.job = worker.job, None
            remove_parts(targets[index])  # of an export it was in the middle of
            if tries[index] < attempts:
                pending.appendleft(index)
            else:
                failed(index, reason)
        if not worker.finished_one:
            deaths_without_work += 1
            if deaths_without_work > 2 * processes:
                raise BrokenReport(f"every worker process dies before it renders a report: "
                                   f"{reason}")
        else:
            deaths_without_work = 0

    try:
        for _ in range(min(processes, count)):
            start()
        while pending or any(worker.job is not None for worker in workers):
            while len(workers) < min(processes, len(pending) + sum(
                    worker.job is not None for worker in workers)):
                start()
            for worker in workers:
                if worker.job is None and pending and worker.process.is_alive():
                    index = pending.popleft()
                    tries[index] += 1
                    worker.job = index
                    try:
                        worker.connection.send((index, jobs(index), targets[index]))
                    except (BrokenPipeError, ConnectionResetError):
                        pass  # its death is read below
            ready = multiprocessing.connection.wait(
                [worker.connection for worker in workers]
                + [worker.process.sentinel for worker in workers])
            for worker in list(workers):
                if worker.connection in ready:
                    try:
                        message = worker.connection.recv()
                    except (EOFError, ConnectionResetError):
                        bury(worker, _death(worker.process))
                        continue
                    kind = message[0]
                    if kind == "broken":
                        raise BrokenReport(message[1])
                    if kind == "done":
                        worker.job, worker.finished_one = None, True
                        done(message[1], message[2], message[3])
                    elif kind == "failed":
                        worker.job, worker.finished_one = None, True
                        failed(message[1], message[2])
                elif worker.process.sentinel in ready and not worker.connection.poll():
                    bury(worker, _death(worker.process))
    finally:
        _stop(workers, targets)


def _stop(workers, targets):
    for worker in workers:
        if worker.job is not None:  # the run was interrupted: its report is not waited for
            worker.process.terminate()
        try:
            worker.connection.send(None)
        except (BrokenPipeError, ConnectionResetError, OSError):
            pass
    for worker in workers:
        worker.process.join(10)
        if worker.process.is_alive():
            worker.process.kill()
            worker.process.join()
        worker.connection.close()
        if worker.job is not None:
            remove_parts(targets[worker.job])


def default_processes():
    """One process per core this process may run on."""
    try:
        return len(os.sched_getaffinity(0))
    except AttributeError:  # not Linux
        return os.cpu_count() or 1

