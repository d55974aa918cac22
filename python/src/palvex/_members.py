"""The control's members and enumerations, read from the loaded library."""

import ctypes
import enum
from dataclasses import dataclass

from . import _native as n


@dataclass(frozen=True)
class Param:
    name: str
    type: int  # a C value type
    # The member may set the argument, which then comes back to the caller (printLine's draw
    # width). A by-reference parameter the member only reads is by value here: it would come
    # back only as it was passed, converted to the declared type, which tells a caller nothing.
    by_ref: bool
    optional: bool
    enum_name: str


@dataclass(frozen=True)
class Member:
    name: str
    id: int
    kinds: int
    value_type: int
    value_enum: str
    params: tuple

    @property
    def is_property(self):
        return not self.kinds & n.METHOD


def _text(raw):
    return raw.decode("utf-8")


def _check(status, what):
    if status:
        raise ImportError(f"palvex: the library could not describe {what} (status {status})")


def _read_enumerations():
    enums = {}
    for index in range(n.enum_count()):
        name, count = ctypes.c_char_p(), ctypes.c_int()
        _check(n.enum_info(index, ctypes.byref(name), ctypes.byref(count)), "an enumeration")
        values = []
        for value in range(count.value):
            value_name, number = ctypes.c_char_p(), ctypes.c_int32()
            _check(n.enum_value(index, value, ctypes.byref(value_name), ctypes.byref(number)),
                   "an enumeration value")
            values.append((_text(value_name.value), number.value))
        enums[_text(name.value)] = enum.IntEnum(_text(name.value), values, module="palvex")
    return enums


def _read_members():
    members = []
    for index in range(n.member_count()):
        name, ident, kinds = ctypes.c_char_p(), ctypes.c_int32(), ctypes.c_int()
        value_type, value_enum, count = ctypes.c_int(), ctypes.c_char_p(), ctypes.c_int()
        _check(n.member_info(index, ctypes.byref(name), ctypes.byref(ident), ctypes.byref(kinds),
                             ctypes.byref(value_type), ctypes.byref(value_enum),
                             ctypes.byref(count)), "a member")
        params = []
        for position in range(count.value):
            pname, ptype, flags, penum = (ctypes.c_char_p(), ctypes.c_int(), ctypes.c_uint(),
                                          ctypes.c_char_p())
            _check(n.param_info(index, position, ctypes.byref(pname), ctypes.byref(ptype),
                                ctypes.byref(flags), ctypes.byref(penum)), "a parameter")
            set_by_member = n.PARAM_BYREF | n.PARAM_SET_BY_MEMBER
            params.append(Param(_text(pname.value), ptype.value,
                                flags.value & set_by_member == set_by_member,
                                bool(flags.value & n.PARAM_OPTIONAL), _text(penum.value)))
        members.append(Member(_text(name.value), ident.value, kinds.value, value_type.value,
                              _text(value_enum.value), tuple(params)))
    return members


enumerations = _read_enumerations()
members = _read_members()
