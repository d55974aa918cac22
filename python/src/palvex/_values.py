"""Python values to and from the C interface's tagged values."""

import ctypes
import math
import struct

from . import _native as n
from ._errors import PalvexTypeError, PalvexValueError

I32_MIN, I32_MAX = -(2**31), 2**31 - 1
_float32 = struct.Struct("f")


# An argument the caller did not give: omitted, for the control to judge (449 if required).
OMITTED = object()


def put(slot, value, param):
    """Writes `value` into the Variant `slot` (a fresh, empty one) for `param` (None past the
    declared ones). A value that cannot be passed raises TypeError or ValueError, in words that
    follow the argument's name (see unfit_argument). The callers (_shapes.py writes them)
    write a text and a 32-bit whole number themselves, as this does: keep the two alike."""
    if isinstance(value, str):  # the commonest, first
        if "\0" in value:
            raise ValueError("holds a NUL character, where a C text ends")
        try:
            slot.type, slot.str = n.STRING, value.encode("utf-8")
        except UnicodeEncodeError as error:
            # Half of a surrogate pair has no UTF-8: sent anyway, it would be another text.
            raise ValueError(f"holds the lone surrogate U+{ord(value[error.start]):04X} at "
                             f"index {error.start}, which is not a character") from None
    elif isinstance(value, bool):
        slot.type, slot.b = n.BOOL, value
    elif isinstance(value, int):
        if I32_MIN <= value <= I32_MAX:
            slot.type, slot.i32 = n.I32, value
        elif param is not None and param.type == n.STRING:
            put(slot, str(value), param)  # every digit, not a rounded double
        else:
            # The control judges the range against the declared type (an overflow, 6), as it
            # does for every caller; a number beyond any double is past every range too.
            try:
                number = float(value)
            except OverflowError:
                number = math.copysign(math.inf, value)
            slot.type, slot.f64 = n.DOUBLE, number
    elif isinstance(value, float):
        slot.type, slot.f64 = n.DOUBLE, value
    elif value is OMITTED or (value is None and (param is None or param.optional)):
        slot.type = n.MISSING
    elif value is None:
        slot.type = n.EMPTY  # the declared type's zero, as for an uninitialised variable
    else:
        raise TypeError(f"is of type {type(value).__name__}, which the control has no type for")


def unfit_argument(member, params, args):
    """The error for the first of a method's `args` that put() cannot pass."""
    return _first_unfit(member, ((f"argument {param.name}", value, param)
                                 for param, value in zip(params, args)))


def unfit_value(member, param, value):
    """The error for a property's value that put() cannot pass."""
    return _first_unfit(member, [("the value", value, param)])


def _first_unfit(member, labelled):
    # Called only after a conversion failed: converting again finds which value it was.
    for label, value, param in labelled:
        try:
            put(n.Variant(), value, param)
        except TypeError as error:
            return PalvexTypeError(13, f"{label} {error}", member)
        except ValueError as error:
            return PalvexValueError(13, f"{label} {error}", member)
    raise AssertionError(f"palvex: {member}: a conversion failed once and then not again")


def _single(value):
    """A float32 as the shortest decimal that is the same float32: 0.1, not 0.100000001490116."""
    for digits in range(6, 10):
        shortest = float(f"{value:.{digits}g}")
        if _float32.unpack(_float32.pack(shortest))[0] == value:
            return shortest
    return value


def take(slot, enum_type=None):
    """The Python value of `slot`; releases what the library allocated for it."""
    kind = slot.type
    if kind == n.BOOL:
        return bool(slot.b)
    if kind == n.I16:
        return slot.i16
    if kind == n.I32:
        number = slot.i32
        if enum_type is not None:
            try:
                return enum_type(number)
            except ValueError:
                pass
        return number
    if kind == n.SINGLE:
        return _single(slot.f32)
    if kind == n.DOUBLE:
        return slot.f64
    if kind == n.STRING:
        text = (slot.str or b"").decode("utf-8")
        n.variant_clear(ctypes.byref(slot))
        return text
    return None
