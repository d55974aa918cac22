#pragma once

#include <QString>

namespace palvex {

// What a PDF says about itself: its information dictionary and XMP metadata, its language, and
// the standards it is written to. Every PDF is tagged; `archive` makes it PDF/A-2b (fonts
// embedded, an sRGB output intent, XMP metadata) and `accessible` PDF/UA-1 (a title shown in
// the window, every picture with alternative text), the two together both.
struct DocumentProperties {
    QString title;
    QString author;
    QString subject;
    QString keywords;
    QString language = QStringLiteral("he-IL"); // BCP 47, the document's /Lang
    bool archive = false;
    bool accessible = false;

    // The standards as a host names them: "", "PDF/A-2b", "PDF/UA-1", "PDF/A-2b+PDF/UA-1".
    QString conformance() const;
    // Takes a name as conformance() gives it (in any case, "none" for ""); false, changing
    // nothing, for another text.
    bool setConformance(const QString& name);
};

} // namespace palvex
