#pragma once

#include "DocumentSurface.h"

#include <QRectF>
#include <QSizeF>

#include <memory>

class QFile;

namespace palvex {

class PdfOutputFile;
namespace pdf {
class PdfDocument;
class PdfPaintDevice;
} // namespace pdf

// The PDF device: the report's page written as a PDF document by the device's own writer. The
// document is written beside the target and replaces it only once it is complete. Every
// document is tagged: the items the replay tells of (beginItem) become its structure, and what
// is drawn outside them an artefact (see pdf/PdfTagging.h).
class PdfSurface final : public DocumentSurface {
public:
    PdfSurface(const PrinterDevice& device, const QString& path,
               const DocumentProperties& document = {});
    ~PdfSurface() override;

    // 300 to 2400 dots per inch set the resolution the painter draws at, before begin().
    void setPrintQuality(int quality) override;
    // Throws palvex::Error (482), with the reason, when the file cannot be created.
    void begin() override;
    // Throws palvex::Error (482) when the document could not be written whole; the file that
    // was there is then as it was.
    void EndDoc() override;
    void abort() override;

    // Texts of one direction go to the document already shaped, without Qt's layout (on by
    // default; off, every text takes Qt's layout, as tests compare).
    void setPlainTextShaping(bool on) { m_plainText = on; }
    // Without structure, before begin(): only to measure what the structure costs.
    void setTagged(bool on) { m_tagged = on; }
    // The same for every PDF device made from then on: for benchmarks that print through the
    // control, whose devices they never see.
    static void setTaggedForMeasuring(bool on);

    void beginItem(const ItemTag& tag, QStringView altText) override;
    void endItem() override;

protected:
    bool startDevicePage() override;
    QFont resolvedFont(const QFont& font) const override;
    void drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) override;
    void drawLine(const QPointF& a, const QPointF& b, int32_t color) override;
    void drawBox(const QRectF& box, int32_t color) override;
    void drawEllipse(const QRectF& bounds, int32_t color, const Arc* arc) override;
    void drawImage(const QImage& image, const QRectF& target) override;
    void drawHighlight(const QRectF& area, int32_t color) override;

private:
    bool drawPlainText(QStringView text, double leftTwips, double topTwips);
    // The page is started and the tagging told of the graphics about to be drawn.
    void beforeGraphics();
    void closeFile();

    std::unique_ptr<PdfOutputFile> m_file;
    std::unique_ptr<QFile> m_out;
    std::unique_ptr<pdf::PdfDocument> m_document;
    std::unique_ptr<pdf::PdfPaintDevice> m_device;
    DocumentProperties m_properties;
    QSizeF m_paperTwips;
    QRectF m_printableTwips;
    bool m_plainText = true;
    bool m_tagged;
};

} // namespace palvex
