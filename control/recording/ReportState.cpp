#include "ReportState.h"

namespace palvex {

void ReportState::takeMargins(const Margins& chosen) {
    margins = chosen;
    if (margins.bottom != savedMargins.bottom)
        lines.placePageNumberLine(lines.unzoomedPageNumberLine() + savedMargins.bottom -
                                  margins.bottom);
    savedMargins = margins;
}

void ReportState::close() {
    lines.drawNowhere();
    pageFooterCount = 0;
    firstPageNumber = 0;
}

} // namespace palvex
