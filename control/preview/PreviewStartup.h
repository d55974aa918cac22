#pragma once

#include <QString>

#include <string>

class QComboBox;

namespace palvex {

struct PreviewState;
struct ReportState;
class ReportStore;
class Surface;
class ImageSurface;
class Printers;

// StartPalvexPrintPreview: opens a fresh report. Empties the report store, loads the user's
// definitions, sizes the page canvas and the recording surface from the page chosen for reports
// or else the current printer (or a fixed page when there is none, or it is a fax) and resets
// what belongs to one report.
class PreviewStartup {
public:
    // Starting a report resets both the preview's state and the report's.
    PreviewStartup(PreviewState& view, ReportState& report, ReportStore& store,
                   Surface& recordingSurface, ImageSurface& canvas, Printers& printers)
        : m_view(view), m_report(report), m_store(store), m_pic(recordingSurface), m_canvas(canvas),
          m_printers(printers) {}

    // The data steps of start-up, in the order the window's start-up calls them.
    void openStore(const std::string& directory);
    void applyBackColor();
    void resetFlags();
    void applyDefinitions();
    void sizePage();
    void resetRecording();
    void resetHeaders();

    // The page without a printer: canvas 11952 x 16848 twips, scale 11150 x 16171.
    static constexpr float FixedWidth = 11952, FixedHeight = 16848;
    static constexpr float FixedScaleWidth = 11150, FixedScaleHeight = 16171;
    static constexpr float FixedPageNumberY = 14155;

private:
    PreviewState& m_view;
    ReportState& m_report;
    ReportStore& m_store;
    Surface& m_pic;
    ImageSurface& m_canvas;
    Printers& m_printers;
};

// Margins in twips from a margin list's index (hundredths of a centimetre).
float marginTwips(int index);
// The margin list index for a margin in centimetres (0.00 to 4.00).
int marginIndex(double centimetres);
// A margin list's entry for an index: "1.50".
QString marginEntry(int index);
// Selects a margin list's entry for an index. A margin beyond the list (set from code) selects
// none, and the list shows its value greyed instead of a blank.
void showMargin(QComboBox& list, int index);

} // namespace palvex
