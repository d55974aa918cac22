#include "ItemWriter.h"

#include "PageTokens.h"

#include "PrintItem.h"
#include "ReportStore.h"
#include "core/CodePage.h"
#include "core/FixedField.h"
#include "core/Guarded.h"
#include "core/NumberText.h"
#include "platform/Surface.h"
#include "recording/ReportState.h"

#include <cmath>
#include <limits>

namespace palvex {

namespace {
int16_t boolField(bool on) {
    return on ? -1 : 0;
}
} // namespace

int16_t validatedKind(int16_t kind) {
    switch (kind) {
    case KindNone:
    case KindText:
    case KindTextNewLine:
    case KindSpecialCenter:
    case KindSpecialCenterNewLine:
    case KindPicture:
    case KindChars:
    case KindCharsNewLine:
    case KindBox:
    case KindLine:
    case KindCircle:
        return kind;
    default:
        return KindText;
    }
}

int16_t validatedAlign(int16_t align, int16_t kind) {
    if (align < 0 || align > 6) return AlignNone;
    if (align == 4 && kind != KindPicture) return AlignNone;
    return align;
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString trimTrailingBlanks(const QString& text) {
    qsizetype last = text.size();
    while (last > 0 && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.left(last);
}

void ItemWriter::applyAlignment(Surface& surface, int16_t kind, int16_t align,
                                const QString& text) {
    if (kind == KindPicture) return; // pictures are placed by their own rule
    const Margins& m = m_report.margins;
    const float width = surface.ScaleWidth();
    auto textWidth = [&] { return text.isEmpty() ? 0.0f : surface.TextWidth(trimBlanks(text)); };
    switch (align) {
    case AlignRight:
        surface.setCurrentX(m.right);
        break;
    case AlignCenter:
        surface.setCurrentX((width - m.left - m.right - textWidth()) / 2 + m.right);
        break;
    case AlignLeft:
        surface.setCurrentX(width - m.left - textWidth());
        break;
    default:
        break; // none, and mixed languages: resolved when the line is drawn
    }
}

bool ItemWriter::fillKind(Surface& surface, const PendingItem& pending, int16_t kind, QString& text,
                          PrintItem& item) {
    switch (kind) {
    case KindText:
    case KindTextNewLine:
        m_report.textStart = surface.CurrentX();
        surface.Print(text, false);
        m_report.textEnd = surface.CurrentX();
        if (kind == KindText) m_report.props.CurrentX = surface.CurrentX();
        item.ItemText = text; // cut or padded to its field when stored
        if (kind == KindTextNewLine) surface.EndLine();
        return true;
    case KindSpecialCenter:
    case KindSpecialCenterNewLine:
        if (text.isEmpty()) return false;
        text = FitRight(text, 100);
        m_report.textStart = surface.CurrentX();
        surface.Print(text, false);
        m_report.textEnd = surface.CurrentX();
        item.ItemText = text + padRight(pending.specialCenterNumbers, 40);
        if (kind == KindSpecialCenterNewLine) surface.EndLine();
        return true;
    case KindChars:
    case KindCharsNewLine: {
        if (text.size() != 1) return false;
        const PendingRun& run = pending.run;
        item.ItemText = text + QString::number(run.direction) + QString(8, QLatin1Char(' ')) +
                        FitRight(formatSingle(run.start), 5) + FitRight(formatSingle(run.end), 5);
        item.FontSize = 8;
        // The macron is drawn as an overline rule: an underline would double it.
        if (text[0] == m_report.page().charOf(175)) item.FontUnderline = 0;
        if (kind == KindCharsNewLine) surface.EndLine();
        return true;
    }
    case KindBox:
    case KindLine:
    case KindCircle: {
        ShapeParams params = pending.shape;
        params.align = item.HAlign;
        item.ItemText = params.encode();
        return true;
    }
    case KindPicture: {
        const PendingPicture& picture = pending.picture;
        m_report.props.DontConsiderForCenter = true;
        const float width = surface.ScaleWidth();
        const float p = float(picture.width);
        // Positions in the picture's own unit, as the layout has always been recorded.
        switch (item.HAlign) {
        case AlignNone:
            surface.setCurrentX(width - surface.CurrentX() - p);
            break;
        case AlignRight:
            surface.setCurrentX(width - p);
            break;
        case AlignCenter:
        case 4:
            surface.setCurrentX((width - p) / 2 - p);
            break;
        case AlignLeft:
            surface.setCurrentX(0);
            break;
        default:
            break;
        }
        item.ItemX = surface.CurrentX();
        surface.setCurrentY(float(picture.rememberedY + picture.height));
        // The name right-justified in 100 columns as it always was, or in as many as it needs.
        item.ItemText =
            FitRight(picture.fileName, std::max<qsizetype>(100, picture.fileName.size())) +
            FitRight(formatSingle(float(picture.width)), 10) +
            FitRight(formatSingle(float(picture.height)), 10);
        // A picture draws no text, so its font name field holds its alternative text: a reader
        // that knows no roles sets it as a font it does not find and draws the picture as ever.
        item.FontName = m_report.page().storedForm(picture.altText);
        if (trimBlanks(picture.altText).isEmpty() && m_report.pictureWithoutAltTextPage == 0)
            m_report.pictureWithoutAltTextPage = m_report.firstPageNumber + m_report.pagesEnded;
        return true;
    }
    default:
        return false;
    }
}

ItemTag ItemWriter::roleOf(const PendingItem& pending, int16_t kind) const {
    ItemTag tag = pending.tag;
    if (tag.role != ItemRole::Unmarked) return tag;
    switch (kind) {
    case KindText:
    case KindTextNewLine:
    case KindSpecialCenter:
    case KindSpecialCenterNewLine: {
        const HostMarks& host = m_report.hostMarks;
        tag.role = host.textRole;
        tag.headingLevel = host.textRole == ItemRole::Heading ? host.headingLevel : 0;
        tag.startsElement = m_report.lineEnded;
        return tag;
    }
    case KindPicture:
        tag.role = ItemRole::Picture;
        return tag;
    default:
        tag.role = ItemRole::Decoration;
        return tag;
    }
}

void ItemWriter::useHostMarks(int16_t kind) {
    HostMarks& host = m_report.hostMarks;
    host.yRelative = 0;
    const bool endsLine = kind == KindNone || kind == KindTextNewLine ||
                          kind == KindSpecialCenterNewLine || kind == KindCharsNewLine;
    if (endsLine) {
        host.textRole = ItemRole::Body;
        host.headingLevel = 0;
    }
}

std::optional<PrintItem> ItemWriter::write(const PendingItem& pending) {
    const int16_t kind = validatedKind(pending.kind);
    const int16_t align = validatedAlign(pending.align, kind);
    const int16_t yRelative =
        pending.yRelative != 0 ? pending.yRelative : m_report.hostMarks.yRelative;
    const ItemTag tag = roleOf(pending, kind);
    useHostMarks(kind); // taken by this item, whether it is stored or not
    Surface& surface = m_report.lines.recordingSurface();
    if (kind == KindNone) {
        advanceLine(surface);
        m_report.lineEnded = true;
        return std::nullopt;
    }
    refuseUnlessRecording();

    // Text is measured and laid out as it will be stored: a character the code page cannot hold
    // is a '?' in the file, on the page and in the printout alike.
    QString text = pending.text;
    if (kind == KindText || kind == KindTextNewLine)
        text = withPageNumber(text, m_report.firstPageNumber + m_report.pagesEnded);
    if (kind == KindText || kind == KindTextNewLine || kind == KindSpecialCenter ||
        kind == KindSpecialCenterNewLine)
        text = storedText(text);

    const CursorKept before = keepCursor(surface);
    PrintItem item = itemAtCursor(surface, pending, kind, align);
    item.Reserved = tag.encode();
    applyAlignment(surface, kind, align, text);
    item.ItemX = surface.CurrentX();
    if (yRelative == 1) item.ItemY = m_report.lines.pageNumberLine() - surface.CurrentY();
    try {
        if (!fillKind(surface, pending, kind, text, item)) return std::nullopt;
        // A cursor carried off the page by what came before is refused, not written.
        if (!withinPageRange(item.ItemX) || !withinPageRange(item.ItemY) ||
            !withinPageRange(surface.CurrentX()) || !withinPageRange(surface.CurrentY()))
            refuse(Status::Overflow,
                   QStringLiteral("the cursor at x %1, y %2 twips is off any page")
                       .arg(double(surface.CurrentX()))
                       .arg(double(surface.CurrentY())));
        markCentring(item, yRelative);
        m_store.append(item);
    } catch (...) {
        putBack(surface, before);
        throw;
    }
    if (pending.tag.role != ItemRole::Unmarked || kind == KindPicture)
        m_report.lineEnded = true; // the host's next text begins a paragraph of its own
    else if (kind == KindText || kind == KindSpecialCenter)
        m_report.lineEnded = false;
    else if (kind == KindTextNewLine || kind == KindSpecialCenterNewLine)
        m_report.lineEnded = true;
    m_report.lastLineY = surface.CurrentY();
    m_report.props.CurrentY = surface.CurrentY();
    if (m_report.lastLineY > m_report.margins.top) m_report.props.gtAfterPage = false;
    return item;
}

QString ItemWriter::storedText(const QString& text) {
    const CodePage& page = m_report.page();
    if (page.holdsAll(text)) return text;
    if (!m_report.lostCharactersTold) {
        m_report.lostCharactersTold = true;
        constexpr qsizetype Shown = 60;
        const QString named = text.size() > Shown ? text.left(Shown) + QChar(0x2026) : text;
        if (onLostCharacters)
            onLostCharacters(QStringLiteral("The text \"%1\" holds characters that code page %2 "
                                            "cannot hold; they are stored as \"?\".\n"
                                            "Set CodePage = 65001 (UTF-8) before "
                                            "StartPalvexPrintPreview to keep every character.")
                                 .arg(named)
                                 .arg(page.number()));
    }
    return page.storedForm(text);
}

void ItemWriter::advanceLine(Surface& surface) {
    surface.EndLine();
    m_report.lastLineY = surface.CurrentY();
    m_report.props.CurrentY = surface.CurrentY();
}

void ItemWriter::refuseUnlessRecording() {
    // A call that is refused here leaves none of its marks for the next item.
    auto refuse = [&](Status status, const QString& reason) {
        m_report.props.DontConsiderForCenter = false;
        palvex::refuse(status, reason);
    };
    if (!m_store.isOpen()) // nothing recorded before the start
        refuse(Status::BadFileName,
               QStringLiteral("no report is being recorded; call StartPalvexPrintPreview first"));
    if (m_report.pagesEnded >= std::numeric_limits<int16_t>::max())
        refuse(Status::Overflow, QStringLiteral("the report has %1 pages, the most it can hold")
                                     .arg(std::numeric_limits<int16_t>::max()));
}

PrintItem ItemWriter::itemAtCursor(const Surface& surface, const PendingItem& pending, int16_t kind,
                                   int16_t align) const {
    PrintItem item;
    item.PageNumber = int16_t(m_report.pagesEnded + 1);
    item.ItemY = surface.CurrentY();
    item.FontName = surface.FontName();
    item.ForeColor = surface.ForeColor();
    item.FontBold = boolField(surface.FontBold());
    item.FontItalic = boolField(surface.FontItalic());
    item.FontUnderline = boolField(surface.FontUnderline());
    item.FontSize = surface.FontSize();
    item.FontStrikethru = boolField(surface.FontStrikethru());
    item.FontTransparent = boolField(surface.FontTransparent());
    item.ItemKind = kind;
    item.HAlign = align;
    item.VAlign = pending.valign;
    item.CharsPlacement = pending.charsPlacement;
    item.FooterFlag = pending.footerFlag;
    return item; // ItemText stays empty: stored, it is 180 blanks
}

void ItemWriter::markCentring(PrintItem& item, int16_t yRelative) {
    // Items placed against an edge, runs between the margins or a row's ends, and pictures keep
    // their place when pages are centred, as does anything the host marked so.
    const bool keepPlace = m_report.props.DontConsiderForCenter || item.CharsPlacement == 1 ||
                           item.CharsPlacement == 2 || item.HAlign == AlignRight ||
                           item.HAlign == AlignLeft || item.ItemKind == KindPicture;
    if (keepPlace) m_report.props.DontConsiderForCenter = false;
    item.NoCentering = keepPlace ? 1 : 0;
    item.YRelative = yRelative;
}

ItemWriter::CursorKept ItemWriter::keepCursor(const Surface& surface) const {
    return {surface.CurrentX(), surface.CurrentY(), m_report.textStart, m_report.textEnd,
            m_report.props.CurrentX};
}

void ItemWriter::putBack(Surface& surface, const CursorKept& kept) {
    surface.setCurrentX(kept.x);
    surface.setCurrentY(kept.y);
    m_report.textStart = kept.textStart;
    m_report.textEnd = kept.textEnd;
    m_report.props.CurrentX = kept.propertyX;
    m_report.props.DontConsiderForCenter = false;
}

} // namespace palvex
