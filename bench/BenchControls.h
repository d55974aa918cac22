#pragma once

// What the benchmarks share: the preview's toolbar buttons, as a person presses them.

#include "Palvex.h"

#include <QPushButton>

namespace palvex::bench {

inline QPushButton* toolbarButton(Palvex& ctl, int index) {
    for (QPushButton* b : ctl.findChildren<QPushButton*>(QStringLiteral("cmd")))
        if (b->property("index").toInt() == index) return b;
    return nullptr;
}

} // namespace palvex::bench
