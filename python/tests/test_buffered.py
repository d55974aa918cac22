"""Report.buffered(): calls kept and sent many at once make the report the same calls make one
by one, in their order, with the same errors, raised where the calls are sent."""

import re
import subprocess

import pytest

import palvex
from palvex import _buffering

SHALOM = "שלום"
STAY, NEXT = palvex.A1_StayWhereYouAre, palvex.A2_JumpToNextLine


def pdf_text(path):
    """The text without the direction marks pdftotext wraps right-to-left runs in."""
    return re.sub("[\u202a-\u202e]", "", subprocess.run(
        ["pdftotext", "-layout", str(path), "-"], check=True, capture_output=True,
        text=True).stdout)


def exported(r, path):
    r.printLastPage()
    r.ExportPdf(str(path))
    return pdf_text(path)


def mixed_calls(r, rows):
    """Calls of every kind of value and way of calling, and enough of them to fill several
    buffers."""
    r.FontName = "Liberation Sans"
    r.FontSize = 10.5  # a float
    r.FontBold = True
    r.ForeColor = 0x0000FF
    r.fxNameHeader(1, "כותרת - Header")
    r.fxEnterAfterHeader(1, 1)
    r.PrintHeader()
    r.FontBold = 0  # a number where a Boolean is declared
    for i in range(rows):
        r.CurrentX = 300 + i % 7 * 900
        r.printText(f"{SHALOM} {i}", STAY)
        r.CurrentX = 8000.5
        r.printText(i * 3, NEXT)  # a number where a text is declared
        if i % 50 == 49:
            r.printPage()
            r.PrintHeader()
    r.printText(TXT="by name", Entr=NEXT)  # the general way
    r.printText(2**40, NEXT)  # past 32 bits: every digit, as a text
    assert r.printLine(0, 600, 4000, 600, 0, 13, 0, 0, palvex.A0_AlignNone) == {"lDrawWidth": 1}
    r.printParagraph("פסקה ארוכה " * 40, 5000, None, None)  # optional arguments left out
    return r.CurrentY


def test_buffered_calls_make_the_report_the_same_calls_make_one_by_one(tmp_path):
    rows = 1500  # over 64 KiB of calls: the buffer is sent several times on its own
    texts, ends = [], []
    for buffered in (False, True):
        with palvex.Report() as r:
            r.WorkingFolder = str(tmp_path)
            r.StartPalvexPrintPreview()
            if buffered:
                with r.buffered():
                    ends.append(mixed_calls(r, rows))
            else:
                ends.append(mixed_calls(r, rows))
            texts.append(exported(r, tmp_path / f"{buffered}.pdf"))
            assert r.PageCount == rows // 50 + 1
    assert f"{SHALOM} {rows - 1}" in texts[0] and "by name" in texts[0]
    assert texts[1] == texts[0]
    assert ends[1] == ends[0]


def test_a_value_read_in_the_block_sees_every_call_before_it(recording):
    r = recording
    with r.buffered():
        top = r.CurrentY
        r.printText(SHALOM, NEXT)
        below = r.CurrentY
        assert below > top
        r.CurrentX = 1234
        assert r.CurrentX == 1234
        r.printPage()
        assert r.CurrentY < below  # at the top of the next page


def test_a_refusal_raises_where_the_calls_are_sent_and_the_calls_after_it_do_not_run(
        recording, tmp_path):
    r = recording
    with pytest.raises(palvex.PalvexError) as alone:
        r.fxNameHeader(99, "x")
    r.printText("before", NEXT)
    with pytest.raises(palvex.PalvexError) as kept:
        with r.buffered():
            r.printText("first", NEXT)
            r.CurrentX = 100
            r.fxNameHeader(99, "x")  # kept: nothing is raised here
            r.printText("never", NEXT)
    error = kept.value
    assert (error.status, error.member, error.detail) == (
        alone.value.status, "fxNameHeader", alone.value.detail)
    assert error.detail and str(error) == str(alone.value)
    # A value read sends the calls before it, and raises their refusal instead of reading.
    with pytest.raises(palvex.PalvexError, match="TableRow"):
        with r.buffered():
            r.printText("second", NEXT)
            r.TableRow("outside a table")
            r.printText("never", NEXT)
            r.CurrentY
            pytest.fail("the read ran after a refusal")
    text = exported(r, tmp_path / "out.pdf")
    assert "before" in text and "first" in text and "second" in text
    assert "never" not in text


