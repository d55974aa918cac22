#pragma once

#include "texts/WindowTextSet.h"

#include <QString>

#include <array>
#include <optional>

class QComboBox;

namespace palvex {

struct PreviewState;

// Texts a host put in place of those that start-up writes afresh for every report (the page
// list's caption, the formatting and centring captions, the control's own messages, the
// printer lists' entries). Start-up writes its defaults and then these over them, so a host
// sets a text once and every later report shows it. An unset entry keeps the default; an empty
// string is a text like any other.
struct KeptTexts {
    std::optional<QString> pageCaption;
    std::optional<QString> formattingCaption;
    std::optional<QString> centringWaitMessage;
    PerMessage<std::optional<QString>> messages;
    std::array<std::optional<QString>, 11> qualityEntries;
    std::array<std::optional<QString>, 2> printZoomEntries;

    // Writes the kept texts over what start-up just set: the state's captions and messages
    // and the entries the two printer lists hold.
    void applyTo(PreviewState& state, QComboBox* quality, QComboBox* printZoom) const;
};

} // namespace palvex
