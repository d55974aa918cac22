#pragma once

#include <QString>

#include <cstdint>

namespace palvex {

// The parameters of a box, line or circle as they travel in the record's 180-character text:
// fixed-width number fields at fixed positions, then the inside text.
struct ShapeParams {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // corners or end points; x1, y1 the centre of a circle
    int32_t width = 1;                    // pen width in pixels
    int32_t color = 0;                    // line colour, box border and fill, circle fill
    int32_t drawStyle = 0, drawMode = 13, fillStyle = 1;
    float radius = 0;
    float start = 0, end = 0; // radians
    float aspect = 0;         // > 0: given
    int32_t outline = 0;      // a circle's outline colour
    int32_t align = 0;
    QString inside; // at most 60 characters

    QString encode() const;
    static ShapeParams decode(const QString& itemText);
};

// A character run's fields: the character, its direction and its two points.
struct RunParams {
    QChar character;
    int32_t direction = 0;
    float start = 0, end = 0;

    static RunParams decode(const QString& itemText);
};

// A picture's fields: the file name and the picture's size in hundredths of a millimetre.
struct PictureParams {
    QString fileName;
    float width = 0, height = 0;

    static PictureParams decode(const QString& itemText);
};

// A text centred between points: its text and the four coordinates.
struct SpecialCenterParams {
    QString text;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    static SpecialCenterParams decode(const QString& itemText);
};

// A stored number field read the forgiving way (0 when it holds none, or too large a value).
float fieldNumber(const QString& text, qsizetype from, qsizetype width);

} // namespace palvex
