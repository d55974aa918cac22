"""One warm control that renders report after report into PDF files: the worker of bulk runs
(palvex.batch's processes and palvex.celery's tasks).

A report is a function report(r, record) that does what a single-report program does between
making the control and exporting: sets what must come before the start (CodePage, document
properties), calls StartPalvexPrintPreview, records, and ends with printLastPage. The worker
exports it; the PDF appears whole or not at all."""

import glob
import importlib
import importlib.util
import os
import re
import shutil
import sys
import tempfile

from . import _members
from . import _native as n
from ._errors import PalvexError
from ._report import Report

# Set by the worker for each report, or read-only: never put back to a fresh control's value.
_NOT_RESTORED = frozenset(["WorkingFolder", "MessagesToHost", "PageCount", "LastMessage",
                           "CurrentX", "CurrentY"])
# "Set not supported at run time": a property the report computes (ScaleWidth).
_COMPUTED = 382
# Reports between two looks at what Qt posted for the preview (see Renderer.render).
_REPORTS_BETWEEN_EVENTS = 8
# Memory-backed scratch space is used when it has at least this much free: a report store takes
# 256 bytes an item, about 64 MB for a thousand full pages.
_ROOMY_MEMORY = 512 * 1024 * 1024


def load_report(source):
    """The report function: `source` itself when callable, else a script's `report` (a path to
    a .py file) or a module's function ("package.module:function")."""
    if callable(source):
        return source
    return getattr(load_module(source), "report") if str(source).endswith(".py") else _named(source)


def load_module(path):
    """A report script loaded from its path, once per process (its folder joins sys.path, so
    it may import what lies beside it)."""
    path = os.path.abspath(path)
    name = "_palvex_report_" + str(abs(hash(path)))
    if name in sys.modules:
        return sys.modules[name]
    spec = importlib.util.spec_from_file_location(name, path)
    if spec is None:
        raise ImportError(f"{path}: not a Python script")
    module = importlib.util.module_from_spec(spec)
    folder = os.path.dirname(path)
    if folder not in sys.path:
        sys.path.insert(0, folder)
    sys.modules[name] = module
    try:
        spec.loader.exec_module(module)
    except BaseException:
        del sys.modules[name]
        raise
    if not callable(getattr(module, "report", None)):
        raise ImportError(f"{path}: the script defines no report(r, record) function")
    return module


def _named(reference):
    module_name, _, function = str(reference).partition(":")
    if not function:
        raise ImportError(f"{reference}: name a script (.py) or a function as module:function")
    value = importlib.import_module(module_name)
    for part in function.split("."):
        value = getattr(value, part)
    return value


def naming_of(report):
    """A report script's name(record), or None (a function, or a script without one)."""
    return getattr(load_module(report), "name", None) if str(report).endswith(".py") else None


def report_files(records, naming):
    """Each record's name (naming(record), else its position from 00001) and file name. Names
    that repeat, or that would put a file outside the folder, are refused before anything runs:
    one report would replace another."""
    names = [str(naming(record)) if naming else f"{index + 1:05d}"
             for index, record in enumerate(records)]
    files = [file_name(each) for each in names]
    seen = set()
    for each in files:
        if each in seen:
            raise ValueError(f"two reports are named {each}: one would replace the other")
        seen.add(each)
    return names, files


def file_name(name):
    """A report's name as its file in the output folder, refused when it would land elsewhere
    or hide (a record's "../x" or ".x")."""
    text = str(name)
    if (not text or text.startswith(".") or "/" in text or "\0" in text
            or len(text.encode("utf-8")) > 250):
        raise ValueError(f"{text!r} cannot name a report's file")
    return text + ".pdf"