def test_an_argument_python_cannot_pass_raises_at_its_call_and_leaves_nothing_behind(
        recording, tmp_path):
    r = recording
    with r.buffered():
        r.printText("one", NEXT)
        with pytest.raises(palvex.PalvexValueError):
            r.printText("a\0b", NEXT)
        with pytest.raises(palvex.PalvexTypeError):
            r.printText("two", object())  # the text before it was packed already
        with pytest.raises(palvex.PalvexTypeError):
            r.FontSize = [10]
        r.printText("three", NEXT)
    text = exported(r, tmp_path / "out.pdf")
    assert "one" in text and "three" in text and "two" not in text


def test_calls_made_before_an_exception_are_still_sent(recording, tmp_path):
    r = recording
    with pytest.raises(KeyError):
        with r.buffered():
            r.printText("kept", NEXT)
            raise KeyError("the program's own")
    # A refusal among them comes first, with the exception that ended the block as its context.
    with pytest.raises(palvex.PalvexError) as refused:
        with r.buffered():
            r.fxNameHeader(99, "x")
            raise KeyError("later")
    assert isinstance(refused.value.__context__, KeyError)
    assert "kept" in exported(r, tmp_path / "out.pdf")


def test_events_arrive_while_the_calls_are_sent_and_the_handler_may_call_the_report(
        recording, tmp_path):
    r = recording
    r.MessagesToHost = True
    seen = []

    def handler(event, number, text):
        if event == palvex.Event.MESSAGE:
            seen.append((text, r.CurrentX))
            r.CurrentX = 0  # runs at once, before the calls kept after the one that warned

    r.on_event(handler)
    with r.buffered():
        r.CurrentX = 500
        r.FontSize = -5  # a warning, sent to the host
        r.printText("after the warning", NEXT)
        assert not seen  # kept, not sent yet
    assert len(seen) == 1 and "FontSize" in seen[0][0] and seen[0][1] == 500


def test_blocks_nest_and_a_closed_report_refuses_to_start_one(tmp_path):
    r = palvex.Report()
    r.WorkingFolder = str(tmp_path)
    r.StartPalvexPrintPreview()
    with r.buffered():
        with pytest.raises(palvex.PalvexError, match="fxNameHeader"):
            with r.buffered() as inner:
                assert inner is r
                r.fxNameHeader(99, "x")
        r.printText("still kept after the inner block", NEXT)
        # Closing sends what is kept first; its refusal is raised, and the report is closed.
        r.fxNameHeader(98, "x")
        with pytest.raises(palvex.PalvexError, match="fxNameHeader"):
            r.close()
        assert repr(r).startswith("<palvex.Report closed")
    with pytest.raises(palvex.PalvexError) as closed:
        with r.buffered():
            pass
    assert (closed.value.status, closed.value.member) == (5, "buffered")


def test_a_refused_call_is_named_after_texts_of_any_length(recording):
    """The refused call is found by its index in the buffer: texts before it, of any length,
    are stepped over by their byte counts."""
    r = recording
    with pytest.raises(palvex.PalvexError) as kept:
        with r.buffered():
            for length in (0, 1, 255, 256, 20000):
                r.printText("א" * length, STAY)
            r.FontBold = None
            r.CurrentX = 0
            r.printParagraph("x", 3000.5, None, None)
            r.TableEnd()
    assert kept.value.member == "TableEnd"
    assert 40000 < _buffering.FLUSH_AT  # all of them in one buffer
