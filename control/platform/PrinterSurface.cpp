#include "PrinterSurface.h"

#include "CupsQueue.h"
#include "PdfOutputFile.h"
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

PrinterSurface::PrinterSurface(const PrinterDevice& device, const QString& pdfPath) {
    if (device.isPdf) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        // The engine writes a file beside the target, named when the document begins.
        m_pdf = std::make_unique<PdfOutputFile>(pdfPath);
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(device.deviceName),
                                               QPrinter::HighResolution);
        m_queue = std::make_unique<CupsQueue>(device.deviceName);
    }
    // The PDF device has no page of its own; a printer keeps its own unless the report's was
    // chosen. A printer that refuses the page would print the report cut or shifted.
    if ((device.isPdf || device.pageChosen) && !m_printer->setPageLayout(layoutOf(device)))
        raise(Status::PrinterError);
    m_printer->setCopyCount(1); // copies are printed by the job itself, page by page
    m_printer->setDocName(QStringLiteral("Palvex report"));
    m_resolution = m_printer->resolution();
    m_printableWidth = device.scaleWidth;
    m_printableHeight = device.scaleHeight;
    setScaleModeTwips();
    setWidth(device.width);
    setHeight(device.height);
    setScaleWidth(device.scaleWidth);
    setScaleHeight(device.scaleHeight);
    restoreFont(FontSpec{});
}

PrinterSurface::~PrinterSurface() {
    if (m_painter.isActive()) m_painter.end();
}

void PrinterSurface::setPrintQuality(int quality) {
    if (quality >= 300 && quality <= 2400) m_printer->setResolution(quality);
    m_resolution = m_printer->resolution();
}

void PrinterSurface::setPaperHandling(int duplex, int paperSource) {
    if (duplex >= 0) m_printer->setDuplex(QPrinter::DuplexMode(duplex));
    if (paperSource >= 0) m_printer->setPaperSource(QPrinter::PaperSource(paperSource));
}

void PrinterSurface::begin() {
    if (m_pdf) {
        if (!m_pdf->create()) raise(Status::PrinterError);
        m_printer->setOutputFileName(m_pdf->temporaryPath());
    }
    if (m_queue && (!m_queue->takesJobs() || !m_queue->noteJobsBefore()))
        raise(Status::PrinterError);
    if (!m_painter.begin(m_printer.get())) {
        if (m_pdf) m_pdf->discard();
        raise(Status::PrinterError);
    }
    m_resolution = m_printer->resolution();
    // The painter's unit is one twip from the printable area's corner.
    const double scale = m_resolution / 1440.0;
    m_painter.scale(scale, scale);
    m_pages = 1;
}

void PrinterSurface::startPageIfDue() {
    if (!m_pageDue) return;
    m_pageDue = false;
    if (!m_printer->newPage()) raise(Status::PrinterError);
    ++m_pages;
}

void PrinterSurface::NewPage() {
    m_pageDue = true;
    setCurrentX(0);
    setCurrentY(0);
}

void PrinterSurface::EndDoc() {
    m_pageDue = false;
    if (m_painter.isActive() && !m_painter.end()) {
        if (m_pdf) m_pdf->discard();
        raise(Status::PrinterError);
    }
    if (m_pdf && !m_pdf->commit()) raise(Status::PrinterError);
    // Qt hands the document to the scheduler as the painter ends; the job must be there now.
    if (m_queue && !m_queue->jobArrived()) raise(Status::PrinterError);
}

void PrinterSurface::abort() {
    m_pageDue = false;
    m_printer->abort();
    if (m_painter.isActive()) m_painter.end();
    if (m_pdf) m_pdf->discard();
}

QPainter& PrinterSurface::beginPaint() {
    if (!m_painter.isActive()) raise(Status::PrinterError);
    startPageIfDue();
    return m_painter;
}

QFont PrinterSurface::deviceFont(const FontSpec& spec) const {
    // Sized so that, through the painter's twip scale, the glyphs have their size in twips.
    QFont font = TextMetrics::cachedFont(spec);
    font.setPointSizeF(spec.size * 1440.0 / m_resolution);
    return font;
}

} // namespace palvex
