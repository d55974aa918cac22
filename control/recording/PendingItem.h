#pragma once

#include "core/ItemRole.h"
#include "recording/ShapeParams.h"

#include <QString>

#include <cstdint>

namespace palvex {

// A character run's direction and its two points.
struct PendingRun {
    float start = 0, end = 0;
    int32_t direction = 0;
};

// A picture: its file name, its size in hundredths of a millimetre, the cursor's y (whole twips)
// when the call began, and the words that say what it shows to someone who cannot see it.
struct PendingPicture {
    QString fileName;
    double width = 0, height = 0;
    double rememberedY = 0;
    QString altText;
};

// What a recording call asks the item writer to store: built by the recorder as a value and
// handed over whole, so nothing of one item can reach the next.
struct PendingItem {
    int16_t kind = 0;
    int16_t align = 0;
    int16_t valign = 0;
    int16_t charsPlacement = 0;
    int16_t footerFlag = 0;
    int16_t yRelative = 0;
    QString text;                 // the host's text; a run's one character
    QString specialCenterNumbers; // the four coordinates of a SpecialCenter call, 40 characters
    PendingRun run;
    ShapeParams shape; // a box, line or circle
    PendingPicture picture;
    // The item's role; Unmarked takes the role the host set for its texts (ItemRole), or the
    // kind's own (a picture, a decoration).
    ItemTag tag;
};

// What the host said about the items it records next, kept between its calls.
struct HostMarks {
    int16_t yRelative = 0; // the next item only (fxProporional_CurrentY)
    // The role of the host's texts until the line they are on ends (ItemRole).
    ItemRole textRole = ItemRole::Body;
    uint8_t headingLevel = 0;
    QString pictureAltText; // the next picture's (PictureAltText)
};

} // namespace palvex
