#include "PrinterPanel.h"

#include "texts/ControlMessages.h"

#include "core/Guarded.h"
#include "core/NumberText.h"
#include "platform/Dialogs.h"
#include "platform/DocumentSurface.h"
#include "platform/Printers.h"
#include "platform/Screen.h"
#include "preview/PageCanvas.h"
#include "preview/PageNumberList.h"
#include "preview/PreviewState.h"
#include "preview/PreviewWindow.h"
#include "printing/PdfExport.h"
#include "printing/SpreadsheetExport.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"
#include <palvex/Enumerations.h>

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace palvex {

int qualityOfEntry(int entry) {
    return entry < 4 ? -(entry + 1) : (entry - 3) * 300;
}

PrinterPanel::PrinterPanel(ReportState& report, PreviewState& view, const ReportStore& store,
                           PreviewWindow& window, Printers& printers, Dialogs& dialogs,
                           Screen& screen, Surface& recordingSurface, ControlMessages& messages)
    : QObject(window.control), m_report(report), m_view(view), m_store(store), m_window(window),
      m_printers(printers), m_dialogs(dialogs), m_screen(screen), m_pic(recordingSurface),
      m_messages(messages) {
    connect(m_window.cboDevicePrinter, &QComboBox::activated, this,
            m_window.guard.handler([this] { cboDevicePrinter_Click(); }));
    connect(m_window.cboZoomPrinting, &QComboBox::activated, this,
            [this](int index) { m_request.applyZoom = index == 1; });
    connect(m_window.cboBeginPage, &QComboBox::activated, this,
            [this] { m_request.fromPage = m_window.cboBeginPage->currentText().toInt(); });
    connect(m_window.cboEndPage, &QComboBox::activated, this,
            [this] { m_request.toPage = m_window.cboEndPage->currentText().toInt(); });
    connect(m_window.cmdPrintSetup, &QPushButton::clicked, this,
            m_window.guard.handler([this] { cmdPrintSetup_Click(); }));
    connect(m_window.cmdCancel, &QPushButton::clicked, this,
            m_window.guard.handler([this] { cmdCancel_Click(); }));
    connect(m_window.cmdOK, &QPushButton::clicked, this,
            m_window.guard.handler([this] { cmdOK_Click(); }));
    connect(m_window.cmdExport, &QPushButton::clicked, this,
            m_window.guard.handler([this] { cmdExport_Click(); }));
    m_window.cboOTEK->installEventFilter(this);
}

PrinterPanel::~PrinterPanel() = default;

bool PrinterPanel::eventFilter(QObject* watched, QEvent* event) {
    bool filtered = false;
    m_window.guard.run([&] { filtered = filterEvent(watched, event); });
    return filtered;
}

bool PrinterPanel::filterEvent(QObject* watched, QEvent* event) {
    if (watched == m_window.cboOTEK && event->type() == QEvent::FocusOut) cboOTEK_LostFocus();
    return QObject::eventFilter(watched, event);
}

void PrinterPanel::printerProblem() {
    emit beep();
    m_messages.show(
        K3_Printer_problem_Please_check_if_a_printer_is_connected_etc,
        m_view.previewMessages[K3_Printer_problem_Please_check_if_a_printer_is_connected_etc]);
    m_window.fraPrinter->hide();
}

void PrinterPanel::open() {
    m_request.applyZoom = false;
    m_window.cboZoomPrinting->setCurrentIndex(0);
    const QRectF f = PreviewWindow::placeOf(m_window.fraPrinter);
    PreviewWindow::place(
        m_window.fraPrinter,
        QRectF((float(m_window.areaTwips().width()) - f.width()) / 2, 400, f.width(), f.height()));
    m_window.fraPrinter->show();
    m_window.fraPrinter->raise();
    ShowPrinterPanel();
}

void PrinterPanel::usePrinter(int index) {
    const QList<PrinterDevice> printers = m_printers.installed();
    if (index < 0 || index >= printers.size()) raise(Status::PrinterError);
    const PrinterDevice& device = printers.at(index);
    m_printers.setCurrent(device.deviceName);
    m_request.monochrome = device.colorMode != 2;
    m_printer =
        DocumentSurface::open(m_report.pageSetup.jobDevice(device), m_printers.pdfOutputPath());
    m_report.lines.drawOn(*m_printer);
}

void PrinterPanel::ShowPrinterPanel() {
    try {
        const PrinterDevice current = m_printers.current();
        PreviewWindow::place(m_window.fraPrinter,
                             QRectF((float(m_window.areaTwips().width()) - 6675) / 2,
                                    (float(m_window.areaTwips().height()) - 3840) / 2, 6675, 3840));
        m_window.fraPrinter->show();
        m_window.printPages->show(QString(), m_report.firstPageNumber, m_report.lastPageIndex + 1);
        m_window.cboBeginPage->setCurrentIndex(0);
        m_window.cboEndPage->setCurrentIndex(m_window.cboEndPage->count() - 1);
        m_request.fromPage = m_window.cboBeginPage->currentText().toInt();
        m_request.toPage = m_window.cboEndPage->currentText().toInt();

        m_window.cboDevicePrinter->clear();
        int selected = 0, counter = 0;
        for (const PrinterDevice& p : m_printers.installed()) {
            m_window.cboDevicePrinter->addItem(p.deviceName);
            if (p.deviceName == current.deviceName) selected = counter;
            ++counter;
        }
        m_window.cboDevicePrinter->setCurrentIndex(selected);
        usePrinter(selected);

        m_window.cboOTEK->clear();
        for (int copies = 1; copies <= 21; ++copies)
            m_window.cboOTEK->addItem(QString::number(copies));
        m_window.cboOTEK->setCurrentIndex(0);
        m_window.cboQuality->setCurrentIndex(0);
        m_window.cboZoomPrinting->setCurrentIndex(0);
        m_request.applyZoom = false;
    } catch (const Error&) {
        printerProblem();
    }
}

void PrinterPanel::cboDevicePrinter_Click() {
    const QString name = m_window.cboDevicePrinter->currentText();
    const QList<PrinterDevice> printers = m_printers.installed();
    for (int i = 0; i < printers.size(); ++i)
        if (printers.at(i).deviceName == name) return usePrinter(i);
}

void PrinterPanel::cboOTEK_LostFocus() {
    QComboBox* copies = m_window.cboOTEK;
    auto number = [&] { return parseLeadingNumber(copies->currentText()); };
    // Below 1, or beyond what a 16-bit count holds, is not a number of copies.
    const LeadingNumber n = number();
    if (n.overflow || n.value < 1 || n.value > std::numeric_limits<int16_t>::max()) {
        emit beep();
        m_messages.show(K0_Please_write_number_of_copies_1_or_higher,
                        m_view.previewMessages[K0_Please_write_number_of_copies_1_or_higher]);
        copies->setEditText(QStringLiteral("1"));
    }
    if (number().value > 99) {
        emit beep();
        const int answer = m_messages.show(K1_Is_the_number_of_copies_OK,
                                           m_view.previewMessages[K1_Is_the_number_of_copies_OK]);
        if (answer == 7) copies->setEditText(QStringLiteral("1"));
    }
}

void PrinterPanel::cmdPrintSetup_Click() {
    const std::optional<PrinterSetupChoice> chosen =
        m_dialogs.printerSetup(m_window.cboDevicePrinter->currentText(),
                               m_report.pageSetup.setupChoice(), m_window.control);
    if (chosen) m_report.pageSetup.takeSetup(*chosen);
}

void PrinterPanel::cmdCancel_Click() {
    m_window.fraPrinter->hide();
    m_window.p1->setFocus();
}

void PrinterPanel::cmdOK_Click() {
    if (!m_printer) return;
    QPushButton* cancel = m_window.cmdCancelPrinting;
    const QRectF b = PreviewWindow::placeOf(cancel);
    PreviewWindow::place(cancel,
                         QRectF(PreviewWindow::placeOf(m_window.control).width() - b.width(), 0,
                                b.width(), b.height()));
    cancel->show();
    cancel->raise();
    m_request.quality = qualityOfEntry(std::max(0, m_window.cboQuality->currentIndex()));
    const LeadingNumber copies = parseLeadingNumber(m_window.cboOTEK->currentText());
    m_request.copies = int32_t(std::clamp(copies.value, 1.0, 32767.0));
    m_request.duplex = m_report.pageSetup.duplex();
    m_request.paperSource = m_report.pageSetup.paperSource();
    m_screen.setWaitCursor(true);
    bool failed = false;
    try {
        // A print at 100 % leaves the preview at 100 %, with the page lines of a page at 100 %.
        if (!m_request.applyZoom && m_request.holdsPages()) {
            m_view.dropZoom();
            m_report.lines.unzoom();
        }
        PrintJob(m_report, m_view.printZoom(), m_store).run(*m_printer, m_request);
    } catch (const Error&) {
        failed = true;
    }
    // Whatever happened, nothing stays half-done on screen.
    cancel->hide();
    m_screen.setWaitCursor(false);
    m_window.fraPrinter->hide();
    m_report.lines.drawOn(m_pic);
    m_printer.reset();
    if (failed) return printerProblem();
    // A range that ends before it begins sent nothing.
    const int32_t pages = m_request.toPage - m_request.fromPage + 1;
    if (pages > 0) emit printed(pages);
}

void PrinterPanel::cmdExport_Click() {
    const QString title = m_report.document.title.trimmed();
    const QString suggested = title.isEmpty() || title.contains(QLatin1Char('/'))
                                  ? QStringLiteral("report.pdf")
                                  : title + QStringLiteral(".pdf");
    const std::optional<ExportTarget> target = m_dialogs.exportTarget(suggested, m_window.control);
    if (!target) return;
    m_screen.setWaitCursor(true);
    QString problem;
    try {
        switch (target->kind) {
        case ExportKind::Pdf:
            PdfExport(m_report, m_view.printZoom(), m_store)
                .run(target->path, std::nullopt, std::nullopt);
            break;
        case ExportKind::Xlsx:
            exportSpreadsheet(m_store, target->path, SpreadsheetFormat::Xlsx);
            break;
        case ExportKind::Csv:
            exportSpreadsheet(m_store, target->path, SpreadsheetFormat::Csv);
            break;
        }
    } catch (const Refusal& refusal) {
        problem = refusal.reason;
    } catch (const Error& error) {
        problem = QString::fromUtf8(describe(error.status));
    }
    m_screen.setWaitCursor(false);
    if (!problem.isEmpty()) {
        emit beep();
        m_messages.problem(m_view.exportFailedCaption + QLatin1Char('\n') + problem);
        return;
    }
    m_window.fraPrinter->hide();
    m_window.p1->setFocus();
}

} // namespace palvex
