#pragma once

#include <QString>

class QFile;

namespace palvex {

// Opens a printout for reading only when it is a regular file. A device (/dev/zero), a FIFO or a
// directory never ends, may block the open itself, or holds no lines: each is a file that cannot
// be opened, so reading is bounded by the file's length. False when it cannot be read.
bool openPrintoutSource(QFile& file, const QString& fileName);

} // namespace palvex
