// The layout members: margins from code, paragraphs, tables, the page number's format and
// pictures to size.

#include "PalvexPrivate.h"

#include "preview/OptionPanels.h"
#include "preview/PreviewStartup.h"
#include "recording/GraphicsRecorder.h"
#include "recording/LayoutRecorder.h"
#include "recording/PageLines.h"
#include "recording/PropertyRules.h"
#include "platform/Surface.h"

#include <array>
#include <cmath>

namespace palvex {

Status Palvex::SetMargins(const float& Left, const float& Top, const float& Right,
                          const float& Bottom) {
    return guarded([&] {
        if (!d->m_store.definitionsOpen()) palvex::raise(Status::BadFileName); // before any start
        const std::array<float, 4> twips{Left, Right, Top, Bottom};
        std::array<int, 4> indexes{};
        for (size_t i = 0; i < 4; ++i) {
            // The panel's own range: 0 to 4 cm in hundredths.
            if (!(twips[i] >= 0) || twips[i] > marginTwips(400) + 0.5f)
                palvex::raise(Status::InvalidPropertyValue);
            indexes[i] = int(std::lround(twips[i] / TwipsPerCm / 0.01));
        }
        const ReportState& report = d->m_report;
        const float left = marginTwips(indexes[0]), right = marginTwips(indexes[1]);
        const float top = marginTwips(indexes[2]), bottom = marginTwips(indexes[3]);
        // Room for a line across and down: the page-number line follows the bottom margin.
        const float breakLimit = report.lines.unzoomedPageNumberLine() +
                                 report.savedMargins.bottom - bottom - BreakDistance;
        if (left + right >= report.unzoomed.scaleWidth || top >= breakLimit)
            palvex::raise(Status::InvalidPropertyValue);
        Surface* surface = report.lines.surface();
        const bool atTop = surface && d->m_store.itemCount() == 0 &&
                           surface->CurrentY() == report.margins.top;
        d->m_panels->applyMargins(indexes);
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
    return guarded([&] {
        d->m_layout->printParagraph(Text, Width, Alignment ? *Alignment : 1,
                                    LineSpacing ? *LineSpacing : 1.0f);
    });
}

Status Palvex::TableClear() {
    return guarded([&] { d->m_layout->tableClear(); });
}

Status Palvex::TableAddColumn(const float& Width, const int16_t& Alignment, const QString& Header) {
    return guarded([&] { d->m_layout->tableAddColumn(Width, Alignment, Header); });
}

Status Palvex::TableBegin(const bool* RepeatHeader) {
    return guarded([&] { d->m_layout->tableBegin(RepeatHeader ? *RepeatHeader : true); });
}

Status Palvex::TableRow(const QString& Cells) {
    return guarded([&] { d->m_layout->tableRow(Cells); });
}

Status Palvex::TableRows(const QString& Rows) {
    return guarded([&] { d->m_layout->tableRows(Rows); });
}

Status Palvex::TableEnd() {
    return guarded([&] { d->m_layout->tableEnd(); });
}

Status Palvex::get_TableLines(Out<int16_t> value) {
    value = d->m_report.props.TableLines;
    return Status::Ok;
}

Status Palvex::let_TableLines(int16_t value) {
    if (value < 0 || value > 3) return Status::InvalidPropertyValue;
    d->m_report.props.TableLines = value;
    d->m_properties->changed("TableLines");
    return Status::Ok;
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
    return guarded([&] {
        if (!d->m_report.lines.surface()) palvex::raise(Status::BadFileName);
        requireFinite(Width, Height);
        d->m_graphics->printPicture(
            Path, Alignment ? *Alignment : 0, 0,
            GraphicsRecorder::Box{Width, Height, KeepAspect ? *KeepAspect : true});
    });
}

} // namespace palvex
