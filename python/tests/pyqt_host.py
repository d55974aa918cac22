"""A PyQt6 application that embeds a control in a tab of its own window (run by test_hosts)."""

import sys
import tempfile

from PyQt6 import sip
from PyQt6.QtCore import QRect
from PyQt6.QtWidgets import QApplication, QMainWindow, QTabWidget

import palvex

application = QApplication(sys.argv)  # PyQt6's application, which the control then uses
window = QMainWindow()
tabs = QTabWidget()
window.setCentralWidget(tabs)
window.resize(900, 650)

report = palvex.Report()
report.Embedded = True
report.WorkingFolder = tempfile.mkdtemp()
widget = report.widget()
tabs.addTab(widget, "דוח")
window.show()

report.StartPalvexPrintPreview()
report.FontName = "David CLM"
report.printText("שלום", palvex.A2_JumpToNextLine)
report.printLastPage()
application.processEvents()

assert widget.window() is window, "the control is not inside the host's window"
assert widget.isVisible(), "the embedded preview is not shown"
page = tabs.currentWidget()
inside = QRect(page.mapTo(window, page.rect().topLeft()), page.size())
shown = QRect(widget.mapTo(window, widget.rect().topLeft()), widget.size())
assert inside.contains(shown), f"the control {shown} leaves its tab {inside}"
assert report.PageCount == 1

# The host's window takes the control with it; the Python object then refuses calls.
sip.delete(window)
try:
    report.FontName = "David CLM"
except palvex.PalvexError as error:
    assert error.status == 5
else:
    raise AssertionError("a control destroyed with its host's window still took a call")
report.close()

# A report still open when the program ends, after its PyQt application, must not crash it.
late = palvex.Report()
late.Embedded = True
holder = QMainWindow()
holder.setCentralWidget(late.widget())
alone = palvex.Report()
alone.WorkingFolder = tempfile.mkdtemp()
alone.StartPalvexPrintPreview()

# Calls after the application is gone are refused, not a crash in Qt.
sip.delete(application)
try:
    late.TextWidth("abc")
except palvex.PalvexError as error:
    assert error.status == 5
else:
    raise AssertionError("a call without the application was made")
print("ok")
