"""Calls kept in a buffer and sent to the library many at once (Report.buffered).

Recording a report takes hundreds of thousands of calls, and crossing into the library costs
more than the control's own work for most of them. Inside a buffered block the callers
(_callers.py) pack each call without a value into the report's buffer instead, in the layout
palvex_invoke_batch reads (palvex_c.h), and the buffer crosses once when it is full, before any
call that returns something or may write an argument back, and at the block's end.
"""

import ctypes
import struct

from . import _members
from . import _native as n
from ._errors import closed, refused
from ._values import put

# A buffer is sent once it holds this much: large enough that crossing costs nothing, small
# enough to stay in the processor's cache.
FLUSH_AT = 64 * 1024

# The fields, little-endian. A call opens with its member's identifier, kind and argument count
# (the same for every call of one caller, packed once: call_head); then each argument's type and
# value, a text as its length and its UTF-8 bytes.
_HEAD = struct.Struct("<iBB")
TEXT = struct.Struct("<BI").pack  # STRING, byte count; the bytes follow
LONG = struct.Struct("<Bi").pack  # I32, value
# The other values: their struct and the Variant field put() writes them to.
_VALUE = {n.BOOL: (struct.Struct("<BB"), "b"), n.I16: (struct.Struct("<Bh"), "i16"),
          n.I32: (struct.Struct("<Bi"), "i32"), n.SINGLE: (struct.Struct("<Bf"), "f32"),
          n.DOUBLE: (struct.Struct("<Bd"), "f64")}
# How many bytes follow each type but a text's.
_SIZES = {n.EMPTY: 0, n.MISSING: 0,
          **{kind: fields.size - 1 for kind, (fields, _) in _VALUE.items()}}
_LENGTH = struct.Struct("<I")

_names = {member.id: member.name for member in _members.members}


def call_head(ident, kind, count):
    """The bytes every call of a member in one shape opens with."""
    return _HEAD.pack(ident, kind, count)


def pack(pending, value, param):
    """Appends `value` for `param` as put() would pass it (the callers pack a text and a 32-bit
    whole number themselves). What cannot be passed raises put's TypeError or ValueError."""
    slot = n.Variant()
    put(slot, value, param)
    kind = slot.type
    if kind == n.STRING:
        text = slot.str
        pending += TEXT(kind, len(text))
        pending += text
    elif kind in _VALUE:
        fields, field = _VALUE[kind]
        pending += fields.pack(kind, getattr(slot, field))
    else:  # EMPTY, MISSING: the type alone
        pending.append(kind)


def flush(report):
    """Sends what `report` has queued, and empties the queue. The first call the control
    refuses raises its PalvexError, naming that call's member; the calls queued after it are
    dropped, not run."""
    pending = report._pending
    if not pending:
        return
    handle = report._handle
    data = bytes(pending)
    pending.clear()
    # An event handler that calls the report while the buffer runs is answered at once, as it
    # would be without the buffer.
    report._pending = None
    done = ctypes.c_size_t()
    try:
        status = n.invoke_batch(handle, data, len(data), ctypes.byref(done))
    finally:
        if report._handle:  # unless the handler closed the report
            report._pending = pending
    if status:
        raise _refusal(handle, status, data, done.value)


def _refusal(handle, status, data, index):
    words = (n.last_error_detail(handle) or b"").decode("utf-8", "replace")
    if words.startswith("palvex_invoke_batch:"):
        # The buffer itself was refused (this package packed it wrong): no member is at fault.
        return refused(handle, status, "")
    return refused(handle, status, _member_at(data, index))


def _member_at(data, index):
    """The name of the member of call `index` in `data`; "" when there is no such call."""
    at = 0
    try:
        for _ in range(index):
            count = data[at + 5]
            at += _HEAD.size
            for _ in range(count):
                kind = data[at]
                at += 1
                at += 4 + _LENGTH.unpack_from(data, at)[0] if kind == n.STRING else _SIZES[kind]
        return _names.get(_HEAD.unpack_from(data, at)[0], "")
    except (IndexError, KeyError, struct.error):
        return ""


class Buffered:
    """The block of Report.buffered()."""

    __slots__ = ("_report", "_outermost")

    def __init__(self, report):
        self._report = report
        self._outermost = False

    def __enter__(self):
        report = self._report
        if not report._handle:
            raise closed("buffered")
        self._outermost = report._pending is None
        if self._outermost:
            report._pending = bytearray()
        return report

    def __exit__(self, *_):
        report = self._report
        try:
            flush(report)
        finally:
            if self._outermost and report._handle:
                report._pending = None
