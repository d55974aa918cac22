#!/usr/bin/env python3
"""A PyQt6 window with the Palvex preview in a tab: record a Hebrew trial balance, page through
it in place, export it as PDF.

    python3 examples/python/embedded_preview.py [--pages N] [--screenshot FILE]

Needs Debian's python3-pyqt6 (the same Qt as the library). --screenshot records the report,
saves a picture of the window and quits, for runs without a person.
"""

import argparse
import sys
import tempfile

from PyQt6.QtCore import Qt, QTimer
from PyQt6.QtGui import QAction
from PyQt6.QtWidgets import QApplication, QFileDialog, QMainWindow, QTabWidget, QTextEdit

from trial_balance import palvex, record  # the package, found as trial_balance finds it


class Window(QMainWindow):
    def __init__(self, pages):
        super().__init__()
        self.pages = pages
        self.folder = tempfile.TemporaryDirectory()
        self.setWindowTitle("מאזן בוחן - Palvex")
        self.report = palvex.Report()
        self.report.Embedded = True  # lay out inside the tab, follow its size
        self.report.MessagesToHost = True  # warnings to the status bar, not boxes
        self.report.UseHebrewTexts()
        self.report.WorkingFolder = self.folder.name
        self.report.on_event(self.on_report_event)
        tabs = QTabWidget()
        tabs.addTab(self.report.widget(), "דוח")
        tabs.addTab(QTextEdit("הערות"), "הערות")
        self.setCentralWidget(tabs)
        tools = self.addToolBar("פעולות")
        for text, slot in (("הפק דוח", self.record), ("שמור כ-PDF…", self.export)):
            action = QAction(text, self)
            action.triggered.connect(slot)
            tools.addAction(action)
        # The host's own parts read from the right; the control lays itself out.
        for part in (tools, tabs.tabBar(), self.statusBar()):
            part.setLayoutDirection(Qt.LayoutDirection.RightToLeft)
        room = self.screen().availableGeometry()  # an 800×600 screen gets a window that fits
        self.resize(min(1000, room.width()), min(700, room.height()))

    def on_report_event(self, event, number, text):
        if event == palvex.Event.PAGE_SHOWN:
            self.statusBar().showMessage(f"עמוד {number} מתוך {self.report.PageCount}")
        elif event == palvex.Event.MESSAGE:
            self.statusBar().showMessage(text.replace("\n", " "))

    def record(self):
        try:
            self.report.StartPalvexPrintPreview()
            record(self.report, self.pages)
            self.report.printLastPage()  # shows page 1, and the event names it
        except palvex.PalvexError as error:
            self.statusBar().showMessage(self.report.LastMessage or str(error))

    def export(self):
        path, _ = QFileDialog.getSaveFileName(self, "שמור כ-PDF", "trial-balance.pdf", "PDF (*.pdf)")
        if not path:
            return
        try:
            self.report.ExportPdf(path)
            self.statusBar().showMessage(path)
        except palvex.PalvexError as error:
            self.statusBar().showMessage(str(error))

    def closeEvent(self, event):
        self.report.close()
        super().closeEvent(event)


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--pages", type=int, default=3)
    arguments.add_argument("--screenshot", metavar="FILE")
    options = arguments.parse_args()
    application = QApplication(sys.argv)
    window = Window(options.pages)
    window.show()
    if options.screenshot:
        window.record()

        def shoot():
            ok = window.grab().save(options.screenshot)
            window.close()
            application.exit(0 if ok else 1)

        QTimer.singleShot(500, shoot)
    return application.exec()


if __name__ == "__main__":
    sys.exit(main())
