#!/usr/bin/env python3
"""Queues K sample invoices for Celery workers and waits until each is written.

    python3 examples/batch/producer.py --broker redis://queue-host:6379/0 --count 1000 --out /shared/invoices

Workers, on any machines that read this script and write OUT at the same paths:

    PALVEX_BROKER=redis://queue-host:6379/0 python3 -m celery -A palvex.celery worker

Invoice k becomes OUT/INV-{k:05d}.pdf. Prints the summary palvex.batch prints (reports, pages,
seconds, per second, the workers that took part) and ends with status 1 when any invoice
failed, naming it and why.
"""

import argparse
import os
import pathlib
import sys

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
    import kombu.exceptions
    import palvex.celery
    sys.path.insert(0, str(HERE))
    import invoice

    try:
        summary = palvex.celery.render_many(str(INVOICE), invoice.records(options.count),
                                            options.out, timeout=options.timeout)
    except (OSError, kombu.exceptions.KombuError) as failure:  # the folder, or the broker
        print(f"producer: {failure}", file=sys.stderr)
        return 2
    print(summary)
    return 1 if summary.failures else 0

if __name__ == "__main__":
    sys.exit(main())
