#include "PageRecorder.h"

#include "GraphicsRecorder.h"
#include "HostFontKept.h"
#include "ItemWriter.h"
#include "PageTokens.h"
#include "PrintItem.h"
#include "ReportStore.h"
#include "TextRecorder.h"
#include "core/CodePage.h"
#include "core/Guarded.h"
#include "platform/Surface.h"
#include "recording/ReportState.h"

#include <cmath>
#include <limits>

namespace palvex {

namespace {
// The footer's items are placed from the page-number line, wherever it lies on the page.
PendingItem footerItem(ItemRole role) {
    PendingItem item;
    item.yRelative = 1;
    item.footerFlag = FooterItem;
    item.tag.role = role;
    return item;
}
PendingItem headerItem() {
    PendingItem item;
    item.tag.role = ItemRole::PageHeader;
    return item;
}
} // namespace

namespace {
constexpr float RuleGap = 50; // between the rule and the page number

} // namespace

LineHeader& PageRecorder::lineHeader(int16_t number) {
    if (number < 1 || number > int16_t(m_report.lineHeaders.size()))
        refuse(Status::SubscriptOutOfRange, QStringLiteral("header %1 is not one of 1 to %2")
                                                .arg(number)
                                                .arg(m_report.lineHeaders.size()));
    return m_report.lineHeaders[size_t(number - 1)];
}

PositionedHeader& PageRecorder::positionedHeader(int16_t number) {
    if (number < 1 || number > int16_t(m_report.positionedHeaders.size()))
        refuse(Status::SubscriptOutOfRange, QStringLiteral("header %1 is not one of 1 to %2")
                                                .arg(number)
                                                .arg(m_report.positionedHeaders.size()));
    return m_report.positionedHeaders[size_t(number - 1)];
}

FooterSlot& PageRecorder::footer(int32_t slot) {
    if (slot < 0 || slot >= int32_t(m_report.footers.size()))
        refuse(Status::SubscriptOutOfRange, QStringLiteral("footer %1 is not one of 0 to %2")
                                                .arg(slot)
                                                .arg(m_report.footers.size() - 1));
    return m_report.footers[size_t(slot)];
}

Surface& PageRecorder::surface() const {
    return m_report.lines.recordingSurface(); // none once the preview was closed
}

bool PageRecorder::belowTopMargin() const {
    return surface().CurrentY() > m_report.margins.top;
}

void PageRecorder::FinishPage() {
    if (m_report.pageFooterCount == std::numeric_limits<int16_t>::max()) raise(Status::Overflow);
    Surface& surface = this->surface();
    const HostFontKept hostFont(surface);
    const int32_t footerCount = m_report.pageFooterCount + 1;
    if (!m_report.noPageNumbers) {
        if (m_report.lineAbovePageNumber != QLatin1Char(' ')) {
            surface.setFontSize(8);
            surface.setFontBold(true);
            const QString rule(m_report.lineAbovePageNumber);
            const float w = surface.TextWidth(rule);
            surface.setCurrentY(m_report.lines.pageNumberLine() - w - RuleGap);
            m_report.props.DontConsiderForCenter = true;
            m_graphics.printRun(m_report.lineAbovePageNumber, m_report.margins.right,
                                m_report.props.gtPrWidth, PrintHorizontal, KindChars,
                                K1_FromLeftmarginToRightmargin, footerItem(ItemRole::PageFooter));
        }
        surface.setCurrentY(m_report.lines.pageNumberLine());
        if (onPageFormatted) onPageFormatted(footerCount);
        const QString number = pageNumberText(footerCount);
        if (!trimBlanks(number).isEmpty()) {
            surface.setForeColor(0);
            surface.setFontSize(14);
            surface.setFontBold(true);
            surface.setFontUnderline(false);
            m_report.props.DontConsiderForCenter = true;
            m_text.printText(number, A1_StayWhereYouAre, AlignCenter,
                             footerItem(ItemRole::PageNumber));
        }
    }
    if (m_report.props.tfPrintFooter1) PrintFooters();
    m_report.pageFooterCount = footerCount;
    m_report.pageIndex.resize(size_t(footerCount) + 1, 0);
    m_report.pageIndex[size_t(footerCount)] = m_store.itemCount();
}

QString PageRecorder::pageNumberText(int32_t footerCount) const {
    // A format of blanks asks for no page number.
    return withPageNumber(m_report.props.PageNumberFormat,
                          m_report.firstPageNumber + footerCount - 1);
}

bool PageRecorder::pageCanEnd() const {
    if (m_store.itemCount() > 0) return true;
    if (!m_report.noPageNumbers &&
        (m_report.lineAbovePageNumber != QLatin1Char(' ') ||
         !trimBlanks(pageNumberText(m_report.pageFooterCount + 1)).isEmpty()))
        return true;
    if (m_report.props.tfPrintFooter1)
        for (const FooterSlot& f : m_report.footers)
            if (!trimBlanks(f.text).isEmpty()) return true;
    return false;
}

void PageRecorder::PrintFooters() {
    Surface& surface = this->surface();
    surface.setCurrentY(m_report.lines.pageNumberLine());
    struct Placement {
        int16_t align;
        int32_t entr;
    };
    // N1 right and N2 left share the page-number line; N3 and N4 follow.
    constexpr Placement placements[4] = {{AlignRight, A1_StayWhereYouAre},
                                         {AlignLeft, A2_JumpToNextLine},
                                         {AlignRight, A1_StayWhereYouAre},
                                         {AlignLeft, A1_StayWhereYouAre}};
    for (size_t slot = 0; slot < 4; ++slot) {
        const FooterSlot& f = m_report.footers[slot];
        const QString text = trimBlanks(f.text);
        if (text.isEmpty()) continue;
        applyFont(f.fontName, f.fontSize, f.bold, f.underline, f.italic, f.color);
        m_text.printText(text, placements[slot].entr, placements[slot].align,
                         footerItem(ItemRole::PageFooter));
    }
}

void PageRecorder::printPage() {
    FinishPage();
    const int32_t last = m_store.itemCount();
    if (last < 1) // no item to carry the page end
        refuse(Status::SubscriptOutOfRange,
               QStringLiteral("the page holds nothing, and without page numbers or footers "
                              "nothing can mark its end"));
    m_store.setPageEnd(last, true);
    if (m_report.pagesEnded >= std::numeric_limits<int32_t>::max()) raise(Status::Overflow);
    ++m_report.pagesEnded;
    m_pic.Cls();
    m_pic.setCurrentY(m_report.margins.top);
    m_pic.setCurrentX(0);
    m_report.props.CurrentY = m_report.margins.top;
    m_report.props.CurrentX = 0;
    m_report.props.gtAfterPage = true;
}

void PageRecorder::checkMin1() {
    if (surface().CurrentY() > m_report.lines.breakLimit() - m_report.reduceTwips) {
        printPage();
        PrintHeader();
    }
}

void PageRecorder::checkMin2() {
    const float y = surface().CurrentY();
    if (y > m_report.lines.breakLimit() && y < m_report.lines.pageNumberLine()) {
        printPage();
        PrintHeader();
    }
}

void PageRecorder::applyFont(const QString& name, float size, bool bold, bool underline,
                             bool italic, int32_t color) {
    Surface& surface = this->surface();
    auto keepCurrent = [this](IllegalValue kind) {
        if (onIllegalValue) onIllegalValue(kind);
    };
    try {
        surface.setFontName(name.trimmed());
    } catch (const Error&) {
        keepCurrent(IllegalValue::FontName);
    }
    try {
        surface.setFontSize(size);
    } catch (const Error&) {
        keepCurrent(IllegalValue::FontSize);
    }
    surface.setFontBold(bold);
    surface.setFontUnderline(underline);
    surface.setFontItalic(italic);
    try {
        surface.setForeColor(color);
    } catch (const Error&) {
        keepCurrent(IllegalValue::Color);
    }
}

void PageRecorder::recordHeaderText(const QString& text, int32_t align) {
    Surface& surface = this->surface();
    switch (align) {
    case AlignNone:
        m_text.printText(text, A1_StayWhereYouAre, AlignNone, headerItem());
        break;
    case AlignRight:
        surface.setCurrentX(m_report.margins.right);
        m_text.printText(text, A1_StayWhereYouAre, AlignNone, headerItem());
        break;
    case AlignCenter:
        m_text.printText(text, A1_StayWhereYouAre, AlignCenter, headerItem());
        break;
    case AlignLeft:
        // The text ends at the left margin, like a left-aligned text.
        surface.setCurrentX(surface.ScaleWidth() - m_report.margins.left - surface.TextWidth(text));
        m_text.printText(text, A1_StayWhereYouAre, AlignNone, headerItem());
        break;
    default:
        break; // an unknown alignment records nothing
    }
}

void PageRecorder::PrintHeader() {
    if (!m_report.props.Header) return;
    Surface& surface = this->surface();
    const HostFontKept hostFont(surface);
    for (const LineHeader& h : m_report.lineHeaders) {
        const QString text = trimBlanks(h.text);
        if (text.isEmpty()) continue;
        for (int i = 0; i < h.linesBefore; ++i)
            m_text.JumpToNextLine();
        surface.setCurrentX(h.x);
        applyFont(h.fontName, h.fontSize, h.bold, h.underline, h.italic, h.color);
        recordHeaderText(text, h.align);
        surface.setFontUnderline(false);
        for (int i = 0; i < h.linesAfter; ++i)
            m_text.JumpToNextLine();
    }
    const float x = std::round(surface.CurrentX()), y = std::round(surface.CurrentY());
    for (const PositionedHeader& h : m_report.positionedHeaders) {
        const QString text = trimBlanks(h.text);
        if (text.isEmpty()) continue;
        surface.setCurrentX(h.x);
        surface.setCurrentY(h.y);
        applyFont(h.fontName, h.fontSize, h.bold, h.underline, h.italic, h.color);
        recordHeaderText(text, h.align);
    }
    surface.setCurrentX(x);
    surface.setCurrentY(y);
    m_report.props.CurrentX = x;
    m_report.props.CurrentY = y;
    m_report.props.gtAfterPage = false;
}

void PageRecorder::finishReport() {
    Surface& surface = this->surface();
    if (m_report.pageFooterCount == 0 || (belowTopMargin() && !m_report.props.gtAfterPage))
        FinishPage();
    surface.setForeColor(0);
    int32_t last = m_report.pagesEnded;
    if (!belowTopMargin() || m_report.props.gtAfterPage) --last;
    m_report.lastPageIndex = std::max(0, last);
}

} // namespace palvex
