#pragma once

#include "core/EnumArray.h"
#include <palvex/Enumerations.h>

#include <QString>

#include <array>

namespace palvex {

// The toolbar's buttons in their order on the bar: the child controls named "cmd", whose
// "index" property is this value.
enum class ToolbarButton { Close, Print, First, Previous, Next, Last, Search, ContinueSearch };
inline constexpr std::size_t ToolbarButtonCount = 8;

template <class T> using PerButton = EnumArray<ToolbarButton, T, ToolbarButtonCount>;
// The control's own four messages, by the host's name for them.
template <class T> using PerMessage = EnumArray<txtMessageType, T, 4>;

// Every text the preview window shows, as one set: the English one the window starts with, and
// the Hebrew one a host puts in place with one call.
struct WindowTextSet {
    PerButton<QString> buttons;
    std::array<QString, 4> toolTips; // Close, zoom in, zoom out, the page strip's button
    std::array<QString, 6> moreOptions;
    std::array<QString, 5> margins; // the frame, then left, right, top, bottom
    // The frame, the label, currentX, height, width; then the zoom list's fit-width and
    // fit-page entries.
    std::array<QString, 7> zoomOptions;
    QString thumbnailsButton; // the tool bar button that shows and hides the page strip
    QString defaultMargins;
    QString ok, cancel; // of the printer, margins and zoom-options panels alike

    QString printerFrame, printerName, copies, quality, printZoom, fromPage, toPage, printSetup;
    // The printer panel's Export (to a PDF or a spreadsheet file), and what it says when the
    // file could not be written.
    QString exportFile, exportFailed;
    std::array<QString, 11> qualityEntries;  // draft, low, medium, high, then 300 to 2100 dpi
    std::array<QString, 2> printZoomEntries; // the preview's zoom ignored, applied

    QString searchFrame, searchPrompt, searchButton;

    QString pageCaption;       // before each number of the page list
    QString formattingCaption; // before the number of pages formatted so far
    QString centringWait;
    QString cancelPrinting;
    PerMessage<QString> messages;

    // What a screen reader says besides the captions, which it reads as shown.
    struct Accessible {
        PerButton<QString> buttons; // what each tool bar button does
        QString thumbnailsButton;   // what the page strip's button does
        QString thumbnails;         // the page strip
        QString pageList, zoomList; // the two lists of the tool bar, which have no label
        QString page;               // the page canvas: "%1" the page's number, "%2" the count
        QString pageText;           // what the canvas holds
    } accessible;
};

// The window as it starts, in English; the list entries a host is expected to word are blank.
const WindowTextSet& englishTexts();
// The window in Hebrew, worded as a Hebrew business application words its print preview.
const WindowTextSet& hebrewTexts();

} // namespace palvex
