"""The errors a call raises: the control's status, the member refused and why."""

from . import _native as n
from ._status import known


class PalvexError(Exception):
    """A call the control refused or that failed. `status` is the control's error number (the
    same for C++, C and script hosts), a palvex.Status where the library names the number, and
    `text` its description; `member` names the member
    refused and `detail` says why ("the row has 4 cells, the table 3 columns"), "" where
    nothing more is known. `message` replaces "member: detail" in the error's words, for the
    words Python itself gives a mistake."""

    def __init__(self, status, detail="", member="", message=None):
        self.status = known(status)
        self.text = n.status_text(status).decode("utf-8")
        self.member = member
        self.detail = detail
        self._message = message
        if message is None:
            message = detail or self.text
            if member:
                message = f"{member}: {message}"
        # The status's own words only when the detail has not said them already.
        number = int(status)  # 380, never Status.INVALID_PROPERTY_VALUE
        said = (f"status {number}: {self.text}" if self.text and not message.endswith(self.text)
                else f"status {number}")
        super().__init__(f"{message} ({said})" if message else said)

    def __reduce__(self):
        # Rebuilt from its parts, not from its words: a worker process's error keeps them.
        return (self.__class__, (self.status, self.detail, self.member, self._message))


class PalvexTypeError(PalvexError, TypeError):
    """An argument left out that the member requires (449), or a value of a type the member's
    argument cannot take (13): Python's TypeError, as a Python function raises it."""


class PalvexValueError(PalvexError, ValueError):
    """A text no C string can carry (a NUL character, a lone surrogate), refused before the
    control sees it, with the status 13 the control gives a text that is not UTF-8."""


class UnreadablePropertyError(PalvexError, AttributeError):
    """A property that cannot be read from here (Font has no value outside C++; some are only
    written). Also an AttributeError, so hasattr() and inspect answer instead of failing."""


# Shown and pickled under the names the package exports them by.
for _error in (PalvexError, PalvexTypeError, PalvexValueError, UnreadablePropertyError):
    _error.__module__ = "palvex"


_TYPE_ERRORS = frozenset([449, 13])  # argument not optional, type mismatch


def error(status, detail="", member=""):
    """The error for `status`, of the Python class a Python function raises for it."""
    return (PalvexTypeError if status in _TYPE_ERRORS else PalvexError)(status, detail, member)


def refused(handle, status, member):
    """The error for a call of `member` through `handle` that the library answered with
    `status`. Read at once: the library's words last until the next call through the handle."""
    words = (n.last_error_detail(handle) or b"").decode("utf-8", "replace")
    # The library words it "printText: argument Entr is not optional"; the member is its own
    # field here. A refusal the C layer words under its own name keeps all its words.
    named, separator, reason = words.partition(": ")
    if separator and named == member:
        words = reason
    return error(status, words, member)


def closed(member=""):
    return PalvexError(5, "the control was closed", member)


def missing(member, names):
    """Required arguments left out, in the words Python uses for its own functions."""
    quoted = [f"'{name}'" for name in names]
    if len(quoted) > 2:
        listed = ", ".join(quoted[:-1]) + ", and " + quoted[-1]
    else:
        listed = " and ".join(quoted)
    plural = "s" if len(names) > 1 else ""
    detail = f"missing {len(names)} required positional argument{plural}: {listed}"
    return PalvexTypeError(449, detail, member, f"{member}() {detail}")

