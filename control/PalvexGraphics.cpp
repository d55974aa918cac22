// The graphics members of the control: character runs, boxes, lines, circles and pictures.

#include "PalvexPrivate.h"

#include "recording/GraphicsRecorder.h"
#include "recording/PrintItem.h"

#include <cmath>

namespace palvex {

Status Palvex::fxPrintingChars(const float& startTwipsPoint, const float& endTwipsPoint,
                               const int16_t& ASCIICode, const DirectionOfPrintCharsType& DR,
                               AfterPrintType& Entr, WhereToPrintChars& cKind) {
    return d->guard(__func__, [&] {
        requireTwips(startTwipsPoint, endTwipsPoint);
        int32_t entr = Entr, placement = cKind;
        d->m_graphics->fxPrintingChars(startTwipsPoint, endTwipsPoint, ASCIICode, DR, entr,
                                       placement);
        Entr = AfterPrintType(entr);
        cKind = WhereToPrintChars(placement);
    });
}

Status Palvex::printBox(const float& bStartCurX, const float& bStartCurY, const float& bEndCurX,
                        const float& bEndCurY, const int32_t& bFillColor, const int32_t& bDrawStyle,
                        const int32_t& bDrawMode, int16_t& bDrawWidth, const int32_t& bFillStyle,
                        const AlignType& AL, const QString& txtInsideBox) {
    return d->guard(__func__, [&] {
        requireTwips(bStartCurX, bStartCurY, bEndCurX, bEndCurY);
        if (bDrawWidth < 1) bDrawWidth = 1;
        ShapeParams p =
            d->m_report.lastShape; // radius, angles, aspect and outline stay as they were
        p.x1 = bStartCurX;
        p.y1 = bStartCurY;
        p.x2 = bEndCurX;
        p.y2 = bEndCurY;
        p.color = bFillColor;
        p.drawStyle = bDrawStyle;
        p.drawMode = bDrawMode;
        p.width = bDrawWidth;
        p.fillStyle = bFillStyle;
        p.inside = txtInsideBox.left(60);
        d->m_graphics->recordHostShape(KindBox, p, AL);
    });
}

Status Palvex::printLine(const float& lStartCurX, const float& lStartCurY, const float& lEndCurX,
                         const float& lEndCurY, const int32_t& lColor, const int32_t& lDrawMode,
                         const int32_t& lDrawStyle, int16_t& lDrawWidth, const AlignType& AL) {
    return d->guard(__func__, [&] {
        requireTwips(lStartCurX, lStartCurY, lEndCurX, lEndCurY);
        if (lDrawWidth < 1) lDrawWidth = 1;
        ShapeParams p = d->m_report.lastShape; // a line has no fill, radius, angles or inside text
        p.x1 = lStartCurX;
        p.y1 = lStartCurY;
        p.x2 = lEndCurX;
        p.y2 = lEndCurY;
        p.color = lColor;
        p.drawMode = lDrawMode;
        p.drawStyle = lDrawStyle;
        p.width = lDrawWidth;
        d->m_graphics->recordHostShape(KindLine, p, AL);
    });
}

Status Palvex::printCircle(const float& CenterPointOfCurX, const float& CenterPointOfCury,
                           const int32_t& cFillColor, const int32_t& cDrawStyle,
                           const int32_t& cDrawMode, int16_t& cDrawWidth, const int32_t& cFillStyle,
                           const float& CRadius, const AlignType& AL, const int32_t* cColor,
                           const float* StartRadians, const float* EndRadians,
                           const QString* txtInsideCircle, const float* AspectRatio) {
    return d->guard(__func__, [&] {
        // Omitted optional arguments take neutral values: black outline, a full circle, no text.
        const float start = StartRadians ? *StartRadians : 0.0f,
                    end = EndRadians ? *EndRadians : 0.0f;
        const float aspect = AspectRatio ? *AspectRatio : 0.0f;
        requireFinite(start, end, aspect);
        requireTwips(CenterPointOfCurX, CenterPointOfCury, CRadius);
        if (cDrawWidth < 1) cDrawWidth = 1;
        ShapeParams p = d->m_report.lastShape; // the end point stays as it was
        p.x1 = CenterPointOfCurX;
        p.y1 = CenterPointOfCury;
        p.color = cFillColor;
        p.drawStyle = cDrawStyle;
        p.drawMode = cDrawMode;
        p.width = cDrawWidth;
        p.fillStyle = cFillStyle;
        p.radius = CRadius;
        p.outline = cColor ? *cColor : 0;
        p.start = start;
        p.end = end;
        p.inside = txtInsideCircle ? txtInsideCircle->left(60) : QString();
        p.aspect = aspect;
        d->m_graphics->recordHostShape(KindCircle, p, AL);
    });
}

Status Palvex::printPicture(const QString& txtFileBitmap, const AlignPicHorizontalType& ALH,
                            const AlignPicVerticalType& ALV) {
    return d->guard(__func__, [&] {
        (void)d->m_report.lines.recordingSurface();
        d->m_graphics->printPicture(txtFileBitmap, ALH, ALV);
    });
}

Status Palvex::fxPrintingChars(const float& startTwipsPoint, const float& endTwipsPoint,
                               const int16_t& ASCIICode, const DirectionOfPrintCharsType& DR,
                               const AfterPrintType& Entr, const WhereToPrintChars& cKind) {
    AfterPrintType entrCopy = Entr;
    WhereToPrintChars cKindCopy = cKind;
    return fxPrintingChars(startTwipsPoint, endTwipsPoint, ASCIICode, DR, entrCopy, cKindCopy);
}

Status Palvex::printBox(const float& bStartCurX, const float& bStartCurY, const float& bEndCurX,
                        const float& bEndCurY, const int32_t& bFillColor, const int32_t& bDrawStyle,
                        const int32_t& bDrawMode, const int16_t& bDrawWidth,
                        const int32_t& bFillStyle, const AlignType& AL,
                        const QString& txtInsideBox) {
    int16_t bDrawWidthCopy = bDrawWidth;
    return printBox(bStartCurX, bStartCurY, bEndCurX, bEndCurY, bFillColor, bDrawStyle, bDrawMode,
                    bDrawWidthCopy, bFillStyle, AL, txtInsideBox);
}

Status Palvex::printLine(const float& lStartCurX, const float& lStartCurY, const float& lEndCurX,
                         const float& lEndCurY, const int32_t& lColor, const int32_t& lDrawMode,
                         const int32_t& lDrawStyle, const int16_t& lDrawWidth,
                         const AlignType& AL) {
    int16_t lDrawWidthCopy = lDrawWidth;
    return printLine(lStartCurX, lStartCurY, lEndCurX, lEndCurY, lColor, lDrawMode, lDrawStyle,
                     lDrawWidthCopy, AL);
}

Status Palvex::printCircle(const float& CenterPointOfCurX, const float& CenterPointOfCury,
                           const int32_t& cFillColor, const int32_t& cDrawStyle,
                           const int32_t& cDrawMode, const int16_t& cDrawWidth,
                           const int32_t& cFillStyle, const float& CRadius, const AlignType& AL,
                           const int32_t* cColor, const float* StartRadians,
                           const float* EndRadians, const QString* txtInsideCircle,
                           const float* AspectRatio) {
    int16_t cDrawWidthCopy = cDrawWidth;
    return printCircle(CenterPointOfCurX, CenterPointOfCury, cFillColor, cDrawStyle, cDrawMode,
                       cDrawWidthCopy, cFillStyle, CRadius, AL, cColor, StartRadians, EndRadians,
                       txtInsideCircle, AspectRatio);
}

} // namespace palvex
