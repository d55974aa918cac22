"""The shared library and its C interface, declared for ctypes."""

import ctypes
import os

# The C interface this package was written against: a library of another major version may
# have changed what the calls mean, one of an older minor version lacks functions it calls
# (palvex_invoke_batch came with 1.4) or flags it reads (PALVEX_PARAM_SET_BY_MEMBER, 1.3).
_MAJOR, _MINOR = 1, 4

EMPTY, MISSING, BOOL, I16, I32, SINGLE, DOUBLE, STRING = range(8)
OWNED, WRITTEN = 1, 2
METHOD, PROPERTY_GET, PROPERTY_PUT, PROPERTY_PUTREF = 1, 2, 4, 8
PARAM_BYREF, PARAM_OPTIONAL, PARAM_SET_BY_MEMBER = 1, 2, 4


class _Payload(ctypes.Union):
    _fields_ = [
        ("b", ctypes.c_int),
        ("i16", ctypes.c_int16),
        ("i32", ctypes.c_int32),
        ("f32", ctypes.c_float),
        ("f64", ctypes.c_double),
        # Bytes assigned here stay referenced by the array that holds the value, for as long
        # as the call borrows them; an owned string is read as bytes, then freed by
        # palvex_variant_clear through the value, never through this field.
        ("str", ctypes.c_char_p),
    ]


class Variant(ctypes.Structure):
    # The payload's fields are also the value's own (value.i32 as value.v.i32), which spares
    # making a union object at each access.
    _anonymous_ = ("v",)
    _fields_ = [("type", ctypes.c_int), ("flags", ctypes.c_uint), ("v", _Payload)]


def _candidates():
    explicit = os.environ.get("PALVEX_LIBRARY")
    if explicit:
        # Set on purpose: nothing else is tried, so a wrong path is reported, not bypassed.
        return [explicit]
    found = []
    try:
        from . import _location  # written when the package is installed with the library

        found.append(os.path.normpath(os.path.join(os.path.dirname(__file__), _location.LIBRARY)))
    except ImportError:
        pass
    # Imported from a source checkout (python/src/palvex): the checkout's own build, as
    # scripts/setup.sh makes it, before any installed copy.
    checkout_build = os.path.join(os.path.dirname(__file__), "..", "..", "..", "build", "control",
                                  "libpalvex.so.1")
    if os.path.exists(checkout_build):
        found.append(os.path.normpath(checkout_build))
    found.append("libpalvex.so.1")
    return found


def _load():
    errors = []
    for path in _candidates():
        if os.sep in path and not os.path.exists(path):
            errors.append(f"{path}: no such file")
            continue
        try:
            return ctypes.CDLL(path)
        except OSError as error:
            errors.append(str(error))
    raise ImportError(
        "palvex: cannot load the Palvex library (libpalvex.so.1); install the palvex Debian "
        "package or set PALVEX_LIBRARY to the library's path. Tried: " + "; ".join(errors)
    )


lib = _load()


def _declare(name, result, *arguments):
    function = getattr(lib, name)
    function.restype = result
    function.argtypes = list(arguments)
    return function


_c_int, _c_uint, _c_char_p = ctypes.c_int, ctypes.c_uint, ctypes.c_char_p
_out_int, _out_i32, _out_uint = (
    ctypes.POINTER(ctypes.c_int),
    ctypes.POINTER(ctypes.c_int32),
    ctypes.POINTER(ctypes.c_uint),
)
_out_text = ctypes.POINTER(ctypes.c_char_p)

version = _declare("palvex_version", ctypes.c_uint32)
# Checked before anything else is declared: a missing function would otherwise be the error.
if version() >> 16 != _MAJOR or version() & 0xFFFF < _MINOR:
    raise ImportError(
        f"palvex: the loaded library offers C interface {version() >> 16}.{version() & 0xFFFF}; "
        f"this package needs {_MAJOR}.{_MINOR} or a later {_MAJOR}.x"
    )
status_text = _declare("palvex_status_text", _c_char_p, _c_int)
variant_clear = _declare("palvex_variant_clear", None, ctypes.POINTER(Variant))
app_ensure = _declare("palvex_app_ensure", _c_int, _c_int, ctypes.POINTER(_c_char_p))
app_exec_for = _declare("palvex_app_exec_for", _c_int, _c_int, _out_int)
app_without_display = _declare("palvex_app_without_display", _c_int)
create = _declare("palvex_create", _c_int, ctypes.POINTER(ctypes.c_void_p))
destroy = _declare("palvex_destroy", _c_int, ctypes.c_void_p)
widget = _declare("palvex_widget", _c_int, ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p))
EventHandler = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_int, ctypes.c_int32, _c_char_p)
set_event_handler = _declare("palvex_set_event_handler", _c_int, ctypes.c_void_p, EventHandler,
                             ctypes.c_void_p)
invoke_id = _declare(
    "palvex_invoke_id", _c_int, ctypes.c_void_p, ctypes.c_int32, _c_int,
    ctypes.POINTER(Variant), _c_int, ctypes.POINTER(Variant),
)
# The same entry for the package's own calls, which pass only the handle, Python ints, None, an
# array of Variant and a byref() of one: checking each against a declaration costs more than
# the call itself.
invoke_id_unchecked = lib["palvex_invoke_id"]
invoke_id_unchecked.restype = _c_int
invoke_batch = _declare("palvex_invoke_batch", _c_int, ctypes.c_void_p, _c_char_p, ctypes.c_size_t,
                        ctypes.POINTER(ctypes.c_size_t))
last_error_detail = _declare("palvex_last_error_detail", _c_char_p, ctypes.c_void_p)
member_count = _declare("palvex_member_count", _c_int)
member_info = _declare(
    "palvex_member_info", _c_int, _c_int, _out_text, _out_i32, _out_int, _out_int, _out_text,
    _out_int,
)
param_info = _declare(
    "palvex_param_info", _c_int, _c_int, _c_int, _out_text, _out_int, _out_uint, _out_text
)
enum_count = _declare("palvex_enum_count", _c_int)
enum_info = _declare("palvex_enum_info", _c_int, _c_int, _out_text, _out_int)
enum_value = _declare("palvex_enum_value", _c_int, _c_int, _c_int, _out_text, _out_i32)
status_count = _declare("palvex_status_count", _c_int)
status_info = _declare("palvex_status_info", _c_int, _c_int, _out_i32, _out_text)
