"""What a refused call raises: the control's status, the member, why, and the Python class a
Python function would raise."""

import inspect
import pickle

import pytest

import palvex

JUMP = palvex.A2_JumpToNextLine


def refusal(call):
    with pytest.raises(palvex.PalvexError) as caught:
        call()
    return caught.value


def three_columns_four_cells(r):
    with r.table([1000, 1000, 1000]) as t:
        t.row([1, 2, 3, 4])


def test_a_refusal_names_the_member_and_says_why(recording):
    r = recording
    cases = [
        # (call, class, status, member, the start of the detail)
        (lambda: three_columns_four_cells(r), palvex.PalvexError, 380, "TableRow",
         "the row has 4 cells, the table 3 columns"),
        (lambda: r.SetMargins(-5, 100, 100, 100), palvex.PalvexError, 380, "SetMargins",
         "the left margin -5 twips"),
        (lambda: r.ExportPdf("early.pdf"), palvex.PalvexError, 52, "ExportPdf",
         "the report is still open; call printLastPage first"),
        (lambda: r.printText("x", 2**40), palvex.PalvexError, 6, "printText", "argument Entr"),
        # The control cannot make a number of the text: a TypeError, as in Python.
        (lambda: r.printText("x", "soon"), palvex.PalvexTypeError, 13, "printText",
         "argument Entr"),
        (lambda: setattr(r, "CurrentX", "far"), palvex.PalvexTypeError, 13, "CurrentX",
         "the value"),
        # Its own words, not those of the refusal before it.
        (lambda: r.Font, palvex.UnreadablePropertyError, 13, "Font", "the value is a font"),
    ]
    for call, kind, status, member, detail in cases:
        error = refusal(call)
        assert type(error) is kind, (member, error)
        assert (error.status, error.member) == (status, member)
        assert type(error.status) is palvex.Status
        assert error.detail.startswith(detail), error.detail
        assert error.text == palvex.status_text(status)
        assert str(error) == f"{member}: {error.detail} (status {status}: {error.text})"
    # Only a refusal of its own kind is a TypeError: an overflow or a state is not.
    assert not isinstance(refusal(lambda: r.printText("x", 2**40)), TypeError)
    # An error from a worker process arrives whole.
    error = refusal(lambda: three_columns_four_cells(r))
    copy = pickle.loads(pickle.dumps(error))
    assert (type(copy), copy.status, copy.member, copy.detail, str(copy)) == (
        type(error), error.status, error.member, error.detail, str(error))
    assert copy.status is palvex.Status.INVALID_PROPERTY_VALUE


def test_status_names_each_number_the_library_has_a_text_for():
    described = {number for number in range(1000) if palvex.status_text(number)}
    assert {int(status) for status in palvex.Status} == described
    assert palvex.Status.INVALID_PROPERTY_VALUE == 380 and palvex.Status.OK == 0
    assert palvex.status_text(palvex.Status.NO_SUCH_MEMBER) == palvex.status_text(438)
    # A number the library does not name stays the number, in the error's words too.
    unknown = palvex.PalvexError(12345, "why")
    assert type(unknown.status) is int and unknown.status == 12345
    assert str(unknown) == "why (status 12345)"
    named = palvex.PalvexError(palvex.Status.INVALID_PICTURE, "why")
    assert str(named) == "why (status 481: Invalid picture)"


def python_words(method, *args, **named):
    """What Python itself says when a function of the method's signature is called so."""
    parameters = [name if parameter.default is inspect.Parameter.empty else f"{name}=None"
                  for name, parameter in inspect.signature(method).parameters.items()]
    namespace = {}
    exec(f"def {method.__name__}({', '.join(parameters)}): pass", namespace)
    with pytest.raises(TypeError) as caught:
        namespace[method.__name__](None, *args, **named)
    return str(caught.value)


def test_an_argument_left_out_or_of_the_wrong_type_is_a_type_error(recording):
    r = recording
    for method, args, named in [(palvex.Report.printText, ("x",), {}),
                                (palvex.Report.printText, (), {"Entr": JUMP}),
                                (palvex.Report.printText, (), {}),
                                (palvex.Report.printLine, (0, 600), {"AL": 0})]:
        error = refusal(lambda: getattr(r, method.__name__)(*args, **named))
        assert isinstance(error, TypeError)
        assert (error.status, error.member) == (449, method.__name__)
        assert str(error) == f"{python_words(method, *args, **named)} (status 449: {error.text})"
    # Told before the call: a closed control would refuse the call itself with status 5.
    closed = palvex.Report()
    closed.close()
    assert refusal(lambda: closed.printText("x")).status == 449
    assert refusal(lambda: closed.printText("x", JUMP)).status == 5
    # A value Python cannot give the control, for an argument and for a property.
    for call, member, detail in [
            (lambda: r.printText(object(), JUMP), "printText", "argument TXT is of type object"),
            (lambda: r.printText(TXT=[1], Entr=JUMP), "printText", "argument TXT is of type list"),
            (lambda: setattr(r, "FontName", ["David CLM"]), "FontName",
             "the value is of type list")]:
        error = refusal(call)
        assert isinstance(error, palvex.PalvexTypeError)
        assert (error.status, error.member) == (13, member)
        assert error.detail.startswith(detail), error.detail
    # Python's own mistakes stay Python's: too many arguments, a name the method lacks.
    for call in (lambda: r.printText("a", JUMP, 3), lambda: r.printText("a", Enter=JUMP)):
        with pytest.raises(TypeError) as caught:
            call()
        assert not isinstance(caught.value, palvex.PalvexError)


def test_a_text_no_c_string_carries_is_refused_not_changed(recording):
    r = recording
    r.FontName = "David CLM"
    y = r.CurrentY
    for call, member, detail in [
            (lambda: r.printText("a\ud800b", JUMP), "printText",
             "argument TXT holds the lone surrogate U+D800 at index 1"),
            (lambda: r.printText(Entr=JUMP, TXT="\udc80"), "printText",
             "argument TXT holds the lone surrogate U+DC80 at index 0"),
            (lambda: r.printText("a\0b", JUMP), "printText", "argument TXT holds a NUL"),
            (lambda: setattr(r, "FontName", "David\udfff"), "FontName",
             "the value holds the lone surrogate U+DFFF at index 5")]:
        error = refusal(call)
        assert isinstance(error, palvex.PalvexValueError) and not isinstance(error, TypeError)
        assert (error.status, error.member) == (13, member)
        assert error.detail.startswith(detail), error.detail
    assert (r.CurrentY, r.FontName) == (y, "David CLM")  # nothing was printed or set
    # A character beyond the first plane is one code point, not a surrogate pair.
    assert r.printText("𝔸 שלום", JUMP) is None
    assert r.CurrentY > y
