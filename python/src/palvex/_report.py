"""A control, its members as Python attributes and methods, and the event loop."""

import ctypes
import enum
import inspect
import sys
import threading

from . import _layout
from . import _members
from . import _native as n
from . import _values


class PalvexError(Exception):
    """A call the control refused or that failed: `status` is the control's error number (the
    same for C++, C and script hosts) and `text` its description."""

    def __init__(self, status, text=None):
        self.status = status
        self.text = text if text is not None else n.status_text(status).decode("utf-8")
        super().__init__(f"{self.text} (status {status})" if self.text else f"status {status}")


class Event(enum.IntEnum):
    """What a control tells its host as it happens (see Report.on_event)."""

    PAGE_SHOWN = 1  # number: the page the preview shows, as numbered on it
    PRINTED = 2  # number: the pages of a job that went to the printer
    CLOSED = 3  # the preview's Close was chosen
    MESSAGE = 4  # number: the box's style flags; text: the message (with MessagesToHost)
    PROPERTY = 5  # text: the name of a saved property that changed


class UnreadablePropertyError(PalvexError, AttributeError):
    """A property that cannot be read from here (Font has no value outside C++; some are only
    written). Also an AttributeError, so hasattr() and inspect answer instead of failing."""


# Type mismatch (Font) and "get not supported at run time".
_UNREADABLE = (13, 393)


