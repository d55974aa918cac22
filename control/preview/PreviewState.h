#pragma once

#include "preview/KeptTexts.h"
#include "printing/PrintJob.h"
#include "recording/Definitions.h"
#include "texts/WindowTextSet.h"

#include <QString>

#include <array>
#include <cstdint>

namespace palvex {

// What the preview window keeps between its events: the page shown, the zoom, the scroll ranges,
// the armed lists, the centring flags, the captions and messages, and the options the user saved.
// The report it shows is recording's; see ReportState.
struct PreviewState {
    int32_t currentPage = 0; // the displayed page number shown
    Definitions definitions = Definitions::initial(Definitions::DefaultMarginsCm);
    std::array<int, 4> marginIndexes{150, 150, 150, 350}; // the margin lists' selections

    int hRange = 0, vRange = 0;           // scroll ranges (twips) for the canvas as drawn
    int savedHRange = 0, savedVRange = 0; // the same at 100 %
    int vScrollAllowance = 0;
    bool pageListArmed = false;
    bool zoomListArmed = false;
    bool centreAllPages = false;
    bool centringInProgress = false;
    bool colorChanged = false;
    PerMessage<QString> previewMessages;
    QString centringWaitMessage;
    PerButton<QString> buttonCaptions; // the host's toolbar captions, applied at start
    QString thumbnailsButtonCaption;   // the host's caption of the page strip's button
    QString formattingCaption = englishTexts().formattingCaption;
    QString pageCaption = englishTexts().pageCaption;
    QString exportFailedCaption = englishTexts().exportFailed;
    KeptTexts keptTexts; // the host's texts for the ones above, which every start resets
    float zoomFactor = 1.0f;
    bool zoomCurrentX = true, zoomWidth = false, zoomHeight = false; // the zoom option boxes
    // The zoom list's last two entries: the zoom follows the viewport's size, and the page is
    // scaled as a whole (width and height) whatever the option boxes say.
    enum class ZoomFit { None, Width, Page };
    ZoomFit zoomFit = ZoomFit::None;
    bool scalesWidth() const { return zoomWidth || zoomFit != ZoomFit::None; }
    bool scalesHeight() const { return zoomHeight || zoomFit != ZoomFit::None; }
    PrintZoom printZoom() const {
        return {zoomFactor, zoomCurrentX, scalesWidth(), scalesHeight()};
    }
    bool thumbnailsAtStart = false; // ShowThumbnails: the page strip shows when a report opens
    bool pagesCentred = false;
    bool searchContinue = false;

    // A print of the pages at 100 % leaves the preview at 100 % too; the canvas keeps its size
    // until the next page is drawn.
    void dropZoom() { zoomFactor = 1.0f; }
    // The preview lives in the control's own place in a host's layout instead of covering the
    // screen, and its Close hides it instead of closing the host's window.
    bool embedded = false;
};

} // namespace palvex
