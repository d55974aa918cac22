// The graphics members of the control: character runs, boxes, lines, circles and pictures.

#include "PalvexPrivate.h"

#include "recording/GraphicsRecorder.h"
#include "recording/PrintItem.h"

#include <cmath>

namespace palvex {

Status Palvex::fxPrintingChars(float& startTwipsPoint, float& endTwipsPoint, int16_t& ASCIICode,
                               DirectionOfPrintCharsType& DR, AfterPrintType& Entr,
                               WhereToPrintChars& cKind) {
    return guarded([&] {
        requireFinite(startTwipsPoint, endTwipsPoint);
        int32_t entr = Entr, placement = cKind;
        d->m_graphics->fxPrintingChars(startTwipsPoint, endTwipsPoint, ASCIICode, DR, entr,
                                       placement);
        Entr = AfterPrintType(entr);
        cKind = WhereToPrintChars(placement);
    });
}

Status Palvex::printBox(float& bStartCurX, float& bStartCurY, float& bEndCurX, float& bEndCurY,
                        int32_t& bFillColor, int32_t& bDrawStyle, int32_t& bDrawMode,
                        int16_t& bDrawWidth, int32_t& bFillStyle, AlignType& AL,
                        QString& txtInsideBox) {
    return guarded([&] {
        requireFinite(bStartCurX, bStartCurY, bEndCurX, bEndCurY);
        if (bDrawWidth < 1) bDrawWidth = 1;
        ShapeParams p =
            d->m_report.shape.params; // radius, angles, aspect and outline stay as they were
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
        d->m_graphics->recordShape(KindBox, p, AL);
    });
}

Status Palvex::printLine(float& lStartCurX, float& lStartCurY, float& lEndCurX, float& lEndCurY,
                         int32_t& lColor, int32_t& lDrawMode, int32_t& lDrawStyle,
                         int16_t& lDrawWidth, AlignType& AL) {
    return guarded([&] {
        requireFinite(lStartCurX, lStartCurY, lEndCurX, lEndCurY);
        if (lDrawWidth < 1) lDrawWidth = 1;
        ShapeParams p =
            d->m_report.shape.params; // a line has no fill, radius, angles or inside text
        p.x1 = lStartCurX;
        p.y1 = lStartCurY;
        p.x2 = lEndCurX;
        p.y2 = lEndCurY;
        p.color = lColor;
        p.drawMode = lDrawMode;
        p.drawStyle = lDrawStyle;
        p.width = lDrawWidth;
        d->m_graphics->recordShape(KindLine, p, AL);
    });
}

Status Palvex::printCircle(float& CenterPointOfCurX, float& CenterPointOfCury, int32_t& cFillColor,
                           int32_t& cDrawStyle, int32_t& cDrawMode, int16_t& cDrawWidth,
                           int32_t& cFillStyle, float& CRadius, AlignType& AL, int32_t* cColor,
                           float* StartRadians, float* EndRadians, QString* txtInsideCircle,
                           float* AspectRatio) {
    return guarded([&] {
        // Omitted optional arguments take neutral values: black outline, a full circle, no text.
        const float start = StartRadians ? *StartRadians : 0.0f,
                    end = EndRadians ? *EndRadians : 0.0f;
        const float aspect = AspectRatio ? *AspectRatio : 0.0f;
        requireFinite(CenterPointOfCurX, CenterPointOfCury, CRadius, start, end, aspect);
        if (cDrawWidth < 1) cDrawWidth = 1;
        ShapeParams p = d->m_report.shape.params; // the end point stays as it was
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
        d->m_graphics->recordShape(KindCircle, p, AL);
    });
}

Status Palvex::printPicture(QString& txtFileBitmap, AlignPicHorizontalType& ALH,
                            AlignPicVerticalType& ALV) {
    return guarded([&] {
        if (!d->m_report.lines.surface()) palvex::raise(Status::BadFileName);
        d->m_graphics->printPicture(txtFileBitmap, ALH, ALV);
    });
}

} // namespace palvex
