#include "TextRecorder.h"

#include "core/CodePage.h"

#include "ItemWriter.h"
#include "PrintItem.h"
#include "core/FixedField.h"
#include "core/Guarded.h"
#include "core/NumberText.h"
#include "platform/Surface.h"
#include "recording/ReportState.h"

#include <cmath>
#include <limits>

namespace palvex {

int16_t textKindForEntr(int32_t entr) {
    if (entr < std::numeric_limits<int16_t>::min() || entr > std::numeric_limits<int16_t>::max())
        raise(Status::Overflow);
    // A text must never turn into a SpecialCenter, picture, run or shape record.
    if (entr == 0) return KindNone;
    return entr == 2 ? KindTextNewLine : KindText;
}

void TextRecorder::printText(const QString& text, int32_t entr, int16_t align, PendingItem marks) {
    marks.kind = textKindForEntr(entr);
    marks.align = align;
    marks.text = text;
    m_writer.write(marks);
}

void TextRecorder::centerMixedLanguages(const QString& text) {
    PendingItem item;
    item.kind = KindText;
    item.align = AlignMixedLanguages;
    item.text = text;
    m_writer.write(item);
}

void TextRecorder::SpecialCenter(float startX, float endX, const QString& text, int32_t entr,
                                 float startY, float endY) {
    if (entr < std::numeric_limits<int16_t>::min() || entr > std::numeric_limits<int16_t>::max())
        raise(Status::Overflow);
    (void)m_report.lines.recordingSurface();
    PendingItem item;
    item.text = trimBlanks(text);
    if (!item.text.isEmpty()) {
        item.specialCenterNumbers =
            FitRight(formatSingle(startX), 10) + FitRight(formatSingle(endX), 10) +
            FitRight(formatSingle(startY), 10) + FitRight(formatSingle(endY), 10);
        m_report.lines.surface()->setCurrentY(startY);
    }
    item.kind = entr == 2 ? KindSpecialCenterNewLine : KindSpecialCenter;
    m_writer.write(item);
}

void TextRecorder::recordSpecialCenter(int16_t kind, const QString& text, const QString& numbers) {
    PendingItem item;
    item.text = text;
    item.specialCenterNumbers = numbers;
    item.kind = kind;
    m_writer.write(item);
}

void TextRecorder::JumpToNextLine() {
    m_writer.write(PendingItem{});
}

// A host lays its texts out with these: they measure what will be stored.
float TextRecorder::TextWidth(const QString& text) const {
    const float width = m_pic.TextWidth(m_report.page().storedForm(text));
    if (!std::isfinite(width)) raise(Status::Overflow); // beyond what a Single holds
    return width;
}
float TextRecorder::TextHeight(const QString& text) const {
    return m_pic.TextHeight(m_report.page().storedForm(text));
}

} // namespace palvex
