#pragma once

#include "recording/PendingItem.h"
#include <palvex/Enumerations.h>

#include <QString>

namespace palvex {

struct ReportState;
class ItemWriter;
class Surface;

// The text methods: plain and aligned text, mixed-language lines, text centred between two
// points, and line ends. Each keeps its own copy of the host's text.
class TextRecorder {
public:
    TextRecorder(ReportState& report, ItemWriter& writer, Surface& recordingSurface)
        : m_report(report), m_writer(writer), m_pic(recordingSurface) {}

    // `marks` says what else the item is (its role, a footer's flags); its kind, alignment and
    // text are the call's.
    void printText(const QString& text, int32_t entr, int16_t align, PendingItem marks = {});
    void centerMixedLanguages(const QString& text);
    void SpecialCenter(float startX, float endX, const QString& text, int32_t entr, float startY,
                       float endY);
    void JumpToNextLine();
    // A centred text whose four coordinate fields are already written (a printout line's).
    void recordSpecialCenter(int16_t kind, const QString& text, const QString& numbers);

    // Measured on the hidden recording surface, whatever surface is current.
    float TextWidth(const QString& text) const;
    float TextHeight(const QString& text) const;

private:
    ReportState& m_report;
    ItemWriter& m_writer;
    Surface& m_pic;
};

// The item kind a text method records for an Entr value: 0 is a line end, 2 a text that ends
// its line, anything else a text that stays on the line. Overflow beyond 16 bits.
int16_t textKindForEntr(int32_t entr);

} // namespace palvex
