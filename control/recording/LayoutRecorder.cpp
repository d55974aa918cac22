#include "LayoutRecorder.h"

#include "GraphicsRecorder.h"
#include "HostFontKept.h"
#include "LineBreaker.h"
#include "PageRecorder.h"
#include "PrintItem.h"
#include "TextRecorder.h"
#include "core/Guarded.h"
#include "core/NumberText.h"
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
    if (alignment < 1 || alignment > 4)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("alignment %1 is not 1 (right), 2 (centre), 3 (left) or 4 "
                              "(justified)")
                   .arg(alignment));
    return BoxAlignment(alignment);
}

// A width in twips that a box can have: positive and on a page.
void requireBoxWidth(float width, const char* what) {
    if (!(width > 0) || !withinPageRange(width))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("%1 %2 twips is not a width; it must be more than 0")
                   .arg(QLatin1StringView(what), formatSingle(width)));
}

// "1 column", "3 columns": for the words of a refusal.
QString counted(qsizetype n, const char* noun) {
    return QStringLiteral("%1 %2%3")
        .arg(n)
        .arg(QLatin1StringView(noun))
        .arg(n == 1 ? QString() : QStringLiteral("s"));
}

// Rounding of the margins' centimetres may leave a box a fraction of a twip over.
constexpr float WidthTolerance = 0.5f;

} // namespace

Surface& LayoutRecorder::surface() const {
    return m_report.lines.recordingSurface();
}

float LayoutRecorder::boxRight() const {
    return std::max(surface().CurrentX(), m_report.margins.right);
}

float LayoutRecorder::roomLeftOf(float right) const {
    return surface().ScaleWidth() - m_report.margins.left - right;
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
    // Where a page begins nothing would fit better on the next one; and a page of nothing
    // without a footer has no item to end it with.
    if (y <= m_report.margins.top || y == m_pageStartY || !m_pages.pageCanEnd()) return false;
    m_pages.printPage();
    m_pages.PrintHeader();
    m_pageStartY = s.CurrentY();
    return true;
}

void LayoutRecorder::recordLine(const BrokenLine& line, float right, float width,
                                BoxAlignment alignment, ItemTag tag) {
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
        if (!line.lastOfParagraph) text = justified(text, width, measurer());
        break;
    }
    Surface& s = surface();
    const float y = s.CurrentY();
    s.setCurrentX(x);
    // A header row repeated on a later page is page furniture: what begins stays for the row
    // that is the table's own.
    const bool begins = !tag.repeatedHeader;
    if (begins) {
        tag.startsElement = tag.startsElement || m_starts.element;
        tag.startsRow = tag.startsRow || m_starts.row;
        tag.startsTable = tag.startsTable || m_starts.table;
    }
    PendingItem marks;
    marks.tag = tag;
    m_text.printText(text, A1_StayWhereYouAre, AlignNone, std::move(marks));
    if (begins) m_starts = {};
    s.setCurrentY(y);
    // The cursor stays on the line's top, which on a new page is the top margin: the page holds
    // a text all the same, and the report's end must count and number it.
    m_report.setAfterPage(false);
}

void LayoutRecorder::printParagraph(const QString& text, float width, int32_t alignment,
                                    float lineSpacing) {
    requireBoxWidth(width, "Width");
    const BoxAlignment align = boxAlignment(alignment);
    if (!(lineSpacing > 0 && lineSpacing <= 100))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("line spacing %1 is not more than 0 and at most 100")
                   .arg(formatSingle(lineSpacing)));
    Surface& s = surface();
    const float right = boxRight();
    if (const float room = roomLeftOf(right); width > room + WidthTolerance)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("the width %1 twips does not fit: %2 twips lie between the box's "
                              "right edge at x %3 and the left margin (%4 twips)")
                   .arg(formatSingle(width), formatSingle(room), formatSingle(right),
                        formatSingle(m_report.margins.left)));
    const float step = lineHeight() * lineSpacing;
    m_pageStartY = -1;
    m_starts = {true, false, false};
    ItemTag tag;
    tag.role = ItemRole::Paragraph;
    for (const BrokenLine& line : breakLines(text, width, measurer())) {
        breakPageFor(step);
        recordLine(line, right, width, align, tag);
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
    if (m_report.table.begun)
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("a table is begun; columns are added before TableBegin"));
    requireBoxWidth(width, "Width");
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
    if (table.begun)
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("a table is already begun; end it with TableEnd first"));
    if (table.columns.empty())
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("the table has no columns; add them with TableAddColumn"));
    const float right = boxRight();
    const float width = tableWidth(), room = roomLeftOf(right);
    if (width > room + WidthTolerance)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("the %1 add up to %2 twips, but %3 twips lie between the table's "
                              "right edge at x %4 and the left margin (%5 twips)")
                   .arg(counted(qsizetype(table.columns.size()), "column"), formatSingle(width),
                        formatSingle(room), formatSingle(right),
                        formatSingle(m_report.margins.left)));
    table.right = right;
    table.repeatHeader = repeatHeader;
    table.begun = true;
    m_pageStartY = -1;
    m_gridTopRuled = false;
    m_starts = {false, false, true};
    // The header row waits for the first row, so that the two begin a page together.
    m_headerPending = hasHeaderRow();
}

