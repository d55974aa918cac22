#!/usr/bin/env python3
"""Queues K sample invoices for Celery workers and waits until each is written.

    python3 examples/batch/producer.py --broker redis://queue-host:6379/0 --count 1000 --out /shared/invoices

Workers, on any machines that read this script and write OUT at the same paths:

    PALVEX_BROKER=redis://queue-host:6379/0 python3 -m celery -A palvex.celery worker

Invoice k becomes OUT/INV-{k:05d}.pdf. Prints a summary (invoices, pages, seconds, per second,
per worker host) and ends with status 1 when any invoice failed, naming it and why.
"""

import argparse
import collections
import os
import pathlib
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
INVOICE = HERE / "invoice.py"


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--broker", default=None,
                           help="the broker's URL (default: PALVEX_BROKER, else "
                                "redis://localhost:6379/0)")
    arguments.add_argument("--count", type=int, required=True, help="how many invoices")
    arguments.add_argument("--out", required=True, help="the shared folder the PDFs go to")
    arguments.add_argument("--timeout", type=float, default=3600,
                           help="seconds to wait for all of them (default 3600)")
    options = arguments.parse_args()
    if options.broker:  # read when palvex.celery is imported
        os.environ["PALVEX_BROKER"] = options.broker
    try:
        import palvex
    except ModuleNotFoundError:  # run from a source checkout: the package that lies beside it
        sys.path.insert(0, str(HERE.parents[1] / "python" / "src"))
    import celery.exceptions
    import palvex.celery
    sys.path.insert(0, str(HERE))
    import invoice

    out = os.path.abspath(options.out)
    os.makedirs(out, exist_ok=True)
    started = time.monotonic()
    numbers = {}
    for k in range(1, options.count + 1):
        queued = palvex.celery.render.delay(str(INVOICE), invoice.sample(k), out)
        numbers[queued.id] = invoice.number(k)
    pages, hosts, failures = 0, collections.Counter(), []
    # The results are read from the backend as they come (a poll of them all at once), not
    # waited for one by one.
    try:
        for task_id, meta in palvex.celery.app.backend.get_many(
                list(numbers), timeout=options.timeout, interval=0.2):
            if meta["status"] == "SUCCESS":
                pages += meta["result"]["pages"]
                hosts[meta["result"]["host"]] += 1
            else:
                failures.append((numbers[task_id], f"{meta['status']}: {meta['result']}"))
            palvex.celery.app.backend.forget(task_id)
            del numbers[task_id]
    except celery.exceptions.TimeoutError:
        failures += [(number, "not done in time") for number in numbers.values()]
    seconds = time.monotonic() - started
    written = options.count - len(failures)
    failures.sort()
    print(f"{written} invoices, {pages} pages in {seconds:.1f} s "
          f"({written / seconds:.1f} invoices/s, {pages / seconds:.1f} pages/s); "
          f"{len(failures)} failed")
    for host, count in sorted(hosts.items()):
        print(f"  {host}: {count}")
    for number, reason in failures:
        print(f"failed: {number}: {reason}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
