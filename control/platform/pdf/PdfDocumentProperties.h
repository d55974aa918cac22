#pragma once

#include <QString>

namespace palvex::pdf {

// What a PDF says about itself: its information dictionary and XMP metadata, and whether it is
// written as an archive (PDF/A-2b: fonts embedded, an sRGB output intent, XMP metadata).
struct DocumentProperties {
    QString title;
    QString author;
    QString subject;
    QString keywords;
    bool archive = false;
};

} // namespace palvex::pdf
