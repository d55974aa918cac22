"""Calls from Python: values both ways, by-reference corrections, errors and the PDF."""

import copy
import enum
import threading
import inspect
import subprocess

import pytest

import palvex

SHALOM = "שלום"


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", str(path), "-"], check=True,
                          capture_output=True, text=True).stdout


def test_a_hebrew_report_is_recorded_and_exported(recording, tmp_path):
    r = recording
    r.FontName = "David CLM"
    r.FontBold = True
    assert r.printText(f"{SHALOM} - Hello", palvex.A2_JumpToNextLine) is None
    r.FontBold = False
    r.RightIT("מאזן בוחן", palvex.A2_JumpToNextLine)
    r.printLastPage()
    assert r.PageCount == 1
    pdf = tmp_path / "out.pdf"
    r.ExportPdf(str(pdf))
    text = pdf_text(pdf)
    assert SHALOM in text and "Hello" in text and "מאזן בוחן" in text


def test_properties_are_attributes_in_their_own_types(recording):
    r = recording
    r.FontName = "David CLM"
    r.FontSize = 12.5
    r.FontBold = 1  # numbers become the declared type, as for any caller
    r.CurrentX = 1440
    assert (r.FontName, r.FontSize, r.FontBold, r.CurrentX) == ("David CLM", 12.5, True, 1440)
    assert type(r.FontSize) is float and type(r.FontBold) is bool
    # A single is shown as the shortest text that is the same single, not its double expansion.
    r.FontSize = 10.1
    assert r.FontSize == 10.1 and repr(r.FontSize) == "10.1"
    assert r.TextWidth(SHALOM) > 0
    with pytest.raises(AttributeError):
        r.fontname = "misspelt"  # not quietly kept as an attribute of the object


def test_enumerations_are_int_enums_and_module_attributes():
    assert issubclass(palvex.AfterPrintType, enum.IntEnum)
    assert palvex.A2_JumpToNextLine is palvex.AfterPrintType.A2_JumpToNextLine == 2
    assert palvex.AlignType(3) is palvex.A3_AlignLeft
    assert {"AlignType", "AfterPrintType", "Footer1Number"} <= set(palvex.__all__)
    parameters = inspect.signature(palvex.Report.printText).parameters
    assert list(parameters) == ["self", "TXT", "Entr"]
    assert parameters["Entr"].annotation is palvex.AfterPrintType


def test_by_reference_arguments_come_back_when_the_member_changes_them(recording, tmp_path):
    r = recording
    line = [0, 600, 4000, 600, 0, 13, 0]
    assert r.printLine(*line, 0, palvex.A0_AlignNone) == {"lDrawWidth": 1}
    assert r.printLine(*line, 2, palvex.A0_AlignNone) is None
    # By name, and with the optional arguments of a circle left out.
    assert r.printCircle(3000, 3000, 0, 0, 13, cDrawWidth=-4, cFillStyle=1, CRadius=500,
                         AL=palvex.A0_AlignNone) == {"cDrawWidth": 1}
    # Every argument the member may set comes back when it did: a character run gives back
    # the kind of item it recorded and a placement out of range as the default, and a printout
    # that cannot be written gives back Cancel.
    assert r.fxPrintingChars(0, 1000, 65, palvex.PrintHorizontal, palvex.A2_JumpToNextLine,
                             7) == {"Entr": 14, "cKind": palvex.K0_StartAndEndPointAsDefined}
    assert r.SavePrint(str(tmp_path / "printout.txt"), False) is None
    # A by-reference argument the member only reads gives nothing back, though it is converted
    # to the declared type as any argument is: RightIT's Entr is by reference, LeftIT's by value,
    # and neither returns anything for a text given for the number.
    stay = palvex.A1_StayWhereYouAre
    assert r.printText(42, stay) is None and r.RightIT("a", "1") is None is r.LeftIT("a", "1")
    # A text parameter takes every digit of a number however long.
    assert r.TextWidth(-(10**40)) == r.TextWidth(str(-(10**40)))
    assert r.SavePrint(str(tmp_path / "no such folder" / "printout.txt"), False) == {
        "Cancel": True}


