#include "PdfStructure.h"

#include "PdfSyntax.h"
#include "PdfWriter.h"

#include <algorithm>

namespace palvex::pdf {

namespace {

void appendReference(QByteArray& out, int id) {
    appendInteger(out, id);
    out.append(" 0 R");
}

} // namespace

PdfStructure::PdfStructure(PdfWriter& writer) : m_writer(writer), m_root(writer.reserve()) {
    m_open.push_back({m_writer.reserve(), "Document", {}, {}, {}, -1});
}

void PdfStructure::open(const QByteArray& type) {
    const int id = m_writer.reserve();
    m_open.back().kids.push_back({-1, id});
    m_open.push_back({id, type, {}, {}, {}, -1});
}

void PdfStructure::addEntries(const QByteArray& entries) {
    m_open.back().entries += entries;
}

void PdfStructure::closeTo(size_t depth) {
    if (depth < 1) depth = 1;
    while (m_open.size() > depth) {
        Element element = std::move(m_open.back());
        m_open.pop_back();
        close(element, m_open.back());
    }
}

void PdfStructure::completeRow(Element& row, Element& table) {
    // A reader counts cells to know which header a cell is under: an empty cell must be there.
    int width = table.columns;
    for (const Element& cell : row.cells)
        width = std::max(width, cell.column + 1);
    table.columns = width;
    const Element& first = row.cells.front();
    const QByteArray type = first.type, entries = first.entries;
    for (int column = 0; column < width; ++column) {
        const bool drawn = std::any_of(row.cells.begin(), row.cells.end(),
                                       [&](const Element& c) { return c.column == column; });
        if (!drawn) row.cells.push_back({m_writer.reserve(), type, entries, {}, {}, column});
    }
    std::sort(row.cells.begin(), row.cells.end(),
              [](const Element& a, const Element& b) { return a.column < b.column; });
    StructureKids kids;
    row.kids.forEach([&](Kid kid) {
        if (kid.page >= 0) kids.push_back(kid); // marked straight into the row
    });
    for (Element& cell : row.cells) {
        cell.keepEmpty = true;
        kids.push_back({-1, cell.id});
    }
    row.kids = std::move(kids);
}

void PdfStructure::close(Element& element, Element& parent) {
    if (!element.cells.empty()) completeRow(element, parent);
    for (Element& cell : element.cells)
        close(cell, element);
    element.cells.clear();
    // An element nothing was drawn for is left out; its number stays unused.
    if (!element.kids.empty() || element.keepEmpty) {
        write(element, parent.id);
        return;
    }
    // It was its parent's last kid: nothing is added to a parent while a kid of it is open.
    if (!parent.kids.empty() && parent.kids.back().page < 0 &&
        parent.kids.back().value == element.id)
        parent.kids.pop_back();
}

PdfStructure::Element* PdfStructure::cellOf(int column) {
    for (Element& cell : m_open.back().cells)
        if (cell.column == column) return &cell;
    return nullptr;
}

void PdfStructure::openCell(const QByteArray& type, int column) {
    if (cellOf(column)) return;
    Element& row = m_open.back();
    const int id = m_writer.reserve();
    row.kids.push_back({-1, id});
    row.cells.push_back({id, type, {}, {}, {}, column});
}

const QByteArray& PdfStructure::cellType(int column) const {
    for (const Element& cell : m_open.back().cells)
        if (cell.column == column) return cell.type;
    return m_open.back().type;
}

void PdfStructure::addCellEntries(int column, const QByteArray& entries) {
    if (Element* cell = cellOf(column)) cell->entries += entries;
}

int PdfStructure::markIn(Element& element, int pageId) {
    const int mcid = int(m_pageMarks.size());
    m_pageMarks.push_back(element.id);
    element.kids.push_back({pageId, mcid});
    return mcid;
}

int PdfStructure::mark(int pageId) {
    return markIn(m_open.back(), pageId);
}

int PdfStructure::markCell(int column, int pageId) {
    Element* cell = cellOf(column);
    return cell ? markIn(*cell, pageId) : mark(pageId);
}

int PdfStructure::endPage() {
    if (m_pageMarks.empty()) return -1;
    QByteArray parents("[");
    parents.reserve(qsizetype(m_pageMarks.size()) * 9 + 2);
    for (int element : m_pageMarks) {
        appendReference(parents, element);
        parents.append(' ');
    }
    parents.append(']');
    const int id = m_writer.reserve();
    m_writer.object(id, std::move(parents));
    m_pageMarks.clear();
    const int key = m_nextKey++;
    m_parentTree.push_back(key);
    m_parentTree.push_back(id);
    return key;
}

void PdfStructure::write(const Element& element, int parent) {
    // An element of many kids (the Document of a long report, a long table) goes to the file as
    // it is written, a piece at a time, rather than whole into an object stream.
    constexpr size_t LargeKids = 4096;
    constexpr qsizetype PieceBytes = 64 * 1024;
    const bool large = element.kids.size() > LargeKids;
    if (large) m_writer.beginLargeObject(element.id);
    // Only what a reader needs: /Type is optional for elements, and a single kid needs no array.
    QByteArray body("<< /S /");
    body.reserve(large ? PieceBytes + 64
                       : 48 + qsizetype(element.kids.size()) * 8 + element.entries.size());
    body.append(element.type);
    body.append(" /P ");
    appendReference(body, parent);
    // Marked content on the element's first page is named by its MCID alone.
    int page = -1;
    element.kids.forEach([&](Kid kid) {
        if (page < 0 && kid.page >= 0) page = kid.page;
    });
    if (page >= 0) {
        body.append(" /Pg ");
        appendReference(body, page);
    }
    const bool single = element.kids.size() == 1;
    body.append(single ? " /K " : " /K [");
    element.kids.forEach([&](Kid kid) {
        if (kid.page < 0) {
            appendReference(body, kid.value);
        } else if (kid.page == page) {
            appendInteger(body, kid.value);
        } else {
            body.append("<< /Type /MCR /Pg ");
            appendReference(body, kid.page);
            body.append(" /MCID ");
            appendInteger(body, kid.value);
            body.append(" >>");
        }
        if (!single) body.append(' ');
        if (large && body.size() >= PieceBytes) {
            m_writer.appendLargeObject(body);
            body.resize(0);
        }
    });
    if (!single) body.append(']');
    body.append(element.entries);
    body.append(" >>");
    if (!large) return m_writer.object(element.id, std::move(body));
    m_writer.appendLargeObject(body);
    m_writer.endLargeObject();
}

int PdfStructure::finish() {
    closeTo(1);
    const Element& document = m_open.front();
    write(document, m_root);
    const int parentTree = m_writer.reserve();
    QByteArray nums("<< /Nums [");
    nums.reserve(qsizetype(m_parentTree.size()) * 9 + 16);
    for (size_t i = 0; i + 1 < m_parentTree.size(); i += 2) {
        appendInteger(nums, m_parentTree[i]);
        nums.append(' ');
        appendReference(nums, m_parentTree[i + 1]);
        nums.append(' ');
    }
    m_writer.object(parentTree, nums + "] >>");
    QByteArray root("<< /Type /StructTreeRoot /K ");
    appendReference(root, document.id);
    root.append(" /ParentTree ");
    appendReference(root, parentTree);
    root.append(" /ParentTreeNextKey ");
    appendInteger(root, m_nextKey);
    m_writer.object(m_root, root + " >>");
    return m_root;
}

} // namespace palvex::pdf
