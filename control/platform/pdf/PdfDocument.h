#pragma once

#include "ContentStream.h"
#include "PageCompressor.h"
#include "PdfResources.h"
#include "PdfStructure.h"
#include "PdfTagging.h"
#include "PdfWriter.h"
#include "PlainShaper.h"
#include "core/DocumentProperties.h"

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QStringView>

#include <optional>

class QIODevice;

namespace palvex::pdf {

// The paper and where drawing may go on it, in points.
struct PdfPageGeometry {
    QSizeF paper;     // the media box
    QRectF printable; // the painter's origin is its top-left corner
};

// One PDF document as it is written: the file, the shared resources, the structure, and the
// page being drawn, whose content is compressed on other threads while the next is drawn (only
// a few pages wait at any time, so memory stays flat in the number of pages).
class PdfDocument {
public:
    // `tagged`: the document keeps its structure (see PdfTagging); off only to measure what
    // that costs.
    PdfDocument(QIODevice& out, PdfPageGeometry geometry, int resolution,
                DocumentProperties properties, bool tagged = true);
    ~PdfDocument();

    const PdfPageGeometry& geometry() const { return m_geometry; }
    int resolution() const { return m_resolution; }
    bool ok() const { return m_writer.ok(); }
    PdfWriter& writer() { return m_writer; }
    PdfResources& resources() { return m_resources; }
    ContentStream& content() { return m_content; }
    // What each drawing is; null for a document without structure.
    PdfTagging* tagging() { return m_tagging ? &*m_tagging : nullptr; }

    // Ends the page being drawn and begins another; false when the document can no longer be
    // written.
    bool newPage();
    // Ends the last page and writes the rest of the document; false when any of it failed.
    bool finish();

    // A text of one direction (see PlainText.h) set at `origin` (the baseline's left end, in the
    // coordinates `world` maps to device pixels) with the primary font Qt chose for `font`,
    // shaped as Qt shapes it, without Qt's layout. False, drawing nothing, when the font lacks
    // a character, so the text needs Qt's font fallback.
    bool drawPlainText(const QTransform& world, const QPointF& origin, const QFont& font,
                       const QColor& color, QStringView text, bool rightToLeft);

private:
    void beginPage();
    void endPage();
    void writeFinishedPages(size_t keepWaiting);

    PdfPageGeometry m_geometry;
    int m_resolution;
    PdfWriter m_writer;
    PdfResources m_resources;
    PlainShaper m_shaper;
    ContentStream m_content;
    std::optional<PdfStructure> m_structure;
    std::optional<PdfTagging> m_tagging;
    int m_pageContents = 0, m_pageId = 0;
    PageCompressor m_compressor;
    bool m_finished = false;
};

} // namespace palvex::pdf
