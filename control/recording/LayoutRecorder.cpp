#include "LayoutRecorder.h"

#include "GraphicsRecorder.h"
#include "HostFontKept.h"
#include "LineBreaker.h"
#include "PageRecorder.h"
#include "PrintItem.h"
#include "ReportStore.h"
#include "TextRecorder.h"
#include "core/Guarded.h"
#include "platform/Surface.h"
#include "recording/ReportState.h"
#include <palvex/Enumerations.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace palvex {

namespace {

// Between a cell's text and its column's edges, so that neighbouring cells never touch.
constexpr float CellPaddingX = 60;
// Above and below a row's text when rules run between the rows.
constexpr float RulePaddingY = 40;
constexpr QChar RowSeparator = QChar(0x1E);

BoxAlignment boxAlignment(int32_t alignment) {
    if (alignment < 1 || alignment > 4) raise(Status::InvalidPropertyValue);
    return BoxAlignment(alignment);
}

// A width in twips that a box can have: positive and on a page.
void requireBoxWidth(float width) {
    if (!(width > 0) || !withinPageRange(width)) raise(Status::InvalidPropertyValue);
}

} // namespace

Surface& LayoutRecorder::surface() const {
    if (!m_report.lines.surface()) raise(Status::BadFileName); // no report is being recorded
    return *m_report.lines.surface();
}

float LayoutRecorder::lineHeight() const {
    return m_text.TextHeight(QString());
}

float LayoutRecorder::measure(const QString& text) const {
    return text.isEmpty() ? 0.0f : m_text.TextWidth(text);
}

std::function<float(const QString&)> LayoutRecorder::measurer() const {
    return [this](const QString& t) { return measure(t); };
}

float LayoutRecorder::widthOf(const BrokenLine& line) const {
    return line.width >= 0 ? line.width : measure(line.text);
}

bool LayoutRecorder::breakPageFor(float height) {
    Surface& s = surface();
    const float y = s.CurrentY();
    if (y + height <= m_report.lines.breakLimit()) return false;
    // Where a page begins nothing would fit better on the next one; and a page with no item has
    // none to end it with.
    if (y <= m_report.margins.top || y == m_pageStartY || m_store.itemCount() == 0) return false;
    m_pages.printPage();
    m_pages.PrintHeader();
    m_pageStartY = s.CurrentY();
    return true;
}

void LayoutRecorder::recordLine(const BrokenLine& line, float right, float width,
                                BoxAlignment alignment) {
    if (line.text.isEmpty()) return; // an empty line takes its height and records nothing
    QString text = line.text;
    float x = right;
    switch (alignment) {
    case BoxAlignment::Right:
        break;
    case BoxAlignment::Centre:
        x = right + (width - widthOf(line)) / 2;
        break;
    case BoxAlignment::Left:
        x = right + width - widthOf(line);
        break;
    case BoxAlignment::Justified:
        // The last line of a paragraph, and one a hard break ends, stays as it is.
        if (!line.lastOfParagraph)
            text = justified(text, width, measurer());
        break;
    }
    Surface& s = surface();
    const float y = s.CurrentY();
    s.setCurrentX(x);
    m_text.printText(text, A1_StayWhereYouAre, AlignNone);
    s.setCurrentY(y);
    // The cursor stays on the line's top, which on a new page is the top margin: the page holds
    // a text all the same, and the report's end must count and number it.
    m_report.setAfterPage(false);
}

void LayoutRecorder::printParagraph(const QString& text, float width, int32_t alignment,
                                    float lineSpacing) {
    requireBoxWidth(width);
    const BoxAlignment align = boxAlignment(alignment);
    if (!(lineSpacing > 0 && lineSpacing <= 100)) raise(Status::InvalidPropertyValue);
    Surface& s = surface();
    const float right = s.CurrentX();
    const float step = lineHeight() * lineSpacing;
    m_pageStartY = -1;
    for (const BrokenLine& line : breakLines(text, width, measurer())) {
        breakPageFor(step);
        recordLine(line, right, width, align);
        s.setCurrentY(s.CurrentY() + step);
    }
    s.setCurrentX(right);
    m_report.props.CurrentX = right;
    m_report.props.CurrentY = s.CurrentY();
}

// ---- Tables ------------------------------------------------------------------------------------

void LayoutRecorder::tableClear() {
    m_report.table = TableState{};
}

void LayoutRecorder::tableAddColumn(float width, int32_t alignment, const QString& header) {
    if (m_report.table.begun) raise(Status::InvalidProcedureCall);
    requireBoxWidth(width);
    m_report.table.columns.push_back({width, boxAlignment(alignment), header});
}

float LayoutRecorder::tableWidth() const {
    float total = 0;
    for (const TableColumn& c : m_report.table.columns)
        total += c.width;
    return total;
}

void LayoutRecorder::tableBegin(bool repeatHeader) {
    TableState& table = m_report.table;
    if (table.columns.empty()) raise(Status::InvalidProcedureCall);
    Surface& s = surface();
    if (!withinPageRange(s.CurrentX() + tableWidth())) raise(Status::Overflow);
    table.right = s.CurrentX();
    table.repeatHeader = repeatHeader;
    table.begun = true;
    m_pageStartY = -1;
    m_gridTopRuled = false;
    recordHeaderRow();
}

void LayoutRecorder::cellsOf(const QStringList& texts, std::vector<Cell>& cells) const {
    const size_t columns = m_report.table.columns.size();
    cells.resize(columns);
    const std::function<float(const QString&)> measureText = measurer();
    for (size_t i = 0; i < columns; ++i) {
        const TableColumn& column = m_report.table.columns[i];
        const float inside = std::max(1.0f, column.width - 2 * CellPaddingX);
        breakLines(texts.value(qsizetype(i)), inside, measureText, cells[i].lines);
    }
}

