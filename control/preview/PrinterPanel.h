#pragma once

#include "printing/PrintJob.h"

#include <QObject>

#include <memory>

namespace palvex {

class ControlMessages;
struct PreviewState;
class Dialogs;
class MessageBoxes;
class PreviewWindow;
class DocumentSurface;
class Printers;
class ReportStore;
class Screen;
class Surface;

// The printer panel: printer, copies, quality, print zoom and page range; OK runs the job.
// While it is open the chosen printer is the current drawing surface.
class PrinterPanel : public QObject {
    Q_OBJECT

public:
    // The report's page setup and drawing surface change while the panel is open; of the
    // preview it reads the messages and, on a print without the zoom, drops the zoom.
    PrinterPanel(ReportState& report, PreviewState& view, const ReportStore& store,
                 PreviewWindow& window, Printers& printers, Dialogs& dialogs, Screen& screen,
                 Surface& recordingSurface, ControlMessages& messages);
    ~PrinterPanel() override;

    void open(); // the toolbar's Print button
    void ShowPrinterPanel();
    void cboDevicePrinter_Click();
    void cboOTEK_LostFocus();
    void cmdPrintSetup_Click();
    void cmdCancel_Click();
    void cmdOK_Click();
    // The report to a file instead (PDF, Excel or CSV, as the file dialog chose): the panel
    // closes when it is written, and stays open with the reason when it is not.
    void cmdExport_Click();

    const PrintRequest& request() const { return m_request; }

signals:
    // A check failed or the printer did not answer.
    void beep();
    // The job went to the printer: the pages of the report it held (each copy counts once).
    void printed(int pages);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool filterEvent(QObject* watched, QEvent* event);

private:
    void printerProblem();
    void usePrinter(int index);

    ReportState& m_report;
    PreviewState& m_view;
    const ReportStore& m_store;
    PreviewWindow& m_window;
    Printers& m_printers;
    Dialogs& m_dialogs;
    Screen& m_screen;
    Surface& m_pic;
    ControlMessages& m_messages; // the copies checks, the printer problem
    PrintRequest m_request;
    std::unique_ptr<DocumentSurface> m_printer;
};

// The print quality of a quality list entry: -1 to -4, then 300 to 2100 in steps of 300.
int qualityOfEntry(int entry);

} // namespace palvex
