#pragma once

#include <QString>

#include <optional>

class QIODevice;

namespace palvex {

class CodePage;
class ReportStore;
struct PrintItem;

// What the printout's numbers are scaled by, as the preview stands when the printout is written.
struct PrintoutScale {
    float zoomFactor = 1;
    bool zoomCurrentX = false;      // the zoom also scales horizontal positions of centred text
    float currentYofPageNumber = 0; // items kept relative to the page-number line are written
                                    // at their absolute position below the top
    int32_t pageCount = 0;          // what "{pages}" in a text reads
};

// Writes the printout text file: for each item that moves with the page when centred, the
// property lines that changed since the last written ones, then its item line. Lines end in
// CR LF and are written in the code page's bytes.
class PrintoutWriter {
public:
    PrintoutWriter(QIODevice& out, const CodePage& codePage, PrintoutScale scale);

    // False when the device refused the bytes.
    bool write(const PrintItem& item);

private:
    void propertyLines(const PrintItem& item);
    void booleanLine(const char* code, bool value, std::optional<bool>& last);
    void itemLine(const PrintItem& item);
    void line(const QString& text);

    QIODevice& m_out;
    const CodePage& m_codePage;
    PrintoutScale m_scale;
    bool m_failed = false;

    // The values last written; a property line is written only when its value changes.
    float m_y = 0;
    QString m_fontName;
    float m_fontSize = 0;
    int32_t m_color = 0;
    std::optional<bool> m_bold, m_underline, m_italic, m_strikethru;
    int32_t m_runDirection = 0; // of the last character run, carried by centred-text lines
};

// Writes every record the store's file holds; false when writing failed.
// The byte order mark that opens a printout written in UTF-8.
inline constexpr char Utf8Mark[] = "\xEF\xBB\xBF";

bool writePrintout(const ReportStore& store, const CodePage& codePage, PrintoutScale scale,
                   QIODevice& out);

// Item text as one printout line: line breaks and NUL bytes would split or cut it.
QString blankLineBreaks(QString text);

} // namespace palvex
