// The page members of the control: page ends, headers, footers and page numbers.

#include "PalvexPrivate.h"

#include "preview/PageCentring.h"
#include "preview/PreviewController.h"
#include "recording/GraphicsRecorder.h"
#include "recording/PageRecorder.h"

namespace palvex {

Status Palvex::printPage() {
    return d->guard(__func__, [&] { d->m_pages->printPage(); });
}

Status Palvex::printLastPage() {
    return d->guard(__func__, [&] {
        d->m_pages->finishReport();
        d->m_store.sync(); // the report store is complete on disk
        d->m_reportShown = true;
        d->m_preview->showReport();
        if (d->m_view.centreAllPages) d->m_centring->centreEveryPage();
    });
}

Status Palvex::PrintHeader() {
    return d->guard(__func__, [&] { d->m_pages->PrintHeader(); });
}
Status Palvex::checkMin1() {
    return d->guard(__func__, [&] { d->m_pages->checkMin1(); });
}
Status Palvex::checkMin2() {
    return d->guard(__func__, [&] { d->m_pages->checkMin2(); });
}

// Header setters: one field of one header; a number outside the table is subscript out of range.
#define PALVEX_HEADER_SETTER(Member, Table, Type, Field)                                           \
    Status Palvex::Member(const int16_t& X, const Type& value) {                                   \
        return d->guard(__func__, [&] { d->m_pages->Table(X).Field = value; });                    \
    }

PALVEX_HEADER_SETTER(fxNameHeader, lineHeader, QString, text)
PALVEX_HEADER_SETTER(fxFontNameHeader, lineHeader, QString, fontName)
PALVEX_HEADER_SETTER(fxFontsizeHeader, lineHeader, float, fontSize)
PALVEX_HEADER_SETTER(fxFontBoldHeader, lineHeader, bool, bold)
PALVEX_HEADER_SETTER(fxFontUnderlineHeader, lineHeader, bool, underline)
PALVEX_HEADER_SETTER(fxFontItalicHeader, lineHeader, bool, italic)
PALVEX_HEADER_SETTER(fxForecolorHeader, lineHeader, int32_t, color)
PALVEX_HEADER_SETTER(fxAlignHeader, lineHeader, AlignType, align)
PALVEX_HEADER_SETTER(fxKindOfHeader, lineHeader, KindOfHeaderType, kind)
PALVEX_HEADER_SETTER(fxEnterAfterHeader, lineHeader, int16_t, linesAfter)
PALVEX_HEADER_SETTER(fxLinesBeforeHeader, lineHeader, int16_t, linesBefore)
PALVEX_HEADER_SETTER(fxNameAnyHeader, positionedHeader, QString, text)
PALVEX_HEADER_SETTER(fxFontNameAnyHeader, positionedHeader, QString, fontName)
PALVEX_HEADER_SETTER(fxFontsizeAnyHeader, positionedHeader, float, fontSize)
PALVEX_HEADER_SETTER(fxFontBoldAnyHeader, positionedHeader, bool, bold)
PALVEX_HEADER_SETTER(fxFontUnderlineAnyHeader, positionedHeader, bool, underline)
PALVEX_HEADER_SETTER(fxFontItalicAnyHeader, positionedHeader, bool, italic)
PALVEX_HEADER_SETTER(fxForecolorAnyHeader, positionedHeader, int32_t, color)
PALVEX_HEADER_SETTER(fxAlignAnyHeader, positionedHeader, AlignType, align)
PALVEX_HEADER_SETTER(fxKindOfAnyHeader, positionedHeader, KindOfHeaderType, kind)
PALVEX_HEADER_SETTER(fxCurXAnyHeader, positionedHeader, int16_t, x)
PALVEX_HEADER_SETTER(fxCurYAnyHeader, positionedHeader, int16_t, y)
#undef PALVEX_HEADER_SETTER

Status Palvex::fxCurXHeader(const int16_t& X, const float& CX) {
    return d->guard(__func__, [&] {
        LineHeader& header = d->m_pages->lineHeader(X);
        requireTwips(CX);
        header.x = CX;
    });
}

Status Palvex::Footer1Right(const Footer1Number& kdOneToFour, const QString& TXT,
                            const QString& R1FontName, const float& R1FontSize,
                            const bool& R1FontBold, const bool& R1FontItalic,
                            const bool& R1FontUnderline, const int32_t& R1Forecolor) {
    return d->guard(__func__, [&] {
        d->m_pages->footer(kdOneToFour) = {TXT,          R1FontName,      R1FontSize, R1FontBold,
                                           R1FontItalic, R1FontUnderline, R1Forecolor};
    });
}

Status Palvex::PrintingLineAbovePagenumber(const QString& CharforPrintingTheLine) {
    d->m_report.lineAbovePageNumber =
        CharforPrintingTheLine.isEmpty() ? QLatin1Char(' ') : CharforPrintingTheLine.at(0);
    return Status::Ok;
}

Status Palvex::fxNumberOfFirstPage(const int16_t& X) {
    d->m_report.firstPageNumber = X;
    return Status::Ok;
}

// The page number's font is fixed; these answer as the interface always has.
Status Palvex::fxFontnameNumberpage(Out<QString> result) {
    result = QString();
    return Status::Ok;
}
Status Palvex::fxFontsizeNumberpage(Out<float> result) {
    result = 0.0f;
    return Status::Ok;
}
Status Palvex::fxForecolorNumberpage(Out<int32_t> result) {
    result = 0;
    return Status::Ok;
}
Status Palvex::fxFontboldNumberpage(Out<bool> result) {
    result = false;
    return Status::Ok;
}

} // namespace palvex

namespace palvex {

Status Palvex::tfCenterPages(const bool& CN) {
    d->m_view.centreAllPages = CN;
    return Status::Ok;
}

} // namespace palvex
