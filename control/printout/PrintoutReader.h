#pragma once

#include "core/Guarded.h"

#include <QString>

#include <optional>

class QIODevice;

namespace palvex {

// Where a printout's lines go: the recording calls a host would make, each answering with the
// status the host would get.
class CodePage;

class PrintoutSink {
public:
    virtual ~PrintoutSink() = default;
    virtual float currentY() = 0;
    virtual Status setCurrentX(float x) = 0;
    virtual Status setCurrentY(float y) = 0;
    virtual Status setFontName(const QString& name) = 0;
    virtual Status setFontSize(float size) = 0;
    virtual Status setForeColor(int32_t color) = 0;
    virtual Status setFontBold(bool on) = 0;
    virtual Status setFontUnderline(bool on) = 0;
    virtual Status setFontItalic(bool on) = 0;
    virtual Status setFontStrikethru(bool on) = 0;
    virtual Status jumpToNextLine() = 0;
    // kind 1 or 2
    virtual Status recordText(int16_t kind, int16_t align, const QString& text) = 0;
    // kind 3 or 4; `numbers` are the four 10-character coordinate fields as they stand
    virtual Status recordSpecialCenter(int16_t kind, const QString& text, const QString& numbers,
                                       int32_t direction) = 0;
    virtual Status recordRun(QChar character, int32_t direction, float start, float end) = 0;
};

// Reads a printout text file into the report being recorded, below where it stands. Lines may
// end in CR LF, LF or CR; short lines read their missing columns as blanks; unknown codes are
// ignored. Reading stops at the first refused value (too large a number, or a status the
// recording calls return); what was recorded before stays.
class PrintoutReader {
public:
    PrintoutReader(QIODevice& in, PrintoutSink& sink, const CodePage& codePage);

    // True when the whole file was read; false when a line stopped it.
    bool read();

private:
    bool line(const QString& text);
    // The number in a field, read the forgiving way; empty when it is out of range.
    static std::optional<float> number(QStringView field);
    // A yet unshifted vertical position moved by the offset of the file's first "22" line.
    float shifted(float y);

    QIODevice& m_in;
    PrintoutSink& m_sink;
    const CodePage& m_codePage;
    int16_t m_align = 0;
    bool m_offsetKnown = false;
    float m_offset = 0;
};

// The page a printout is written in: UTF-8 when it opens with the UTF-8 mark (which is then
// read past), else the process's single-byte page, as every printout without the mark was
// written.
const CodePage& printoutCodePage(QIODevice& in);

} // namespace palvex