def test_refusals_raise_palvex_error_with_the_controls_status(recording, tmp_path):
    r = recording
    cases = [
        (380, lambda: setattr(r, "PaperSize", "bogus")),
        (382, lambda: setattr(r, "PageCount", 3)),
        (449, lambda: r.printText()),
        (6, lambda: r.printText("x", 2**40)),
        (13, lambda: r.Font),  # unreadable, also an AttributeError (below)
        (9, lambda: r.fxNameHeader(99, "x")),
    ]
    for status, call in cases:
        with pytest.raises(palvex.PalvexError) as caught:
            call()
        assert caught.value.status == status
        assert caught.value.text == palvex.status_text(status) != ""
        assert str(status) in str(caught.value)
    # Properties that cannot be read answer hasattr() and inspect instead of failing them.
    assert not hasattr(r, "Font") and not hasattr(r, "DontConsiderForCenter")
    assert hasattr(r, "FontName")
    assert ("FontName", r.FontName) in inspect.getmembers(r)
    # Mistakes Python itself can tell are Python's own errors.
    with pytest.raises(TypeError):
        r.printText("a", 2, 3)
    with pytest.raises(TypeError):
        r.printText("a", Enter=2)
    with pytest.raises(TypeError):
        r.printText(object(), 2)
    with pytest.raises(ValueError):
        r.printText("a\0b", 2)
    with pytest.raises(TypeError):
        r.printText("a", TXT="b")  # twice
    with pytest.raises(TypeError):
        copy.copy(r)  # two objects would destroy one control twice
    # A required argument left out, by position or by name, is the control's 449.
    with pytest.raises(palvex.PalvexError) as caught:
        r.printText(Entr=palvex.A2_JumpToNextLine)
    assert caught.value.status == 449
    with pytest.raises(palvex.PalvexError) as caught:
        r.Font = 12  # a font is set from a font description string, nothing else
    assert caught.value.status == 13
    # A failed export leaves nothing behind and says why.
    with pytest.raises(palvex.PalvexError):
        r.ExportPdf(str(tmp_path / "no such folder" / "x.pdf"))


def test_arguments_by_position_and_by_name_are_taken_alike(recording):
    """The calls with every argument by position take a shorter way than the others; both
    must convert, write back and refuse in the same way."""
    r = recording
    stay = palvex.A1_StayWhereYouAre

    def outcome(call):
        try:
            return call()
        except (palvex.PalvexError, TypeError, ValueError) as error:
            return type(error), getattr(error, "status", None)

    cases = [
        # (by position, by name, expected)
        (lambda: r.TextWidth(42.5), lambda: r.TextWidth(Str=42.5), r.TextWidth("42.5")),
        (lambda: r.TextWidth(True), lambda: r.TextWidth(Str=True), r.TextWidth("True")),
        (lambda: r.printLine(0, 0, 9, 0, 0, 13, 0, 0.25, 0),
         lambda: r.printLine(0, 0, 9, 0, 0, 13, 0, AL=0, lDrawWidth=0.25), {"lDrawWidth": 1}),
        (lambda: r.printText(SHALOM, stay), lambda: r.printText(Entr=stay, TXT=SHALOM), None),
        (lambda: r.printText("x", 2**40), lambda: r.printText(TXT="x", Entr=2**40),
         (palvex.PalvexError, 6)),
        (lambda: r.fxNameHeader(99, "x"), lambda: r.fxNameHeader(X=99, TXT="x"),
         (palvex.PalvexError, 9)),
        (lambda: r.printText("a\0b", stay), lambda: r.printText(TXT="a\0b", Entr=stay),
         (palvex.PalvexValueError, 13)),
        (lambda: r.printText("\ud800", stay), lambda: r.printText(TXT="\ud800", Entr=stay),
         (palvex.PalvexValueError, 13)),
        (lambda: r.printText(object(), stay), lambda: r.printText(TXT=object(), Entr=stay),
         (palvex.PalvexTypeError, 13)),
        (lambda: r.printText("x", "soon"), lambda: r.printText(TXT="x", Entr="soon"),
         (palvex.PalvexTypeError, 13)),
    ]
    for by_position, by_name, expected in cases:
        assert outcome(by_position) == outcome(by_name) == expected
    # A property takes each kind of value as the general conversion does.
    for name, value, read in [("CurrentX", 12.7, 12.7), ("CurrentX", "300", 300),
                              ("FontBold", palvex.A1_StayWhereYouAre, True),
                              ("FontSize", 11, 11), ("FontName", "Liberation Sans",
                                                     "Liberation Sans")]:
        setattr(r, name, value)
        assert getattr(r, name) == read
    with pytest.raises(palvex.PalvexError) as caught:
        r.CurrentX = 2**40
    assert caught.value.status == 380


