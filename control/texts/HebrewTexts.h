#pragma once

#include <QString>

#include <array>

namespace palvex {

// Every text the preview window shows, as one set a host can put in place in one call.
struct WindowTextSet {
    std::array<QString, 8> buttons;  // the toolbar, by button index
    std::array<QString, 3> toolTips; // Close, zoom in, zoom out
    std::array<QString, 6> moreOptions;
    std::array<QString, 5> margins;     // the frame, then left, right, top, bottom
    std::array<QString, 5> zoomOptions; // the frame, the label, currentX, height, width
    QString defaultMargins;
    QString ok, cancel; // of the printer, margins and zoom-options panels alike

    QString printerFrame, printerName, copies, quality, printZoom, fromPage, toPage, printSetup;
    std::array<QString, 11> qualityEntries;  // draft, low, medium, high, then 300 to 2100 dpi
    std::array<QString, 2> printZoomEntries; // the preview's zoom ignored, applied

    QString searchFrame, searchPrompt, searchButton;

    QString pageCaption;       // before each number of the page list
    QString formattingCaption; // before the number of pages formatted so far
    QString centringWait;
    QString cancelPrinting;
    std::array<QString, 4> messages; // by txtMessageType
};

// The window in Hebrew, worded as a Hebrew business application words its print preview.
const WindowTextSet& hebrewTexts();

} // namespace palvex
