"""A control, its members as Python attributes and methods, and the event loop."""

import ctypes
import enum
import inspect
import sys
import threading

from . import _buffering
from . import _calls
from . import _layout
from . import _members
from . import _native as n
from . import _shapes
from ._errors import PalvexError, UnreadablePropertyError, closed, error


class Event(enum.IntEnum):
    """What a control tells its host as it happens (see Report.on_event)."""

    PAGE_SHOWN = 1  # number: the page the preview shows, as numbered on it
    PRINTED = 2  # number: the pages of a job that went to the printer
    CLOSED = 3  # the preview's Close was chosen
    MESSAGE = 4  # number: the box's style flags; text: the message (with MessagesToHost)
    PROPERTY = 5  # text: the name of a saved property that changed


# Type mismatch (Font) and "get not supported at run time".
_UNREADABLE = (13, 393)


def _check(status):
    if status:
        raise error(status)


def ensure_application():
    """Makes the Qt application when the process has none (a PyQt6 application, built on the
    same Qt, is used as it is). Only on the main thread: Qt's widgets live there."""
    if threading.current_thread() is not threading.main_thread():
        raise PalvexError(5, "controls are made and called on the main thread")
    # Only the program's name: the script's own arguments are not Qt's to interpret.
    name = (sys.argv[0] if sys.argv and sys.argv[0] else "python").encode("utf-8", "surrogateescape")
    argv = (ctypes.c_char_p * 2)(name, None)
    _check(n.app_ensure(1, argv))


# How long the loop runs between two looks at Python's own signals: Ctrl+C is a KeyboardInterrupt
# within this time, and the loop costs nothing noticeable meanwhile.
_SIGNAL_CHECK_MS = 100


def without_display():
    """True when the application runs without a display: it was made where none could be opened
    (a server, cron, CI) and runs offscreen. Reports record, export, print and save there; a
    preview cannot be shown, so run() refuses."""
    return bool(n.app_without_display())


def run():
    """Runs the Qt event loop while a control's preview is on screen; returns when the last one
    closes, at once when none is shown. Ctrl+C raises KeyboardInterrupt here. Without a display
    a preview waiting to be shown is refused: PalvexError 5."""
    showing = ctypes.c_int(1)
    while showing.value:
        # The library's loop runs in slices, so that Python's signal handlers run in between.
        status = n.app_exec_for(_SIGNAL_CHECK_MS, ctypes.byref(showing))
        if status == 5 and without_display():
            raise PalvexError(
                5,
                "no display: the preview cannot be shown (the application runs offscreen); "
                "export the report with ExportPdf or print it with PrintReport",
            )
        _check(status)