def test_a_warning_headless_does_not_wait_for_a_person(recording):
    r = recording
    r.FontName = "No Such Font Anywhere"  # a warning box on a screen; here it answers itself
    r.MessagesToHost = True
    r.FontSize = -5
    assert r.FontSize == 12
    assert "FontSize" in r.LastMessage


def test_a_closed_report_refuses_every_call(tmp_path):
    r = palvex.Report()
    r.close()
    r.close()  # twice is harmless
    # Every way in: a method without arguments, with all of them by position, with some by
    # name, and a property set and read.
    stay = palvex.A1_StayWhereYouAre
    for call in (r.StartPalvexPrintPreview, lambda: r.printText("x", stay),
                 lambda: r.printText(TXT="x", Entr=stay), lambda: setattr(r, "CurrentX", 1),
                 lambda: r.CurrentX):
        with pytest.raises(palvex.PalvexError) as caught:
            call()
        assert caught.value.status == 5


def test_run_returns_at_once_when_no_preview_is_shown():
    palvex.run()


def test_only_the_main_thread_makes_controls_and_any_thread_may_release_one(tmp_path):
    failures = []
    thread = threading.Thread(target=lambda: failures.append(_status_of(palvex.Report)))
    thread.start()
    thread.join()
    assert failures == [5]
    # Released on another thread (as a garbage collector may), the control is still destroyed,
    # and the event loop, which waits for shown previews, does not wait for it.
    r = palvex.Report()
    r.WorkingFolder = str(tmp_path)
    r.StartPalvexPrintPreview()
    thread = threading.Thread(target=r.close)
    thread.start()
    thread.join()
    palvex.run()


def _status_of(call):
    try:
        call()
    except palvex.PalvexError as error:
        return error.status
    return 0


def test_events_reach_the_handler_and_its_exceptions_stay_in_python(recording, capfd):
    r = recording
    events = []
    r.on_event(lambda event, number, text: events.append((event, number, text)))
    r.MessagesToHost = True
    r.FontSize = -5
    r.printLastPage()
    assert (palvex.Event.PAGE_SHOWN, 1, "") in events
    assert any(e == palvex.Event.MESSAGE and "FontSize" in text for e, _, text in events)

    def failing(*_):
        raise RuntimeError("the host's own mistake")

    r.on_event(failing)
    r.FontName = "David CLM"  # a saved property's change: the handler fails, the call does not
    assert r.FontName == "David CLM"
    assert "the host's own mistake" in capfd.readouterr().err
    r.on_event(lambda event, number, text: events.append((event, number, text)))
    del events[:]
    r.FontName = "Liberation Sans"
    assert events == [(palvex.Event.PROPERTY, 0, "FontName")]
    r.on_event(None)
    r.FontName = "David CLM"
    assert len(events) == 1


def test_a_handler_may_close_the_report_whose_event_it_handles(tmp_path):
    r = palvex.Report()
    r.WorkingFolder = str(tmp_path)
    r.StartPalvexPrintPreview()
    r.on_event(lambda event, number, text: r.close() if event == palvex.Event.PROPERTY else None)
    r.FontName = "David CLM"  # its change closes the report inside the control's own call
    with pytest.raises(palvex.PalvexError) as caught:
        r.FontName = "David CLM"
    assert caught.value.status == 5
    palvex.run()  # the hidden control is not waited for