void LayoutRecorder::recordHeaderRow() {
    QStringList headers;
    bool anyHeader = false;
    for (const TableColumn& c : m_report.table.columns) {
        headers << c.header;
        anyHeader = anyHeader || !c.header.isEmpty();
    }
    if (!anyHeader) return; // a table of figures without titles (totals) has no header row
    // The header row is bold in the host's font; the host's own weight comes back after it.
    Surface& s = surface();
    const HostFontKept hostFont(s);
    s.setFontBold(true);
    std::vector<Cell> cells;
    cellsOf(headers, cells);
    recordRow(cells, true);
}

void LayoutRecorder::breakTablePage() {
    if (!breakPageFor(std::numeric_limits<float>::max())) return;
    m_gridTopRuled = false;
    if (m_report.table.repeatHeader) recordHeaderRow();
    m_pageStartY = surface().CurrentY();
}

void LayoutRecorder::recordRow(const std::vector<Cell>& cells, bool header) {
    Surface& s = surface();
    const TableState& table = m_report.table;
    const float lh = lineHeight();
    const float pad = m_report.props.TableLines >= 2 ? RulePaddingY : 0;
    size_t lines = 1;
    for (const Cell& c : cells)
        lines = std::max(lines, c.lines.size());
    const float height = float(lines) * lh + 2 * pad;
    // A row that does not fit goes whole to the next page, when it fits a page at all; the
    // header row stays where it is asked for.
    const float pageRoom = m_report.lines.breakLimit() - m_report.margins.top;
    if (!header && s.CurrentY() + height > m_report.lines.breakLimit() && height <= pageRoom)
        breakTablePage();
    float top = s.CurrentY();
    float y = top + pad;
    for (size_t k = 0; k < lines; ++k) {
        // A row taller than a page goes on on the next one, between two of its lines.
        if (!header && k > 0 && y + lh + pad > m_report.lines.breakLimit()) {
            recordRules(top, y + pad, false);
            s.setCurrentY(y + pad);
            breakTablePage();
            top = s.CurrentY();
            y = top + pad;
        }
        float right = table.right;
        for (size_t i = 0; i < cells.size(); ++i) {
            const TableColumn& column = table.columns[i];
            if (k < cells[i].lines.size()) {
                s.setCurrentY(y);
                recordLine(cells[i].lines[k], right + CellPaddingX,
                           std::max(1.0f, column.width - 2 * CellPaddingX), column.alignment);
            }
            right += column.width;
        }
        y += lh;
    }
    const float bottom = y + pad;
    recordRules(top, bottom, header);
    s.setCurrentY(bottom);
    s.setCurrentX(table.right);
    m_report.props.CurrentX = table.right;
    m_report.props.CurrentY = bottom;
}

QStringList LayoutRecorder::cellTexts(const QString& row) const {
    QStringList texts = row.split(QLatin1Char('\t'));
    if (size_t(texts.size()) > m_report.table.columns.size()) raise(Status::InvalidPropertyValue);
    return texts;
}

void LayoutRecorder::tableRow(const QString& cells) {
    if (!m_report.table.begun) raise(Status::InvalidProcedureCall);
    cellsOf(cellTexts(cells), m_rowCells);
    recordRow(m_rowCells, false);
}

void LayoutRecorder::tableRows(const QString& rows) {
    if (!m_report.table.begun) raise(Status::InvalidProcedureCall);
    // Every row is checked before any is recorded: a refused call records nothing.
    std::vector<QStringList> each;
    for (const QString& row : rows.split(RowSeparator))
        each.push_back(cellTexts(row));
    for (const QStringList& texts : each) {
        cellsOf(texts, m_rowCells);
        recordRow(m_rowCells, false);
    }
}

void LayoutRecorder::tableEnd() {
    TableState& table = m_report.table;
    if (!table.begun) return;
    table.begun = false;
    Surface& s = surface();
    s.setCurrentX(table.right);
    m_report.props.CurrentX = table.right;
    m_report.props.CurrentY = s.CurrentY();
}

// ---- Rules -------------------------------------------------------------------------------------

void LayoutRecorder::recordRule(float right1, float y1, float right2, float y2) {
    // A line without alignment is drawn mirrored into the surface's left-origin scale: its x
    // counts from the right edge, as a text's does.
    ShapeParams p;
    p.x1 = right1;
    p.y1 = y1;
    p.x2 = right2;
    p.y2 = y2;
    m_graphics.recordShape(KindLine, p, AlignNone);
}

void LayoutRecorder::recordRules(float top, float bottom, bool header) {
    const int16_t lines = m_report.props.TableLines;
    if (lines <= 0) return;
    const TableState& table = m_report.table;
    const float right = table.right, left = table.right + tableWidth();
    // A host's next box or circle keeps the values of its own last shape, not of the rules.
    const ShapeParams hostShape = m_report.shape.params;
    try {
        // A grid closes at the top of the table's first row on each page, header row or not.
        if (lines == 3 && !m_gridTopRuled) recordRule(right, top, left, top);
        m_gridTopRuled = true;
        if (header || lines >= 2) recordRule(right, bottom, left, bottom);
        if (lines == 3) {
            float x = right;
            recordRule(x, top, x, bottom);
            for (const TableColumn& c : table.columns) {
                x += c.width;
                recordRule(x, top, x, bottom);
            }
        }
    } catch (...) {
        m_report.shape.params = hostShape;
        throw;
    }
    m_report.shape.params = hostShape;
}

} // namespace palvex
