#pragma once

#include "KeptFile.h"

namespace palvex {

// Where the PDF device's document is written while it prints (see KeptFile).
//
// The document is checked before it is kept, whatever the writer believed it wrote: its
// cross-reference stream, which the writer fills with the offsets it meant to write at, must find
// every object where it says, and the file must end with it.
class PdfOutputFile {
public:
    explicit PdfOutputFile(QString target) : m_file(std::move(target)) {}

    bool create() { return m_file.create(); }
    const QString& temporaryPath() const { return m_file.temporaryPath(); }
    const QString& target() const { return m_file.target(); }
    // Checks the finished document, flushes it to disk and renames it over the target. False
    // (and the temporary file gone) when any step fails.
    bool commit();
    void discard() { m_file.discard(); }

private:
    KeptFile m_file;
};

} // namespace palvex
