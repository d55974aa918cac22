#include "PdfTagging.h"

#include "ContentStream.h"
#include "PdfStructure.h"
#include "PdfSyntax.h"
#include "TextDirection.h"

namespace palvex::pdf {

namespace {

// The artefact an item is, or nothing for content. An item without a role is content when it
// draws text and decoration when it draws anything else.
QByteArray artifactOf(const ItemTag& tag, bool drawsText) {
    if (tag.repeatedHeader) return "<< /Type /Pagination >>";
    switch (tag.role) {
    case ItemRole::PageHeader:
        return "<< /Type /Pagination /Subtype /Header >>";
    case ItemRole::PageFooter:
        return "<< /Type /Pagination /Subtype /Footer >>";
    case ItemRole::PageNumber:
        return "<< /Type /Pagination >>";
    case ItemRole::Decoration:
        return "<< /Type /Layout >>";
    case ItemRole::Unmarked:
        return drawsText ? QByteArray() : QByteArray("<< /Type /Layout >>");
    default:
        return {};
    }
}

} // namespace

PdfTagging::PdfTagging(PdfStructure& structure, ContentStream& content, const QString& language)
    : m_structure(structure), m_content(content),
      m_englishDocument(language.startsWith(QLatin1String("en"), Qt::CaseInsensitive)) {
    m_content.setMarkEnglishPieces(!m_englishDocument);
}

void PdfTagging::beginItem(const ItemTag& tag, QStringView altText) {
    if (m_inItem) endItem();
    m_itemsTold = true;
    m_inItem = true;
    m_placed = false;
    m_boxed = false;
    m_tag = tag;
    m_alt = altText.toString();
    m_column = -1;
}

void PdfTagging::endItem() {
    if (!m_inItem) return;
    // The sequence stays open: the next drawing closes it, or goes on in it when it belongs to
    // the same element (the next text of a line, the next rule of a table).
    m_inItem = false;
    // A figure is one picture.
    if (m_placed && m_itemArtifact.isEmpty() && m_tag.role == ItemRole::Picture)
        m_structure.closeTo(1);
}

void PdfTagging::beforeText(QStringView text) {
    beforeDrawing(Kind::Text, text);
}

void PdfTagging::beforeGraphics() {
    beforeDrawing(Kind::Graphics, {});
}

void PdfTagging::beforeImage(const QRectF& box) {
    beforeDrawing(Kind::Image, {});
    if (!m_inItem || m_tag.role != ItemRole::Picture || !m_itemArtifact.isEmpty() || m_boxed)
        return;
    m_boxed = true;
    QByteArray entries(" /A << /O /Layout /Placement /Block /BBox [");
    for (double v : {box.left(), box.top(), box.right(), box.bottom()}) {
        appendNumber(entries, v, 2);
        entries.append(' ');
    }
    m_structure.addEntries(entries + "] >>");
}

void PdfTagging::beforeDrawing(Kind kind, QStringView text) {
    if (!m_inItem) return drawOutsideItems(kind, text);
    if (!m_placed) {
        m_placed = true;
        m_itemArtifact = artifactOf(m_tag, kind == Kind::Text);
        if (m_itemArtifact.isEmpty()) placeItem(kind);
    }
    if (!m_itemArtifact.isEmpty()) return openArtifact(m_itemArtifact);
    // Each text is a sequence of its own, so that a reader takes the texts of a line or the
    // lines of a paragraph as the separate runs they are; graphics join the sequence they
    // follow in the same element.
    const bool sameElement = m_mark == Mark::Content && m_markTarget == m_target;
    if (sameElement && kind != Kind::Text) return;
    const QByteArray properties = kind == Kind::Text ? textProperties(text) : QByteArray();
    openContent(properties);
}

void PdfTagging::drawOutsideItems(Kind kind, QStringView text) {
    if (kind == Kind::Text && !m_itemsTold) {
        m_structure.closeTo(1);
        m_structure.open("P");
        ++m_target;
        m_continuable = false;
        m_column = -1;
        openContent(textProperties(text));
        return;
    }
    openArtifact(kind == Kind::Text ? "<< /Type /Pagination >>" : "<< /Type /Layout >>");
}

void PdfTagging::placeItem(Kind) {
    switch (m_tag.role) {
    case ItemRole::Heading:
        continueOrOpen("H" + QByteArray::number(m_tag.headingLevel >= 1 ? m_tag.headingLevel : 1));
        break;
    case ItemRole::TableHeaderCell:
    case ItemRole::TableCell:
        placeCell();
        break;
    case ItemRole::Picture:
        m_structure.closeTo(1);
        m_structure.open("Figure");
        ++m_target;
        // An empty /Alt says the picture has no description; a checker asks for one instead.
        if (!m_alt.isEmpty()) m_structure.addEntries(" /Alt " + textString(m_alt));
        m_continuable = false;
        break;
    default: // body text, a paragraph's line, text without a role
        continueOrOpen("P");
    }
}

void PdfTagging::continueOrOpen(const QByteArray& type) {
    const ItemRole role = m_tag.role == ItemRole::Unmarked ? ItemRole::Body : m_tag.role;
    if (m_structure.depth() == 2 && m_continuable && m_openRole == role && m_openType == type &&
        !m_tag.startsElement)
        return;
    m_structure.closeTo(1);
    m_structure.open(type);
    ++m_target;
    m_openRole = role;
    m_openType = type;
    m_continuable = true;
}

void PdfTagging::placeCell() {
    const bool tableOpen = m_structure.depth() >= 2 && m_structure.typeAt(1) == "Table";
    if (m_tag.startsTable || !tableOpen) {
        m_structure.closeTo(1);
        m_structure.open("Table");
        m_continuable = false;
    }
    if (m_tag.startsRow || m_structure.depth() < 3) {
        m_structure.closeTo(2);
        m_structure.open("TR");
    }
    m_structure.closeTo(3);
    ++m_target;
    m_column = m_tag.column;
    const bool header = m_tag.role == ItemRole::TableHeaderCell;
    m_structure.openCell(header ? "TH" : "TD", m_column);
    if (header && m_structure.cellType(m_column) == "TH")
        m_structure.addCellEntries(m_column, " /A << /O /Table /Scope /Column >>");
}

void PdfTagging::openArtifact(const QByteArray& properties) {
    if (m_mark == Mark::Artifact && m_artifact == properties) return;
    closeMark();
    m_content.beginMarked("/Artifact", properties);
    m_mark = Mark::Artifact;
    m_artifact = properties;
}

void PdfTagging::openContent(const QByteArray& textProperties) {
    closeMark();
    const int mcid =
        m_column >= 0 ? m_structure.markCell(m_column, m_page) : m_structure.mark(m_page);
    const QByteArray& type = m_column >= 0 ? m_structure.cellType(m_column)
                                           : m_structure.typeAt(m_structure.depth() - 1);
    // One sequence a line or a cell: built in place, it costs a page no more than it must.
    m_tagName.resize(0);
    m_tagName.append('/').append(type);
    m_properties.resize(0);
    m_properties.append("<< /MCID ");
    appendInteger(m_properties, mcid);
    m_properties.append(textProperties).append(" >>");
    m_content.beginMarked(m_tagName, m_properties);
    m_mark = Mark::Content;
    m_markTarget = m_target;
}

QByteArray PdfTagging::textProperties(QStringView text) const {
    QByteArray properties;
    // Copied as typed, whatever order the glyphs were shown in.
    if (needsActualText(text)) properties += " /ActualText " + textString(text.toString());
    if (isPlainAscii(text)) return properties; // digits and punctuation: no language of its own
    // A Latin run in a document of another language is read in English.
    if (!mixesDirections(text) && !m_englishDocument && hasLatinLetters(text))
        properties += " /Lang (en)";
    return properties;
}

void PdfTagging::closeMark() {
    if (m_mark == Mark::None) return;
    m_content.endMarked();
    m_mark = Mark::None;
}

int PdfTagging::endPage() {
    closeMark();
    return m_structure.endPage();
}

} // namespace palvex::pdf