def remove_parts(target):
    """Removes what an export to `target` that died left: the control writes a PDF as a hidden
    `.NAME.pdf.XXXXXX` beside it and renames it when whole."""
    folder, base = os.path.split(os.path.abspath(target))
    part = re.compile(re.escape(f".{base}.") + "[A-Za-z0-9]{6}")
    for leftover in glob.glob(os.path.join(glob.escape(folder), glob.escape(f".{base}.") + "*")):
        if part.fullmatch(os.path.basename(leftover)):
            try:
                os.remove(leftover)
            except FileNotFoundError:  # another attempt's cleanup came first
                pass


class Renderer:
    """Keeps one control and renders reports with it one after another. Each report starts
    from a fresh control's properties (what the last report set does not leak into the next)
    and has a working folder of its own, removed when it is done."""

    def __init__(self, scratch=None):
        # A worker shows no preview: it needs no display, connects to none, and has nothing to
        # say about a display it lacks (when its process has no Qt application yet).
        os.environ["QT_QPA_PLATFORM"] = "offscreen"
        self._scratch = tempfile.mkdtemp(prefix="palvex-worker-", dir=scratch or _scratch_space())
        self._control = None
        self._fresh = {}
        self._count = 0
        self.controls_made = 0

    def close(self):
        self._discard()
        shutil.rmtree(self._scratch, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def render(self, report, record, target, after_a_lost_attempt=False):
        """Renders report(r, record) to the PDF `target`, which appears whole or not at all;
        returns the number of pages. after_a_lost_attempt: an attempt at the same report died,
        perhaps while it exported; what it left is removed. Only then: finding it means a
        look through the whole folder, which holds every report of the run."""
        self._count += 1
        folder = os.path.join(self._scratch, str(self._count))
        os.mkdir(folder)
        try:
            r = self._ready()
            r.WorkingFolder = folder
            try:
                report(r, record)
                # Written whole beside the target, synced, and renamed over it.
                r.ExportPdf(os.fspath(target))
                pages = r.PageCount
            except BaseException:
                # A control left in the middle of a report is not trusted with the next one.
                self._discard()
                raise
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        if after_a_lost_attempt:
            remove_parts(target)
        if self._count % _REPORTS_BETWEEN_EVENTS == 0:
            # No event loop runs here: what Qt posts for the preview (its repaints) would pile up
            # from report to report. Handling it costs about a millisecond, so not every time.
            n.app_exec_for(0, None)
        return pages

    def _ready(self):
        if self._control is None:
            self._control = Report()
            self._control.MessagesToHost = True
            self._fresh = _properties(self._control)
            self.controls_made += 1
            return self._control
        try:
            for name, value in self._fresh.items():
                if getattr(self._control, name) != value:
                    setattr(self._control, name, value)
        except PalvexError:
            self._discard()
            return self._ready()
        return self._control

    def _discard(self):
        control, self._control = self._control, None
        if control is not None:
            control.close()


def _scratch_space():
    """Where the working folders go: PALVEX_SCRATCH when set, else memory (/dev/shm) when it
    has room, else the temporary folder. A report's store is written, truncated and unlinked at
    every start; on a disk each report waited for that, in memory nothing does."""
    chosen = os.environ.get("PALVEX_SCRATCH")
    if chosen:
        return chosen
    try:
        space = os.statvfs("/dev/shm")
        if space.f_bavail * space.f_frsize >= _ROOMY_MEMORY and os.access("/dev/shm", os.W_OK):
            return "/dev/shm"
    except OSError:
        pass
    return None


def _properties(control):
    """The properties a report may change, as the control has them now: those it reads and
    takes back."""
    values = {}
    for member in _members.members:
        if (member.is_property and not member.params and member.name not in _NOT_RESTORED
                and member.kinds & n.PROPERTY_GET and member.kinds & n.PROPERTY_PUT):
            try:
                value = getattr(control, member.name)
                setattr(control, member.name, value)
            except AttributeError:  # written only
                continue
            except PalvexError as refusal:
                if refusal.status == _COMPUTED:
                    continue
                raise
            values[member.name] = value
    return values