bool LayoutRecorder::hasHeaderRow() const {
    for (const TableColumn& c : m_report.table.columns)
        if (!c.header.isEmpty()) return true;
    return false; // a table of figures without titles (totals) has no header row
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

float LayoutRecorder::headerCells(std::vector<Cell>& cells) const {
    QStringList headers;
    for (const TableColumn& c : m_report.table.columns)
        headers << c.header;
    // The header row is bold in the host's font.
    Surface& s = surface();
    const HostFontKept hostFont(s);
    s.setFontBold(true);
    cellsOf(headers, cells);
    return rowHeight(cells);
}

void LayoutRecorder::recordHeaderRow(const std::vector<Cell>& cells, bool repeated) {
    // Bold while it is recorded; the host's own weight comes back after it.
    Surface& s = surface();
    const HostFontKept hostFont(s);
    s.setFontBold(true);
    recordRow(cells, repeated ? RowKind::RepeatedHeader : RowKind::Header);
}

void LayoutRecorder::recordHeaderRow(bool repeated) {
    if (!hasHeaderRow()) return;
    std::vector<Cell> cells;
    headerCells(cells);
    recordHeaderRow(cells, repeated);
}

float LayoutRecorder::pageRoom() const {
    return m_report.lines.breakLimit() - m_report.margins.top;
}

float LayoutRecorder::rowHeight(const std::vector<Cell>& cells) const {
    size_t lines = 1;
    for (const Cell& c : cells)
        lines = std::max(lines, c.lines.size());
    const float pad = m_report.props.TableLines >= 2 ? RulePaddingY : 0;
    return float(lines) * lineHeight() + 2 * pad;
}

void LayoutRecorder::recordPendingHeaderWith(const std::vector<Cell>& firstRow) {
    if (!m_headerPending) return;
    m_headerPending = false;
    std::vector<Cell> header;
    // The header row and the first row begin a page together: a header row alone at the foot
    // of a page would title nothing.
    const float together = headerCells(header) + rowHeight(firstRow);
    const bool broke = surface().CurrentY() + together > m_report.lines.breakLimit() &&
                       together <= pageRoom() && breakPageFor(std::numeric_limits<float>::max());
    if (broke) m_gridTopRuled = false;
    recordHeaderRow(header, false);
    if (broke) m_pageStartY = surface().CurrentY();
}

void LayoutRecorder::breakTablePage() {
    if (!breakPageFor(std::numeric_limits<float>::max())) return;
    m_gridTopRuled = false;
    if (m_report.table.repeatHeader) recordHeaderRow(true);
    m_pageStartY = surface().CurrentY();
}

void LayoutRecorder::recordRow(const std::vector<Cell>& cells, RowKind kind) {
    const bool header = kind != RowKind::Body;
    if (kind != RowKind::RepeatedHeader) m_starts.row = true;
    ItemTag tag;
    tag.role = header ? ItemRole::TableHeaderCell : ItemRole::TableCell;
    tag.repeatedHeader = kind == RowKind::RepeatedHeader;
    Surface& s = surface();
    const TableState& table = m_report.table;
    const float lh = lineHeight();
    const float pad = m_report.props.TableLines >= 2 ? RulePaddingY : 0;
    size_t lines = 1;
    for (const Cell& c : cells)
        lines = std::max(lines, c.lines.size());
    const float height = rowHeight(cells);
    // A row that does not fit goes whole to the next page, when it fits a page at all; the
    // header row stays where it is asked for.
    if (!header && s.CurrentY() + height > m_report.lines.breakLimit() && height <= pageRoom())
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
                tag.column = uint8_t(std::min<size_t>(i, 31));
                recordLine(cells[i].lines[k], right + CellPaddingX,
                           std::max(1.0f, column.width - 2 * CellPaddingX), column.alignment, tag);
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

QStringList LayoutRecorder::cellTexts(const QString& row, qsizetype index) const {
    QStringList texts = row.split(QLatin1Char('\t'));
    const size_t columns = m_report.table.columns.size();
    if (size_t(texts.size()) > columns)
        refuse(Status::InvalidPropertyValue,
               (index < 0 ? QStringLiteral("the row") : QStringLiteral("row %1").arg(index + 1)) +
                   QStringLiteral(" has %1, the table %2")
                       .arg(counted(texts.size(), "cell"), counted(qsizetype(columns), "column")));
    return texts;
}

void LayoutRecorder::requireBegunTable() const {
    if (!m_report.table.begun)
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("no table is begun; call TableBegin first"));
}

void LayoutRecorder::recordBodyRow(const std::vector<Cell>& cells) {
    recordPendingHeaderWith(cells);
    recordRow(cells, RowKind::Body);
}

void LayoutRecorder::tableRow(const QString& cells) {
    requireBegunTable();
    cellsOf(cellTexts(cells, -1), m_rowCells);
    recordBodyRow(m_rowCells);
}

void LayoutRecorder::tableRows(const QString& rows) {
    requireBegunTable();
    // Every row is checked before any is recorded: a refused call records nothing.
    std::vector<QStringList> each;
    for (const QString& row : rows.split(RowSeparator))
        each.push_back(cellTexts(row, qsizetype(each.size())));
    for (const QStringList& texts : each) {
        cellsOf(texts, m_rowCells);
        recordBodyRow(m_rowCells);
    }
}

void LayoutRecorder::tableEnd() {
    TableState& table = m_report.table;
    requireBegunTable();
    // A table without rows still shows what its columns are.
    if (m_headerPending) {
        m_headerPending = false;
        recordHeaderRow(false);
    }
    table.begun = false;
    m_starts = {};
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
}

} // namespace palvex
