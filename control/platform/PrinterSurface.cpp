#include "PrinterSurface.h"

#include "Colors.h"
#include "CupsQueue.h"
#include "PdfOutputFile.h"
#include "core/Guarded.h"
#include "pdf/PdfPaintDevice.h"
#include "pdf/PlainText.h"

#include <QFile>

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

// The paper in points as Qt names and sizes it: a standard sheet keeps the whole-point size
// readers know it by (A4 595 × 842), turned as the report is.
QSizeF paperInPoints(const QSizeF& twips) {
    const QSizeF upright(std::min(twips.width(), twips.height()),
                         std::max(twips.width(), twips.height()));
    const QSizeF points =
        QPageSize(upright * MillimetresPerTwip, QPageSize::Millimeter).sizePoints();
    return twips.width() > twips.height() ? points.transposed() : points;
}

} // namespace

PrinterSurface::PrinterSurface(const PrinterDevice& device, const QString& pdfPath,
                               const DocumentProperties& document)
    : m_document(document) {
    if (device.isPdf) {
        // The document is written beside the target, named when it begins; the page is the
        // report's, drawn from its printable area's corner.
        m_pdf = std::make_unique<PdfOutputFile>(pdfPath);
        m_paperTwips = QSizeF(device.width, device.height);
        m_printableTwips = QRectF(device.left, device.top, device.scaleWidth, device.scaleHeight);
        m_resolution = 1200;
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(device.deviceName),
                                               QPrinter::HighResolution);
        m_queue = std::make_unique<CupsQueue>(device.deviceName);
        // A printer keeps its own page unless the report's was chosen. A printer that refuses
        // the page would print the report cut or shifted.
        if (device.pageChosen && !m_printer->setPageLayout(layoutOf(device)))
            raise(Status::PrinterError);
        m_printer->setCopyCount(1); // copies are printed by the job itself, page by page
        m_printer->setDocName(QStringLiteral("Palvex report"));
        m_resolution = m_printer->resolution();
    }
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
    m_deviceFonts.clear(); // sized for the old resolution
    if (!m_printer) {
        if (quality >= 300 && quality <= 2400) m_resolution = quality;
        return;
    }
    if (quality >= 300 && quality <= 2400) m_printer->setResolution(quality);
    m_resolution = m_printer->resolution();
}

void PrinterSurface::setPaperHandling(int duplex, int paperSource) {
    if (!m_printer) return; // a file has no trays and no sides
    if (duplex >= 0) m_printer->setDuplex(QPrinter::DuplexMode(duplex));
    if (paperSource >= 0) m_printer->setPaperSource(QPrinter::PaperSource(paperSource));
}

void PrinterSurface::beginPdf() {
    if (!m_pdf->create())
        refuse(Status::PrinterError,
               QStringLiteral("no file can be created beside \"%1\"").arg(m_pdf->target()));
    m_pdfFile = std::make_unique<QFile>(m_pdf->temporaryPath());
    if (!m_pdfFile->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString why = m_pdfFile->errorString();
        m_pdf->discard();
        refuse(Status::PrinterError, QStringLiteral("%1: %2").arg(m_pdf->target(), why));
    }
    constexpr double PointsPerTwip = 1.0 / 20;
    const pdf::PdfPageGeometry geometry{paperInPoints(m_paperTwips),
                                        QRectF(m_printableTwips.topLeft() * PointsPerTwip,
                                               m_printableTwips.size() * PointsPerTwip)};
    m_pdfDevice =
        std::make_unique<pdf::PdfPaintDevice>(*m_pdfFile, geometry, int(m_resolution), m_document);
    m_deviceFonts.clear();
}

void PrinterSurface::begin() {
    if (m_pdf) beginPdf();
    if (m_queue && (!m_queue->takesJobs() || !m_queue->noteJobsBefore()))
        refuse(Status::PrinterError, QStringLiteral("the printer's queue takes no jobs"));
    QPaintDevice* device = m_pdfDevice ? static_cast<QPaintDevice*>(m_pdfDevice.get())
                                       : static_cast<QPaintDevice*>(m_printer.get());
    if (!m_painter.begin(device)) {
        if (m_pdf) m_pdf->discard();
        raise(Status::PrinterError);
    }
    if (m_printer) m_resolution = m_printer->resolution();
    // The painter's unit is one twip from the printable area's corner.
    const double scale = m_resolution / 1440.0;
    m_painter.scale(scale, scale);
    m_pages = 1;
}