def _check(status):
    if status:
        raise PalvexError(status)


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
    corrected by-reference arguments (printLine raises a draw width of 0 to 1), a dict of the
    corrected arguments by parameter name."""

    # A misspelt property must not quietly become a new attribute: only the handle is stored.
    __slots__ = ("_handle", "_handler")

    def __init__(self):
        self._handle = None
        self._handler = None
        ensure_application()
        handle = ctypes.c_void_p()
        _check(n.create(ctypes.byref(handle)))
        self._handle = handle

    def close(self):
        """Destroys the control and closes its window; the object is unusable afterwards."""
        handle, self._handle = self._handle, None
        if handle and n is not None:
            n.destroy(handle)  # which also drops the event handler
        self._handler = None

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

        pointer = ctypes.c_void_p()
        _check(n.widget(self._live(), ctypes.byref(pointer)))
        return sip.wrapinstance(pointer.value, QWidget)

    def _live(self):
        if not self._handle:
            raise PalvexError(5, "the control was closed")
        return self._handle


def _caller(member, kind, params, signature=None):
    """Calls `member` as `kind`. With a `signature` (names, one for each of `params`),
    `call(report, *signature)` takes exactly those; without one, `call(report, *args, **named)`
    takes the arguments as a Python method does.

    What is the same for every call (the member's number, whether a value comes back, which
    arguments may be written back) is settled here once: a report is recorded in hundreds of
    thousands of calls, and each step done here is one not done there."""
    declared = len(params)
    wants_value = kind in (n.METHOD, n.PROPERTY_GET) and member.value_type != n.EMPTY
    value_enum = _enums.get(member.value_enum)
    # The library writes back only into by-reference arguments; the others need no look after
    # the call.
    by_ref = tuple((i, p.name, _enums.get(p.enum_name)) for i, p in enumerate(params) if p.by_ref)
    take, omitted, written = _values.take, _values.OMITTED, n.WRITTEN

    def corrections(args, slots):
        """The by-reference arguments the member changed, by name; None when it changed none."""
        corrected = None
        for i, name, enum_type in by_ref:
            if i >= len(args):
                break
            slot = slots[i]
            # Only what the library wrote back is read (and, if it owns a string, released).
            if slot.flags & written:
                value = take(slot, enum_type)
                original = args[i]
                if original is not None and original is not omitted and value != original:
                    corrected = corrected or {}
                    corrected[name] = value
        return corrected

    def call(report, args):
        """Any number of arguments up to the declared ones, OMITTED where left out."""
        handle = report._live()
        count = len(args)
        slots = None
        if count:
            slots = (n.Variant * count)()  # it also keeps the bytes of the strings it borrows
            for i in range(count):
                _values.put(slots[i], args[i], params[i])
        result = n.Variant() if wants_value else None
        status = n.invoke_id_unchecked(handle, member.id, kind, slots, count,
                                       ctypes.byref(result) if wants_value else None)
        corrected = corrections(args, slots)
        if wants_value:
            value = take(result, value_enum)
            _check(status)
            return value
        _check(status)
        return corrected

    # The calls that give every argument by position (nearly all) take the way written out
    # below for this member's own arguments: no loop, no index, no test that is always false.
    if signature is None:
        arguments = [f"args[{i}]" for i in range(declared)]
        source = ["def call(report, *args, **named):",
                  f"    if named or len(args) != {declared}:",
                  "        return general(report, bind(args, named))"]
    else:
        arguments = signature
        source = [f"def call({', '.join(['report', *signature])}):"]
    source += ["    handle = report._handle",
               "    if not handle:",
               "        raise PalvexError(5, 'the control was closed')",
               "    slots = array()  # it also keeps the bytes of the strings it borrows"
               if declared else "    slots = None"]
    for i, argument in enumerate(arguments):
        source += [f"    value, s{i} = {argument}, slots[{i}]",
                   # The commonest values at once, as _values.put writes them; the rest through it.
                   "    if value.__class__ is str and '\\0' not in value:",
                   f"        s{i}.type, s{i}.str = STRING, value.encode('utf-8', 'surrogatepass')",
                   "    elif value.__class__ in plain_ints and I32_MIN <= value <= I32_MAX:",
                   f"        s{i}.type, s{i}.i32 = I32, value",
                   "    else:",
                   f"        put(s{i}, value, params[{i}])"]
    if wants_value:
        source += ["    result = Variant()",
                   f"    status = invoke(handle, ident, kind, slots, {declared}, byref(result))"]
    else:
        source.append(f"    status = invoke(handle, ident, kind, slots, {declared}, None)")
    source.append("    answer = None")
    if by_ref:
        flags = " | ".join(f"s{i}.flags" for i, _, _ in by_ref)
        source += [f"    if ({flags}) & WRITTEN:",
                   "        answer = corrections("
                   f"{'args' if signature is None else '(' + ', '.join(arguments) + ',)'}, slots)"]
    if wants_value:
        source.append("    answer = take(result, value_enum)")
    source += ["    if status:",
               "        raise PalvexError(status)",
               "    return answer"]
    namespace = {
        "__name__": __name__, "ident": member.id, "kind": kind, "PalvexError": PalvexError,
        "general": call,
        "bind": _binder(member, params), "corrections": corrections, "params": params,
        "array": n.Variant * declared, "Variant": n.Variant, "byref": ctypes.byref,
        "put": _values.put, "take": take, "value_enum": value_enum,
        "invoke": n.invoke_id_unchecked, "WRITTEN": written, "STRING": n.STRING, "I32": n.I32,
        "I32_MIN": _values.I32_MIN, "I32_MAX": _values.I32_MAX,
        # Whole numbers of these types fit the 32-bit value whenever they are in its range; the
        # rest (bool, other int subclasses) take put's general way.
        "plain_ints": frozenset([int] + [_enums[p.enum_name] for p in params
                                         if p.enum_name in _enums]),
    }
    # Members of one shape share the source; compiling it once keeps the import quick. Each
    # shape is a file of its own to tracebacks and profilers, which tell functions apart by it.
    source = "\n".join(source)
    code = _compiled.get(source)
    if code is None:
        code = _compiled[source] = compile(source, f"<palvex call {len(_compiled) + 1}>", "exec")
    exec(code, namespace)
    return namespace["call"]


_compiled = {}


def _binder(member, params):
    """bind(args, named): the arguments in declared order, those left out OMITTED, the Python
    errors of a Python function for too many, unknown or doubled arguments."""
    names = [p.name for p in params]

    def bind(args, named):
        if len(args) > len(params):
            raise TypeError(f"{member.name}() takes {len(params)} arguments, {len(args)} given")
        given = len(args)
        args = list(args) + [_values.OMITTED] * (len(params) - given)
        for key, value in named.items():
            if key not in names:
                raise TypeError(f"{member.name}() has no parameter {key!r}")
            index = names.index(key)
            if index < given:
                raise TypeError(f"{member.name}() got multiple values for {key!r}")
            args[index] = value
        # Left out at the end is left out; a gap stays omitted for the control to judge.
        while args and args[-1] is _values.OMITTED:
            args.pop()
        return args

    return bind


def _python_type(c_type, enum_name):
    if enum_name in _enums:
        return _enums[enum_name]
    return {n.BOOL: bool, n.I16: int, n.I32: int, n.SINGLE: float, n.DOUBLE: float,
            n.STRING: str}.get(c_type, inspect.Parameter.empty)


def _method(member):
    params = member.params
    call = _caller(member, n.METHOD, params)
    call.__name__ = call.__qualname__ = member.name
    call.__signature__ = inspect.Signature(
        [inspect.Parameter("self", inspect.Parameter.POSITIONAL_ONLY)]
        + [inspect.Parameter(p.name, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                             default=None if p.optional else inspect.Parameter.empty,
                             annotation=_python_type(p.type, p.enum_name)) for p in params],
        return_annotation=_python_type(member.value_type, member.value_enum),
    )
    call.__doc__ = f"The control's method {member.name} (dispatch identifier {member.id:#x})."
    return call


def _property(member):
    value_param = (_members.Param("value", member.value_type, False, False, member.value_enum),)
    read = _caller(member, n.PROPERTY_GET, (), ())

    def get(self):
        try:
            return read(self)
        except PalvexError as error:
            if error.status in _UNREADABLE:
                raise UnreadablePropertyError(error.status, error.text) from None
            raise

    # Font is set by reference (and has no value Python could pass: 13, as from C).
    put = _caller(member, n.PROPERTY_PUTREF if member.kinds & n.PROPERTY_PUTREF
                  else n.PROPERTY_PUT, value_param, ("value",))
    return property(get, put, doc=f"The control's property {member.name} "
                                  f"(dispatch identifier {member.id:#x}).")


_enums = _members.enumerations
Report.paragraph = _layout.paragraph
Report.table = _layout.table
for _member in _members.members:
    if hasattr(Report, _member.name):
        raise ImportError(f"palvex: the member {_member.name} clashes with Report's own")
    setattr(Report, _member.name, _property(_member) if _member.is_property else _method(_member))
