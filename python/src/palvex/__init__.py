"""Palvex for Python: a right-to-left report recorder and print preview.

    import palvex
    with palvex.Report() as r:
        r.StartPalvexPrintPreview()
        r.FontName = "David CLM"
        r.printText("שלום", palvex.A2_JumpToNextLine)
        r.paragraph("טקסט ארוך שנשבר לשורות", 4000)
        with r.table([(1500, palvex.RIGHT, "חשבון"), (3000, palvex.RIGHT, "שם")]) as t:
            t.row([100001, "קופה ראשית"])
        r.printLastPage()
        r.ExportPdf("hello.pdf")

Every enumeration of the control is an IntEnum here (palvex.AfterPrintType) and each of its
values is a module attribute too (palvex.A2_JumpToNextLine). Calls the control refuses raise
PalvexError with the control's status number (a palvex.Status), the member and why; an argument left out or of
a type the control cannot take is also a TypeError (PalvexTypeError).
"""

from . import _members
from ._layout import CENTER, JUSTIFIED, LEFT, RIGHT, Align, Table
from ._native import lib as _lib  # noqa: F401  (loads the library first, with a clear error)
from ._errors import PalvexError, PalvexTypeError, PalvexValueError, UnreadablePropertyError
from ._report import Event, Report, ensure_application, run, without_display
from ._status import Status

__version__ = "1.0.0"


def status_text(status):
    """The control's text for an error number ("" for one it never reports)."""
    from . import _native

    return _native.status_text(status).decode("utf-8")


def _export_enumerations():
    names = globals()
    for enum_name, enum_type in _members.enumerations.items():
        names[enum_name] = enum_type
        for value in enum_type:
            if value.name in names and names[value.name] is not value:
                raise ImportError(f"palvex: the value {value.name} is in two enumerations")
            names[value.name] = value


_export_enumerations()

__all__ = ["Align", "CENTER", "JUSTIFIED", "LEFT", "RIGHT", "Table", "Event", "PalvexError",
           "PalvexTypeError", "PalvexValueError", "Report", "Status", "UnreadablePropertyError",
           "ensure_application", "run", "status_text", "without_display"] + [
    name for name, enum_type in _members.enumerations.items()
    for name in [name] + [value.name for value in enum_type]
]