void PrinterSurface::startPageIfDue() {
    if (!m_pageDue) return;
    m_pageDue = false;
    const bool started = m_pdfDevice ? m_pdfDevice->newPage() : m_printer->newPage();
    if (!started) raise(Status::PrinterError);
    ++m_pages;
}

void PrinterSurface::NewPage() {
    m_pageDue = true;
    setCurrentX(0);
    setCurrentY(0);
}

void PrinterSurface::EndDoc() {
    m_pageDue = false;
    bool written = !m_painter.isActive() || m_painter.end();
    if (m_pdfFile) {
        written = written && m_pdfFile->flush() && m_pdfFile->error() == QFileDevice::NoError;
        m_pdfFile->close();
    }
    if (!written) {
        const QString why = m_pdfFile ? m_pdfFile->errorString() : QString();
        if (m_pdf) m_pdf->discard();
        if (m_pdf)
            refuse(Status::PrinterError,
                   QStringLiteral("%1 could not be written: %2").arg(m_pdf->target(), why));
        raise(Status::PrinterError);
    }
    if (m_pdf && !m_pdf->commit())
        refuse(Status::PrinterError,
               QStringLiteral("%1 could not be completed and put in place; the file that was "
                              "there is as it was")
                   .arg(m_pdf->target()));
    // Qt hands the document to the scheduler as the painter ends; the job must be there now.
    if (m_queue && !m_queue->jobArrived())
        refuse(Status::PrinterError,
               QStringLiteral("the print job did not reach the printer's queue"));
}

void PrinterSurface::abort() {
    m_pageDue = false;
    if (m_printer) m_printer->abort();
    if (m_painter.isActive()) m_painter.end();
    if (m_pdfFile) m_pdfFile->close();
    if (m_pdf) m_pdf->discard();
}

QPainter& PrinterSurface::beginPaint() {
    if (!m_painter.isActive()) raise(Status::PrinterError);
    startPageIfDue();
    return m_painter;
}

void PrinterSurface::drawText(QStringView text, double leftTwips, double topTwips,
                              double widthTwips) {
    if (m_pdfDevice && drawPlainText(text, leftTwips, topTwips)) return;
    PaintingSurface::drawText(text, leftTwips, topTwips, widthTwips);
    if (m_pdfDevice) m_pdfDevice->textEnded();
}

bool PrinterSurface::drawPlainText(QStringView text, double leftTwips, double topTwips) {
    if (!m_plainText) return false;
    const FontSpec& spec = font();
    // Decorations and clipping are Qt's to draw.
    if (spec.underline || spec.strikethru) return false;
    const pdf::PlainDirection direction = pdf::plainDirectionOf(text);
    if (direction == pdf::PlainDirection::Mixed) return false;
    QPainter& painter = beginPaint();
    if (painter.hasClipping()) return false;
    return m_pdfDevice->drawPlainText(painter.worldTransform(),
                                      QPointF(leftTwips, topTwips + TextMetrics::ascent(spec)),
                                      deviceFont(spec), toQColor(ForeColor()), text,
                                      direction == pdf::PlainDirection::RightToLeft);
}

QFont PrinterSurface::deviceFont(const FontSpec& spec) const {
    // A report uses a handful of fonts; keeping each QFont keeps the engines Qt found for it,
    // which it would otherwise look up again, substitutes and all, for every text.
    for (const auto& [kept, font] : m_deviceFonts)
        if (kept == spec) return font;
    // Sized so that, through the painter's twip scale, the glyphs have their size in twips;
    // on the PDF device, resolved for it once rather than by the painter at every text.
    QFont font = TextMetrics::cachedFont(spec);
    font.setPointSizeF(spec.size * 1440.0 / m_resolution);
    if (m_pdfDevice) font = QFont(font, m_pdfDevice.get());
    if (m_deviceFonts.size() >= 32) m_deviceFonts.erase(m_deviceFonts.begin());
    m_deviceFonts.emplace_back(spec, font);
    return font;
}

} // namespace palvex
