#pragma once

#include "core/ItemRole.h"

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QStringView>

namespace palvex::pdf {

class ContentStream;
class PdfStructure;

// What each drawing on a page is: the items the surface is told of become elements of the
// structure (paragraphs, headings, tables, figures), and their drawing marked content of those
// elements; page furniture and decoration become artefacts. Drawing outside any item is an
// artefact, except that, until the first item is told of, each text is a paragraph of its own:
// a host whose report carries no items still gets a document that reads.
class PdfTagging {
public:
    PdfTagging(PdfStructure& structure, ContentStream& content, const QString& language);

    void beginItem(const ItemTag& tag, QStringView altText);
    void endItem();

    // Before each drawing: a text, with its characters in logical order; graphics; an image
    // drawn into `box` (points, y up).
    void beforeText(QStringView text);
    void beforeGraphics();
    void beforeImage(const QRectF& box);

    void beginPage(int pageId) { m_page = pageId; }
    // Closes what is open on the page; its /StructParents key, or -1 for none.
    int endPage();

private:
    enum class Kind { Text, Graphics, Image };
    void beforeDrawing(Kind kind, QStringView text);
    void drawOutsideItems(Kind kind, QStringView text);
    // Opens the elements the item belongs in.
    void placeItem(Kind kind);
    void continueOrOpen(const QByteArray& type);
    void placeCell();
    void openArtifact(const QByteArray& properties);
    // A marked sequence of the element drawing goes into, with a text's own properties.
    void openContent(const QByteArray& textProperties);
    void closeMark();
    QByteArray textProperties(QStringView text) const;

    PdfStructure& m_structure;
    ContentStream& m_content;
    bool m_englishDocument;
    int m_page = 0;

    enum class Mark { None, Artifact, Content };
    Mark m_mark = Mark::None;
    QByteArray m_artifact; // the open artefact's properties
    // The element (or cell) drawing goes into, counted as each is opened, and the one the open
    // sequence marks.
    unsigned m_target = 0, m_markTarget = 0;
    QByteArray m_tagName, m_properties; // the sequence's tag and properties, reused

    bool m_itemsTold = false; // an item was told of: drawing outside items is furniture
    bool m_inItem = false;
    bool m_placed = false; // the item's elements are open (it has drawn)
    bool m_boxed = false;  // the figure's box is set
    ItemTag m_tag;
    QString m_alt;
    QByteArray m_itemArtifact; // an artefact item's properties
    int m_column = -1;         // the item's table column, or -1

    // The element open under the Document, as far as a later item may continue it.
    ItemRole m_openRole = ItemRole::Unmarked;
    QByteArray m_openType;
    bool m_continuable = false;
};

} // namespace palvex::pdf
