#include "PdfSurface.h"

#include "Colors.h"
#include "PdfOutputFile.h"
#include "core/Guarded.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfPaintDevice.h"
#include "pdf/PlainText.h"

#include <QFile>
#include <QPageSize>

#include <algorithm>

namespace palvex {

namespace {

bool taggedByDefault = true;

constexpr double MillimetresPerTwip = 25.4 / 1440.0;
constexpr double PointsPerTwip = 1.0 / 20;

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

PdfSurface::PdfSurface(const PrinterDevice& device, const QString& path,
                       const DocumentProperties& document)
    : DocumentSurface(device), m_file(std::make_unique<PdfOutputFile>(path)),
      m_properties(document), m_paperTwips(device.width, device.height),
      m_printableTwips(device.left, device.top, device.scaleWidth, device.scaleHeight),
      m_tagged(taggedByDefault) {
    setResolution(1200);
}

void PdfSurface::setTaggedForMeasuring(bool on) {
    taggedByDefault = on;
}

PdfSurface::~PdfSurface() {
    endPainter();
}

void PdfSurface::setPrintQuality(int quality) {
    if (quality >= 300 && quality <= 2400 && !m_document) setResolution(quality);
}

void PdfSurface::begin() {
    // The document is written beside the target, named when it begins; the page is the
    // report's, drawn from its printable area's corner.
    if (!m_file->create())
        refuse(Status::PrinterError,
               QStringLiteral("no file can be created beside \"%1\"").arg(m_file->target()));
    m_out = std::make_unique<QFile>(m_file->temporaryPath());
    if (!m_out->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString why = m_out->errorString();
        m_file->discard();
        refuse(Status::PrinterError, QStringLiteral("%1: %2").arg(m_file->target(), why));
    }
    const pdf::PdfPageGeometry geometry{paperInPoints(m_paperTwips),
                                        QRectF(m_printableTwips.topLeft() * PointsPerTwip,
                                               m_printableTwips.size() * PointsPerTwip)};
    m_document = std::make_unique<pdf::PdfDocument>(*m_out, geometry, int(resolution()),
                                                    m_properties, m_tagged);
    m_device = std::make_unique<pdf::PdfPaintDevice>(*m_document);
    forgetDeviceFonts();
    if (!painter().begin(m_device.get())) {
        m_file->discard();
        raise(Status::PrinterError);
    }
    painterBegun();
}

bool PdfSurface::startDevicePage() {
    return m_document->newPage();
}

void PdfSurface::closeFile() {
    closePages();
    endPainter();
    if (m_out) m_out->close();
}

void PdfSurface::EndDoc() {
    closePages();
    bool written = m_document && (!painter().isActive() || painter().end());
    written = written && m_document->finish();
    written = written && m_out->flush() && m_out->error() == QFileDevice::NoError;
    const QString why = m_out ? m_out->errorString() : QString();
    closeFile();
    if (!written) {
        m_file->discard();
        refuse(Status::PrinterError,
               QStringLiteral("%1 could not be written: %2").arg(m_file->target(), why));
    }
    if (!m_file->commit())
        refuse(Status::PrinterError,
               QStringLiteral("%1 could not be completed and put in place; the file that was "
                              "there is as it was")
                   .arg(m_file->target()));
}

void PdfSurface::abort() {
    closeFile();
    m_file->discard();
}

QFont PdfSurface::resolvedFont(const QFont& font) const {
    // Resolved for the device once rather than by the painter at every text.
    return m_device ? QFont(font, m_device.get()) : font;
}

void PdfSurface::beginItem(const ItemTag& tag, QStringView altText) {
    if (m_document && m_document->tagging()) m_document->tagging()->beginItem(tag, altText);
}

void PdfSurface::endItem() {
    if (m_document && m_document->tagging()) m_document->tagging()->endItem();
}

void PdfSurface::beforeGraphics() {
    beginPaint(); // a page that is due begins before what is drawn on it is tagged
    if (pdf::PdfTagging* tagging = m_document->tagging()) tagging->beforeGraphics();
}

void PdfSurface::drawLine(const QPointF& a, const QPointF& b, int32_t color) {
    beforeGraphics();
    PaintingSurface::drawLine(a, b, color);
}

void PdfSurface::drawBox(const QRectF& box, int32_t color) {
    beforeGraphics();
    PaintingSurface::drawBox(box, color);
}

void PdfSurface::drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) {
    beforeGraphics();
    PaintingSurface::drawEllipse(bounds, color, arc);
}

void PdfSurface::drawHighlight(const QRectF& area, int32_t color) {
    beforeGraphics();
    PaintingSurface::drawHighlight(area, color);
}

void PdfSurface::drawImage(const QImage& image, const QRectF& target) {
    beginPaint();
    if (pdf::PdfTagging* tagging = m_document->tagging()) {
        // The picture's box in points from the paper's bottom-left corner.
        const pdf::PdfPageGeometry& page = m_document->geometry();
        const double left = page.printable.left(), top = page.paper.height() - page.printable.top();
        tagging->beforeImage(QRectF(
            QPointF(left + target.left() * PointsPerTwip, top - target.bottom() * PointsPerTwip),
            QPointF(left + target.right() * PointsPerTwip, top - target.top() * PointsPerTwip)));
    }
    PaintingSurface::drawImage(image, target);
}

void PdfSurface::drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) {
    beginPaint(); // a page that is due begins before what is drawn on it is tagged
    if (pdf::PdfTagging* tagging = m_document->tagging()) tagging->beforeText(text);
    if (drawPlainText(text, leftTwips, topTwips)) return;
    PaintingSurface::drawText(text, leftTwips, topTwips, widthTwips);
    // The text is drawn whole: its pieces go into the page in the order of its characters.
    m_document->content().releaseHeld();
}

bool PdfSurface::drawPlainText(QStringView text, double leftTwips, double topTwips) {
    if (!m_plainText) return false;
    const FontSpec& spec = font();
    // Decorations and clipping are Qt's to draw.
    if (spec.underline || spec.strikethru) return false;
    const pdf::PlainDirection direction = pdf::plainDirectionOf(text);
    if (direction == pdf::PlainDirection::Mixed) return false;
    QPainter& painter = beginPaint();
    if (painter.hasClipping()) return false;
    return m_document->drawPlainText(painter.worldTransform(),
                                     QPointF(leftTwips, topTwips + TextMetrics::ascent(spec)),
                                     deviceFont(spec), toQColor(ForeColor()), text,
                                     direction == pdf::PlainDirection::RightToLeft);
}

} // namespace palvex
