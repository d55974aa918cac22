// The layout members: margins from code, paragraphs, tables, the page number's format and
// pictures to size.

#include "PalvexPrivate.h"

#include "core/NumberText.h"
#include "platform/Surface.h"
#include "preview/OptionPanels.h"
#include "preview/PreviewStartup.h"
#include "recording/GraphicsRecorder.h"
#include "recording/LayoutRecorder.h"
#include "recording/PageLines.h"
#include "recording/PropertyRules.h"

#include <array>
#include <cmath>

namespace palvex {

namespace {

// The least a page keeps for its report each way between the margins: 2 cm.
constexpr float LeastRoom = 2 * TwipsPerCm;

} // namespace

Status Palvex::SetMargins(const float& Left, const float& Top, const float& Right,
                          const float& Bottom) {
    return d->guard(__func__, [&] {
        if (!d->m_store.definitionsOpen())
            refuse(Status::BadFileName,
                   QStringLiteral("there is no report yet; call StartPalvexPrintPreview first"));
        const std::array<float, 4> given{Left, Right, Top, Bottom};
        const std::array<const char*, 4> names{"left", "right", "top", "bottom"};
        std::array<int, 4> indexes{};
        for (size_t i = 0; i < 4; ++i) {
            if (!(given[i] >= 0) || !withinPageRange(given[i]))
                refuse(Status::InvalidPropertyValue,
                       QStringLiteral("the %1 margin %2 twips is not a margin; a margin is 0 "
                                      "or more")
                           .arg(QLatin1StringView(names[i]), formatSingle(given[i])));
            // Kept, as the panel keeps them, to a hundredth of a centimetre.
            indexes[i] = int(std::lround(given[i] / TwipsPerCm / 0.01));
        }
        const ReportState& report = d->m_report;
        const float left = marginTwips(indexes[0]), right = marginTwips(indexes[1]);
        const float top = marginTwips(indexes[2]), bottom = marginTwips(indexes[3]);
        const float across = report.unzoomed.scaleWidth - left - right;
        if (across < LeastRoom)
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("left %1 and right %2 twips leave %3 twips across the %4 "
                                  "twips of the printable area; at least %5 (2 cm) must remain")
                       .arg(formatSingle(left), formatSingle(right), formatSingle(across),
                            formatSingle(report.unzoomed.scaleWidth), formatSingle(LeastRoom)));
        // The page-number line follows the bottom margin, and the break limit lies above it.
        const float breakLimit = report.lines.unzoomedPageNumberLine() +
                                 report.savedMargins.bottom - bottom - BreakDistance;
        if (breakLimit - top < LeastRoom)
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("top %1 and bottom %2 twips leave %3 twips between the top "
                                  "margin and the break limit; at least %4 (2 cm) must remain")
                       .arg(formatSingle(top), formatSingle(bottom), formatSingle(breakLimit - top),
                            formatSingle(LeastRoom)));
        Surface* surface = report.lines.surface();
        const bool atTop =
            surface && d->m_store.itemCount() == 0 && surface->CurrentY() == report.margins.top;
        d->m_panels->useHostMargins(indexes);
        // Margins set before anything is recorded are the page's from its top: the cursor, still
        // at the old top margin, moves to the new one.
        if (atTop) {
            surface->setCurrentY(report.margins.top);
            d->m_report.props.CurrentY = report.margins.top;
        }
        if (d->m_reportShown) d->m_panels->redrawInNewMargins();
    });
}

Status Palvex::printParagraph(const QString& Text, const float& Width, const int16_t* Alignment,
                              const float* LineSpacing) {
    return d->guard(__func__, [&] {
        d->m_layout->printParagraph(Text, Width, Alignment ? *Alignment : 1,
                                    LineSpacing ? *LineSpacing : 1.0f);
    });
}

Status Palvex::TableClear() {
    return d->guard(__func__, [&] { d->m_layout->tableClear(); });
}

Status Palvex::TableAddColumn(const float& Width, const int16_t& Alignment, const QString& Header) {
    return d->guard(__func__, [&] { d->m_layout->tableAddColumn(Width, Alignment, Header); });
}

Status Palvex::TableBegin(const bool* RepeatHeader) {
    return d->guard(__func__,
                    [&] { d->m_layout->tableBegin(RepeatHeader ? *RepeatHeader : true); });
}

Status Palvex::TableRow(const QString& Cells) {
    return d->guard(__func__, [&] { d->m_layout->tableRow(Cells); });
}

Status Palvex::TableRows(const QString& Rows) {
    return d->guard(__func__, [&] { d->m_layout->tableRows(Rows); });
}

Status Palvex::TableEnd() {
    return d->guard(__func__, [&] { d->m_layout->tableEnd(); });
}

Status Palvex::get_TableLines(Out<int16_t> value) {
    value = d->m_report.props.TableLines;
    return Status::Ok;
}

Status Palvex::let_TableLines(int16_t value) {
    return d->guard(__func__, [&] {
        if (value < 0 || value > 3)
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("%1 is not 0 (no rules), 1 (under the header), 2 (between "
                                  "rows) or 3 (a grid)")
                       .arg(value));
        d->m_report.props.TableLines = value;
        d->m_properties->changed("TableLines");
    });
}

Status Palvex::get_PageNumberFormat(Out<QString> value) {
    value = d->m_report.props.PageNumberFormat;
    return Status::Ok;
}

Status Palvex::let_PageNumberFormat(const QString& value) {
    d->m_report.props.PageNumberFormat = value;
    d->m_properties->changed("PageNumberFormat");
    return Status::Ok;
}

Status Palvex::printPictureSized(const QString& Path, const float& Width, const float& Height,
                                 const bool* KeepAspect, const int16_t* Alignment) {
    return d->guard(__func__, [&] {
        (void)d->m_report.lines.recordingSurface();
        requireFinite(Width, Height);
        d->m_graphics->printPicture(
            Path, Alignment ? *Alignment : 0, 0,
            GraphicsRecorder::Box{Width, Height, KeepAspect ? *KeepAspect : true});
    });
}

} // namespace palvex