class Report:
    """One control. Properties are attributes, methods are calls; see the class's members.

    A method returns its value when it has one. A method without one returns None, or, when it
    set arguments of its own (printLine raises a draw width of 0 to 1), a dict of the arguments
    it changed by parameter name. Only the few members the library says may set an argument
    do (_members.Param.by_ref); the type stub names them and the keys."""

    # A misspelt property must not quietly become a new attribute: only the handle, the event
    # handler and the calls a buffered block holds (None outside one) are stored.
    __slots__ = ("_handle", "_handler", "_pending")

    def __init__(self):
        self._handle = None
        self._handler = None
        self._pending = None
        ensure_application()
        handle = ctypes.c_void_p()
        _check(n.create(ctypes.byref(handle)))
        self._handle = handle

    def close(self):
        """Destroys the control and closes its window; the object is unusable afterwards.
        Calls a buffered block still holds are sent first (a refusal among them is raised once
        the control is gone)."""
        try:
            if self._pending:
                _buffering.flush(self)
        finally:
            self._pending = None
            handle, self._handle = self._handle, None
            if handle and n is not None:
                n.destroy(handle)  # which also drops the event handler
            self._handler = None

    def buffered(self):
        """A block whose calls without a value (methods that return nothing, properties set)
        are kept and sent to the library many at once, the report recorded in about half the
        time its calls take one by one:

            with r.buffered():
                for row in rows:
                    r.CurrentX = 1400
                    r.printText(row.name, palvex.A1_StayWhereYouAre)

        The calls run in the order they were made. A call that returns a value (CurrentY,
        TextWidth, PageCount ...) or may set an argument of its own (printLine, printBox,
        printCircle, fxPrintingChars, SavePrint) sends what is kept first, then runs as always,
        so it sees every call made before it; so do the end of the block (an exception's end
        too), close() and on_event(). An argument Python cannot pass raises at its call. A call
        the control refuses raises its PalvexError (the status, the member and why, as alone)
        where the calls are sent, not at the call itself, and the calls kept after it are not
        run; at the end of a block an exception ends, that refusal is raised in the exception's
        place, with the exception as its __context__. Events arrive while the calls are sent.
        A block inside another is the outer one's; its end sends what is kept."""
        return _buffering.Buffered(self)

    def __repr__(self):
        return f"<palvex.Report {'open' if self._handle else 'closed'} at {id(self):#x}>"

    # Two objects holding one handle would destroy the control twice.
    def __copy__(self):
        raise TypeError("a palvex.Report cannot be copied")

    def __deepcopy__(self, memo):
        raise TypeError("a palvex.Report cannot be copied")

    def __reduce__(self):
        raise TypeError("a palvex.Report cannot be pickled")

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def __del__(self):
        try:
            self.close()
        except Exception:  # interpreter shutdown: the module may already be gone
            pass

    def on_event(self, handler):
        """Calls handler(event: Event, number: int, text: str) for each event of the control,
        on the main thread, from the event loop or the call that caused it; None stops. The
        handler may call the report, and may close it. An exception the handler raises is
        reported through sys.excepthook and does not reach the control."""
        # The events of calls kept so far go to the handler they were made under.
        _buffering.flush(self)
        if handler is None:
            _check(n.set_event_handler(self._live(), n.EventHandler(), None))
            self._handler = None
            return

        def deliver(_context, event, number, text):
            try:
                handler(Event(event), number, (text or b"").decode("utf-8", "replace"))
            except BaseException:  # nothing may unwind into Qt
                sys.excepthook(*sys.exc_info())

        callback = n.EventHandler(deliver)
        _check(n.set_event_handler(self._live(), callback, None))
        self._handler = callback  # ctypes calls it only while Python keeps it

    def widget(self):
        """The control as a PyQt6 QWidget, to place in a layout or tab of a PyQt6 window (set
        Embedded first). Needs PyQt6 built on the same Qt as the library (Debian's
        python3-pyqt6)."""
        from PyQt6 import sip
        from PyQt6.QtWidgets import QWidget

        _buffering.flush(self)  # the widget as recorded so far
        pointer = ctypes.c_void_p()
        _check(n.widget(self._live(), ctypes.byref(pointer)))
        return sip.wrapinstance(pointer.value, QWidget)

    def _live(self):
        if not self._handle:
            raise closed()
        return self._handle


def _python_type(c_type, enum_name):
    if enum_name in _enums:
        return _enums[enum_name]
    return {n.BOOL: bool, n.I16: int, n.I32: int, n.SINGLE: float, n.DOUBLE: float,
            n.STRING: str}.get(c_type, inspect.Parameter.empty)


def _method(call):
    member, params = call.member, call.params
    method = _calls.caller(call)
    method.__name__ = method.__qualname__ = member.name
    method.__signature__ = inspect.Signature(
        [inspect.Parameter("self", inspect.Parameter.POSITIONAL_ONLY)]
        + [inspect.Parameter(p.name, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                             default=None if p.optional else inspect.Parameter.empty,
                             annotation=_python_type(p.type, p.enum_name)) for p in params],
        return_annotation=_python_type(member.value_type, member.value_enum),
    )
    method.__doc__ = f"The control's method {member.name} (dispatch identifier {member.id:#x})."
    return method


def _property(get_call, put_call):
    member = get_call.member
    read = _calls.caller(get_call)

    def get(self):
        try:
            return read(self)
        except PalvexError as refusal:
            if refusal.status in _UNREADABLE:
                raise UnreadablePropertyError(refusal.status, refusal.detail,
                                              refusal.member) from None
            raise

    return property(get, _calls.caller(put_call),
                    doc=f"The control's property {member.name} "
                        f"(dispatch identifier {member.id:#x}).")


_enums = _members.enumerations
Report.paragraph = _layout.paragraph
Report.table = _layout.table
for _member in _members.members:
    if hasattr(Report, _member.name):
        raise ImportError(f"palvex: the member {_member.name} clashes with Report's own")
    setattr(Report, _member.name,
            _property(*_shapes.calls_of(_member)) if _member.is_property
            else _method(*_shapes.calls_of(_member)))
