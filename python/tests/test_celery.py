"""Reports across machines with Celery, on the real parts: a redis-server of the test's own and
two workers, each a separate process group in a folder of its own (two "machines"), fed by the
example producer. A worker killed with SIGKILL in the middle loses nothing and leaves nothing."""

import collections
import gc
import os
import pathlib
import re
import signal
import socket
import subprocess
import sys
import time

import pytest

import palvex
from invoices import BATCH, invoice, problems

PACKAGE = pathlib.Path(palvex.__file__).resolve().parents[1]
TESTS = pathlib.Path(__file__).resolve().parent
# Short limits, so that a lost worker's tasks come back within the test: a report may take 8 s
# (the soft limit stops it at 3 s), and a task a lost worker held goes to another after 16 s.
LIMITS = {"PALVEX_TIME_LIMIT": "8"}


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@pytest.fixture(scope="module")
def broker(tmp_path_factory):
    folder = tmp_path_factory.mktemp("redis")
    port = free_port()
    server = subprocess.Popen(["redis-server", "--port", str(port), "--bind", "127.0.0.1",
                               "--dir", str(folder), "--save", "", "--appendonly", "no"],
                              stdout=subprocess.DEVNULL)
    url = f"redis://127.0.0.1:{port}/0"
    deadline = time.monotonic() + 30
    while subprocess.run(["redis-cli", "-p", str(port), "ping"], capture_output=True,
                         text=True).stdout.strip() != "PONG":
        assert time.monotonic() < deadline and server.poll() is None, "redis-server did not start"
        time.sleep(0.1)
    yield url
    server.terminate()
    server.wait(30)


def environment(url, **more):
    return {**os.environ, **LIMITS, **more, "PALVEX_BROKER": url, "QT_QPA_PLATFORM": "offscreen",
            "PYTHONPATH": os.pathsep.join([str(PACKAGE), str(TESTS)])}


class Worker:
    """`python3 -m celery -A palvex.celery worker` in a folder (and scratch space) of its own."""

    def __init__(self, url, folder, name):
        folder.mkdir()
        self.log = folder / "worker.log"
        self.name = name
        with open(self.log, "w") as log:
            self.process = subprocess.Popen(
                [sys.executable, "-m", "celery", "-A", "palvex.celery", "worker", "-n",
                 f"{name}@%h", "--concurrency", "1", "--loglevel", "INFO"],
                cwd=folder, env=environment(url, TMPDIR=str(folder)), stdout=log,
                stderr=subprocess.STDOUT, start_new_session=True)
        deadline = time.monotonic() + 60
        while " ready." not in self.log.read_text():
            assert self.process.poll() is None, self.log.read_text()
            assert time.monotonic() < deadline, "the worker did not start"
            time.sleep(0.2)

    def rendered(self):
        """The names of the invoices this worker rendered, once per rendering."""
        return re.findall(r"succeeded in [^:]+: \{'name': '([^']+)'", self.log.read_text())

    def kill(self):
        """The machine is lost: the worker and its pool processes, at once."""
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(30)
            except subprocess.TimeoutExpired:
                self.kill()


@pytest.fixture
def workers(broker, tmp_path):
    subprocess.run(["redis-cli", "-u", broker, "flushdb"], check=True, capture_output=True)
    started = [Worker(broker, tmp_path / f"machine-{name}", name) for name in ("a", "b")]
    yield started
    for worker in started:
        worker.stop()


def produce(broker, out, count):
    return subprocess.Popen([sys.executable, str(BATCH / "producer.py"), "--broker", broker,
                             "--count", str(count), "--out", str(out), "--timeout", "300"],
                            env=environment(broker), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)


def renderings(workers):
    return collections.Counter(name for worker in workers for name in worker.rendered())


def test_two_workers_render_every_invoice_whole_and_its_own(broker, workers, tmp_path):
    out = tmp_path / "shared"
    producer = produce(broker, out, 300)
    said, errors = producer.communicate(timeout=600)
    assert producer.returncode == 0, said + errors
    assert said.startswith("300 reports, 300 pages in ") and "on 2 processes; 0 failed\n" in said
    assert problems(out, 300) == []
    done = renderings(workers)
    assert len(done) == 300 and set(done.values()) == {1}
    assert all(worker.rendered() for worker in workers)  # both machines took part


