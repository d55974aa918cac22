"""A member's caller: the factory of its call's shape (_callers.py) given what is the same for
every call of the member, and the general way for the calls the shape's way does not take
(arguments by name or left out)."""

import ctypes

from . import _buffering
from . import _members
from . import _native as n
from . import _shapes
from . import _values
from ._errors import closed, missing, refused

try:
    from . import _callers
except (ImportError, SyntaxError) as unusable:
    # Written by python3 -m palvex._stubs, which imports the package: a file gone or broken
    # must leave the package importable, so that it can be written again.
    _callers, _unusable = None, f"{unusable.__class__.__name__}: {unusable}"
else:
    _unusable = None


def caller(call):
    """The function that makes `call` (a _shapes.Call): call(report, ...) takes a method's
    arguments as a Python method does, a property's value or none."""
    member, params = call.member, call.params
    enums = _members.enumerations
    context = {
        "name": member.name, "ident": member.id, "kind": call.kind, "params": params,
        "fresh": _fresh_slots(n.Variant * len(params)),
        "head": _buffering.call_head(member.id, call.kind, len(params)),
        "value_enum": enums.get(member.value_enum),
        # What a _callers.py written before the callers kept their arrays takes: the package
        # stays importable with it, so that the file can be written again.
        "array": n.Variant * len(params),
        # Whole numbers of these types fit the 32-bit value whenever they are in its range;
        # the rest (bool, other int subclasses) take put's general way.
        "plain_ints": frozenset([int] + [enums[p.enum_name] for p in params
                                         if p.enum_name in enums]),
    }
    shape = _shapes.shape_of(call)
    if call.form == _shapes.METHOD:
        context["corrections"] = _corrections(params)
        context["general"] = _general(call, context["corrections"])
        context["bind"] = _binder(member, params)
    factory = getattr(_callers, shape.name, None)
    if factory is None:
        return _missing_factory(member, shape)
    return factory(**context)


def _fresh_slots(array_type):
    """fresh(): a new argument array and each of its slots, which stay views into it (a caller
    keeps them with the array, so a call indexes nothing)."""

    def fresh():
        slots = array_type()
        return (slots, *slots)

    return fresh


def _missing_factory(member, shape):
    """A stand-in for a member whose shape _callers.py lacks (it was written for another
    library) or for every member when the file cannot be imported."""
    why = _unusable or f"it has no caller {shape.name}"

    def call(*_, **__):
        raise NotImplementedError(f"palvex: {member.name}: _callers.py cannot call it ({why}); "
                                  "write the file again: python3 -m palvex._stubs")

    return call


def _corrections(params):
    """corrections(args, slots): the by-reference arguments the member changed, by name; None
    when it changed none."""
    # The library writes back only into by-reference arguments; the others need no look.
    enums = _members.enumerations
    by_ref = tuple((i, p.name, enums.get(p.enum_name)) for i, p in enumerate(params) if p.by_ref)
    take, omitted, written = _values.take, _values.OMITTED, n.WRITTEN

    def corrections(args, slots):
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

    return corrections


def _general(call, corrections):
    """general(report, args): any number of arguments up to the declared ones, OMITTED where
    left out."""
    member, kind, params = call.member, call.kind, call.params
    wants_value = _shapes.shape_of(call).wants_value
    value_enum = _members.enumerations.get(member.value_enum)

    def general(report, args):
        if report._pending:
            _buffering.flush(report)  # this way is rare: sent as it is, after what is kept
        handle = report._handle
        if not handle:
            raise closed(member.name)
        count = len(args)
        slots = None
        if count:
            slots = (n.Variant * count)()  # it also keeps the bytes of the strings it borrows
            try:
                for i in range(count):
                    _values.put(slots[i], args[i], params[i])
            except (TypeError, ValueError):
                raise _values.unfit_argument(member.name, params, args) from None
        result = n.Variant() if wants_value else None
        status = n.invoke_id_unchecked(handle, member.id, kind, slots, count,
                                       ctypes.byref(result) if wants_value else None)
        answer = corrections(args, slots)
        if wants_value:
            answer = _values.take(result, value_enum)
        if status:
            raise refused(handle, status, member.name)
        return answer

    return general


def _binder(member, params):
    """bind(args, named): the arguments in declared order, those left out OMITTED, the Python
    errors of a Python function for too many, unknown, doubled or missing arguments."""
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
        left_out = [p.name for p, value in zip(params, args)
                    if value is _values.OMITTED and not p.optional]
        if left_out:
            raise missing(member.name, left_out)
        # Left out at the end is left out; an optional gap stays omitted for the control.
        while args and args[-1] is _values.OMITTED:
            args.pop()
        return args

    return bind
