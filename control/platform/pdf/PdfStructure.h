#pragma once

#include "StructureKids.h"
#include <QByteArray>

#include <cstddef>
#include <vector>

namespace palvex::pdf {

class PdfWriter;

// The document's logical structure as it is drawn: a Document element holding elements that
// open and close in the order the drawing arrives, each owning the marked-content sequences
// drawn for it. An element is written as it closes (its object number was reserved as it
// opened, so its parent and the parent tree refer to it early), and each page's entry of the
// parent tree as the page ends: what stays in memory is the open elements and, for the whole
// document, one number per element of the Document and per page.
class PdfStructure {
public:
    explicit PdfStructure(PdfWriter& writer);

    // Opens an element of `type` ("P", "TD") inside the innermost open one.
    void open(const QByteArray& type);
    // Entries the innermost element's dictionary ends with ("/Alt (...)").
    void addEntries(const QByteArray& entries);
    // Closes elements until `depth` remain open (the Document is depth 1).
    void closeTo(size_t depth);
    size_t depth() const { return m_open.size(); }
    const QByteArray& typeAt(size_t level) const { return m_open[level].type; }

    // A cell of `type` for `column` in the innermost element (a table row), or the one already
    // open there: a row arrives line by line across its cells, so its cells stay open together
    // until the row closes.
    void openCell(const QByteArray& type, int column);
    const QByteArray& cellType(int column) const;
    void addCellEntries(int column, const QByteArray& entries);

    // A new marked-content sequence on the page being drawn, of the innermost element or of the
    // row's cell for `column`: its MCID.
    int mark(int pageId);
    int markCell(int column, int pageId);
    // The page ends: its parent-tree entry is written. The page's /StructParents key, or -1
    // when nothing on it belongs to an element.
    int endPage();
    // Closes every element and writes the Document, the parent tree and the structure tree
    // root; returns the root's object number.
    int finish();

private:
    using Kid = StructureKid;
    struct Element {
        int id;
        QByteArray type;
        QByteArray entries;
        StructureKids kids;
        std::vector<Element> cells; // a row's cells, open while it is
        int column = -1;            // a cell's column
        int columns = 0;            // a table's: as many as its widest row so far
        bool keepEmpty = false;     // a cell stays in its row even when nothing was drawn in it
    };
    Element* cellOf(int column);
    int markIn(Element& element, int pageId);
    // Writes the element, or leaves it out of its parent when nothing was drawn for it.
    void close(Element& element, Element& parent);
    // A row's cells in column order, an empty one for each column nothing was drawn in.
    void completeRow(Element& row, Element& table);
    void write(const Element& element, int parent);

    PdfWriter& m_writer;
    int m_root;
    std::vector<Element> m_open;   // the Document first
    std::vector<int> m_pageMarks;  // the element of each MCID on the page being drawn
    std::vector<int> m_parentTree; // key, array object, key, array object ...
    int m_nextKey = 0;
};

} // namespace palvex::pdf