def test_a_worker_killed_in_the_middle_loses_nothing_and_leaves_nothing(broker, workers,
                                                                        tmp_path):
    out = tmp_path / "shared"
    producer = produce(broker, out, 300)
    deadline = time.monotonic() + 120
    while len(workers[1].rendered()) < 40:
        assert time.monotonic() < deadline and producer.poll() is None, "no progress"
        time.sleep(0.05)
    workers[1].kill()
    said, errors = producer.communicate(timeout=600)
    assert producer.returncode == 0, said + errors
    assert said.startswith("300 reports, 300 pages in ") and "; 0 failed" in said
    assert problems(out, 300) == []
    done = renderings(workers)
    assert len(done) == 300
    print(said.strip())
    print(f"queued 300, completed {len(done)}, rendered twice "
          f"{sum(1 for count in done.values() if count > 1)}, by the killed worker "
          f"{len(workers[1].rendered())}")


def test_a_task_lost_on_its_way_to_a_worker_is_queued_again(broker, workers, tmp_path):
    # Redis's transport takes a task off the queue before it notes the worker holds it: a
    # worker killed in between loses the task. Here the test takes one, as such a worker would.
    out = tmp_path / "shared"
    producer = produce(broker, out, 300)
    deadline = time.monotonic() + 60
    while True:
        queued = subprocess.run(["redis-cli", "-u", broker, "llen", "celery"], check=True,
                                capture_output=True, text=True).stdout.strip()
        if int(queued or 0) >= 50:
            break
        assert time.monotonic() < deadline, "the tasks were not queued"
        time.sleep(0.01)
    taken = subprocess.run(["redis-cli", "-u", broker, "rpop", "celery"], check=True,
                           capture_output=True, text=True).stdout
    assert '"palvex.render"' in taken or "palvex.render" in taken
    said, errors = producer.communicate(timeout=600)
    assert producer.returncode == 0, said + errors
    assert said.startswith("300 reports, 300 pages in ")
    assert "; 0 failed; 1 queued again" in said
    assert problems(out, 300) == []


def test_a_report_over_its_time_limit_fails_and_writes_nothing(broker, workers, tmp_path):
    os.environ.update(environment(broker))
    from palvex.celery import app, pdf_bytes, render

    assert app.conf.broker_url == broker
    out = tmp_path / "shared"
    out.mkdir()
    slow = render.delay("batch_reports:slow", 30, str(out))
    with pytest.raises(Exception, match="SoftTimeLimitExceeded"):
        slow.get(timeout=60)
    # Without a folder, the PDF itself comes back.
    whole = render.delay(str(BATCH / "invoice.py"), invoice.sample(1))
    quick = whole.get(timeout=60)
    assert quick["name"] == "INV-00001" and pdf_bytes(quick).startswith(b"%PDF")
    assert os.listdir(out) == []
    for result in (slow, whole):  # while the broker is there to hear it
        result.forget()
    del slow, whole
    gc.collect()


def test_a_worker_with_nothing_set_uses_the_local_broker_and_takes_only_json():
    settings = subprocess.run(
        [sys.executable, "-c", "from palvex.celery import app; c = app.conf; print(c.broker_url,"
         " c.result_backend, c.task_acks_late, c.task_reject_on_worker_lost, c.accept_content,"
         " c.task_time_limit, c.broker_transport_options['visibility_timeout'],"
         " c.broker_transport_options['unacked_mutex_expire'])"],
        env={k: v for k, v in environment("unused").items() if k not in (
            "PALVEX_BROKER", "PALVEX_RESULTS", "PALVEX_TIME_LIMIT", "PALVEX_VISIBILITY_TIMEOUT")},
        capture_output=True, text=True, check=True).stdout
    assert settings.split() == ["redis://localhost:6379/0", "redis://localhost:6379/0", "True",
                                "True", "['json']", "300.0", "600.0", "10"]
