"""Reads the preview window as a screen reader does, through AT-SPI, and checks what it hears.

Finds the palvex-run application on the accessibility bus, prints a short dump of its tree,
checks the tool bar's buttons (push buttons named by their Hebrew captions, the host's replaced
one among them), the page list and the page canvas (a document named "page 1 of 2" in Hebrew whose
text is the page's Hebrew lines in order, its caret on the search hit); then, hearing the
events a screen reader hears, turns the page with Next and searches through the search panel,
and finally presses Close so the script host ends.
Usage: read_tree.py SECONDS (how long to wait for the application to appear)
"""

import sys
import time

import pyatspi
from gi.repository import GLib

BUTTONS = ["סגור", "הדפסה מיידית", "ראשון", "קודם", "הבא", "אחרון", "חיפוש", "המשך חיפוש"]
# The page number the report prints at the foot of the page comes last.
PAGE_TEXT = "דוח מכירות\nשורה ראשונה\nשורה שנייה\n-1-"
FOUND = "שנייה"
SEARCH_PROMPT = "הקלד את הטקסט לחיפוש (אותיות גדולות וקטנות נבדלות)"
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


def run_steps(steps, seconds=15):
    """Runs `steps` one after another in the event loop, hearing events meanwhile."""
    pending = iter(steps)

    def step():
        try:
            next(pending)()
            return True
        except StopIteration:
            pyatspi.Registry.stop()
            return False

    GLib.timeout_add(700, step)
    GLib.timeout_add_seconds(seconds, pyatspi.Registry.stop)  # never waits for ever
    pyatspi.Registry.start()


def hear_the_page_turn_and_a_search(app, canvas, buttons):
    """Next turns the page and a search finds a text on the first: what a screen reader hears."""
    heard = []

    def listen(event):
        if event.source is not None and event.source.getRole() == pyatspi.ROLE_DOCUMENT_FRAME:
            heard.append((event.type, event.detail1, event.source.name))

    # A screen reader listens to shown and hidden parts too; the bridge then sends them, and the
    # client's copy of the tree follows the panel that opens.
    kinds = ["object:property-change:accessible-name", "object:text-caret-moved",
             "object:text-selection-changed", "object:state-changed:showing",
             "object:children-changed"]
    pyatspi.Registry.registerEventListener(listen, *kinds)

    def search():
        field = [n for _, n in walk(app) if n.getRole() == pyatspi.ROLE_TEXT]
        check(len(field) == 1 and field[0].name == SEARCH_PROMPT,
              "the search field is named by its prompt")
        if field:
            field[0].queryEditableText().setTextContents(FOUND)
            press_named(app, "חפש")

    run_steps([lambda: buttons["הבא"].queryAction().doAction(0),
               lambda: buttons["חיפוש"].queryAction().doAction(0),
               search,
               lambda: None])
    pyatspi.Registry.deregisterEventListener(listen, *kinds)
    for event in heard:
        print("heard:", event)
    names = [name for kind, _, name in heard if kind.startswith("object:property-change")]
    check("עמוד 2 מתוך 2" in names, "Next announces the second page")
    check(names[-1:] == ["עמוד 1 מתוך 2"], "the search hit announces the first page again")
    hit = PAGE_TEXT.find(FOUND)
    carets = [offset for kind, offset, _ in heard if kind == "object:text-caret-moved"]
    check(carets[-1:] == [hit], "the search hit moves the caret to the match")
    check(any(kind == "object:text-selection-changed" for kind, _, _ in heard),
          "the search hit selects the match")
    check(canvas.queryText().caretOffset == hit, "the caret stays on the match")


def press_named(root, name):
    for _, node in walk(root):
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == name:
            node.queryAction().doAction(0)
            return
    check(False, "a push button named %r" % name)


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

        hear_the_page_turn_and_a_search(app, canvas, buttons)

    close = buttons.get("סגור")
    if close is not None:
        close.queryAction().doAction(0)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
