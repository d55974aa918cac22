#pragma once

#include <QString>

namespace palvex {

// Where the PDF device's document is written while it prints: a new file beside the target,
// which replaces the target in one step only once the whole document is on disk. A full disk, a
// folder that went away or a process killed half-way leave the previous file as it was.
//
// The document is checked before it is kept, whatever the writer believed it wrote: its
// cross-reference stream, which the writer fills with the offsets it meant to write at, must find
// every object where it says, and the file must end with it.
class PdfOutputFile {
public:
    explicit PdfOutputFile(QString target) : m_target(std::move(target)) {}
    PdfOutputFile(const PdfOutputFile&) = delete;
    PdfOutputFile& operator=(const PdfOutputFile&) = delete;
    ~PdfOutputFile() { discard(); }

    // Makes a new, empty file with a unique name in the target's folder; false when it cannot.
    bool create();
    const QString& temporaryPath() const { return m_temporary; }
    const QString& target() const { return m_target; }
    // Checks the finished document, flushes it to disk and renames it over the target. False
    // (and the temporary file gone) when any step fails.
    bool commit();
    // Removes the temporary file, if one is left.
    void discard();

private:
    QString m_target;
    QString m_temporary;
};

} // namespace palvex
