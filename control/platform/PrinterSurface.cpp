#include "PrinterSurface.h"

#include "CupsQueue.h"
#include "core/Guarded.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace palvex {

namespace {

constexpr double MillimetresPerTwip = 25.4 / 1440.0;

// The device's paper, turned as it is wider or taller, with its printable area as margins. The
// paper goes to Qt upright and the orientation separately, so a standard sheet keeps its name.
QPageLayout layoutOf(const PrinterDevice& device) {
    const QSizeF upright(std::min(device.width, device.height),
                         std::max(device.width, device.height));
    const QMarginsF margins(device.left, device.top, device.width - device.left - device.scaleWidth,
                            device.height - device.top - device.scaleHeight);
    return QPageLayout(QPageSize(upright * MillimetresPerTwip, QPageSize::Millimeter),
                       device.width > device.height ? QPageLayout::Landscape
                                                    : QPageLayout::Portrait,
                       margins * MillimetresPerTwip, QPageLayout::Millimeter);
}

} // namespace

PrinterSurface::PrinterSurface(const PrinterDevice& device)
    : DocumentSurface(device),
      m_printer(std::make_unique<QPrinter>(QPrinterInfo::printerInfo(device.deviceName),
                                           QPrinter::HighResolution)),
      m_queue(std::make_unique<CupsQueue>(device.deviceName)) {
    // A printer keeps its own page unless the report's was chosen. A printer that refuses the
    // page would print the report cut or shifted.
    if (device.pageChosen && !m_printer->setPageLayout(layoutOf(device)))
        raise(Status::PrinterError);
    m_printer->setCopyCount(1); // copies are printed by the job itself, page by page
    m_printer->setDocName(QStringLiteral("Palvex report"));
    setResolution(m_printer->resolution());
}

PrinterSurface::~PrinterSurface() {
    endPainter();
}

void PrinterSurface::setPrintQuality(int quality) {
    if (quality >= 300 && quality <= 2400) m_printer->setResolution(quality);
    setResolution(m_printer->resolution());
}

void PrinterSurface::setPaperHandling(int duplex, int paperSource) {
    if (duplex >= 0) m_printer->setDuplex(QPrinter::DuplexMode(duplex));
    if (paperSource >= 0) m_printer->setPaperSource(QPrinter::PaperSource(paperSource));
}

void PrinterSurface::begin() {
    if (!m_queue->takesJobs() || !m_queue->noteJobsBefore())
        refuse(Status::PrinterError, QStringLiteral("the printer's queue takes no jobs"));
    if (!painter().begin(m_printer.get())) raise(Status::PrinterError);
    setResolution(m_printer->resolution());
    painterBegun();
}

bool PrinterSurface::startDevicePage() {
    return m_printer->newPage();
}

void PrinterSurface::EndDoc() {
    closePages();
    if (painter().isActive() && !painter().end()) raise(Status::PrinterError);
    // Qt hands the document to the scheduler as the painter ends; the job must be there now.
    if (!m_queue->jobArrived())
        refuse(Status::PrinterError,
               QStringLiteral("the print job did not reach the printer's queue"));
}

void PrinterSurface::abort() {
    closePages();
    m_printer->abort();
    endPainter();
}

} // namespace palvex
