"""The control's status numbers as an IntEnum, named from the library's own list."""

import ctypes
import enum
import re

from . import _native as n


def _python_name(name):
    """INVALID_PROCEDURE_CALL for the library's InvalidProcedureCall, OK for Ok."""
    return re.sub(r"(?<=[a-z0-9])(?=[A-Z])", "_", name).upper()


def _read_statuses():
    statuses = []
    for index in range(n.status_count()):
        number, name = ctypes.c_int32(), ctypes.c_char_p()
        if n.status_info(index, ctypes.byref(number), ctypes.byref(name)):
            raise ImportError("palvex: the library could not describe a status")
        statuses.append((_python_name(name.value.decode("utf-8")), number.value))
    return statuses


Status = enum.IntEnum("Status", _read_statuses(), module="palvex")
Status.__doc__ = ("The control's status numbers, the same for C++, C and script hosts; "
                  "palvex.status_text(status) gives each one's text.")


def known(number):
    """`number` as a Status when the library names it, else the number itself."""
    try:
        return Status(number)
    except ValueError:
        return number
