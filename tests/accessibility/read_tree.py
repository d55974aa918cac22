"""Reads the preview window as a screen reader does, through AT-SPI, and checks what it hears.

Finds the palvex-run application on the accessibility bus, prints a short dump of its tree,
checks the tool bar's buttons (push buttons named by their Hebrew captions, the host's replaced
one among them), the page list and the page canvas (a document named "page 1 of 2" in Hebrew whose
text is the page's Hebrew lines in order, its caret on the search hit), turns the page with
Next and reads the canvas again, then presses Close so the script host ends.
Usage: read_tree.py SECONDS (how long to wait for the application to appear)
"""

import sys
import time

import pyatspi

BUTTONS = ["סגור", "הדפסה מיידית", "ראשון", "קודם", "הבא", "אחרון", "חיפוש", "המשך חיפוש"]
# The page number the report prints at the foot of the page comes last.
PAGE_TEXT = "דוח מכירות\nשורה ראשונה\nשורה שנייה\n-1-"
FOUND = "שנייה"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def find_application(seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "palvex-run":
                for child in app:
                    if child is not None and child.childCount > 0:
                        return app
        time.sleep(0.2)
    return None


def walk(node, depth=0, out=None):
    """Every showing node under `node`, with its depth."""
    out = [] if out is None else out
    out.append((depth, node))
    for child in node:
        if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
            walk(child, depth + 1, out)
    return out


def main():
    app = find_application(float(sys.argv[1]) if len(sys.argv) > 1 else 10)
    if app is None:
        print("FAILED: palvex-run did not appear on the accessibility bus")
        return 1
    nodes = walk(app)
    for depth, node in nodes:
        if node.getRoleName() in ("filler", "panel") and not node.name:
            continue
        print("%s%s %r%s" % ("  " * depth, node.getRoleName(), node.name,
                             " (%s)" % node.description if node.description else ""))

    buttons = {n.name: n for _, n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    for caption in BUTTONS:
        check(caption in buttons, "a push button named %r" % caption)
    check(buttons.get("הבא") is not None and buttons["הבא"].description == "מעבר לעמוד הבא",
          "the Next button says what it does in Hebrew")

    lists = [n for _, n in nodes if n.getRole() == pyatspi.ROLE_COMBO_BOX]
    page_list = [n for n in lists if n.description == "עמוד"]
    check(len(page_list) == 1, "one list described as the page list")
    if page_list:
        check(page_list[0].name == "עמוד 1", "the page list shows the page of the search hit")

    documents = [n for _, n in nodes if n.getRole() == pyatspi.ROLE_DOCUMENT_FRAME]
    check(len(documents) == 1, "one document: the page canvas")
    if documents:
        canvas = documents[0]
        check(canvas.name == "עמוד 1 מתוך 2", "the canvas is named by its page and the count")
        text = canvas.queryText()
        content = text.getText(0, -1)
        print("canvas text:", repr(content))
        check(content == PAGE_TEXT, "the canvas reads the page's lines in order")
        check(text.caretOffset == content.find(FOUND), "the caret is on the search hit")
        if text.getNSelections() == 1:
            start, end = text.getSelection(0)
            check(content[start:end] == FOUND, "the search hit is selected")
        else:
            check(False, "one selection: the search hit")
        line = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
        check(line[0] == "דוח מכירות\n", "the first line by line boundary")
        value = canvas.queryValue()
        check((value.currentValue, value.maximumValue) == (1.0, 2.0), "page 1 of 2 as a value")

        # Next turns the page: the canvas's name and text follow.
        if "הבא" in buttons:
            buttons["הבא"].queryAction().doAction(0)
            deadline = time.monotonic() + 5
            while canvas.name != "עמוד 2 מתוך 2" and time.monotonic() < deadline:
                time.sleep(0.1)
            check(canvas.name == "עמוד 2 מתוך 2", "Next names the canvas by the second page")
            check(text.getText(0, -1) == "עמוד שני\n-2-", "the second page's text")

    close = buttons.get("סגור")
    if close is not None:
        close.queryAction().doAction(0)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
