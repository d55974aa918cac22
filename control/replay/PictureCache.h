#pragma once

#include "platform/PictureFile.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>

#include <list>

namespace palvex {

// The pictures the pages draw, kept between pages and drawings: each file as measured, and its
// pixels at the sizes the surfaces asked for. A page canvas and the PDF device want the same
// picture at different sizes, so each size is its own entry, but together they never take more
// than the budget (the newest is kept whatever its size): a picture at print resolution is held
// once, and a second one makes the first go. A file changed since it was measured is measured
// and decoded again. Pages are drawn on the control's thread, the only one that uses it.
class PictureCache {
public:
    static constexpr qsizetype MaxBytes = qsizetype(160) << 20;
    static constexpr qsizetype MaxEntries = 64; // pictures that cannot be decoded take no bytes

    explicit PictureCache(qsizetype maxBytes = MaxBytes) : m_maxBytes(maxBytes) {}
    // The one cache of the process: pictures are files, the same for every control.
    static PictureCache& instance();

    // The file as PictureFile::open measures it.
    PictureFile file(const QString& name);
    // Its pixels for `wanted` (see PictureFile::decode); null when they cannot be decoded.
    QImage pixels(const PictureFile& picture, QSize wanted);
    // What the kept pixels take, in bytes.
    qsizetype bytes() const;
    void clear();

private:
    struct Kept {
        QString path; // absolute
        QDateTime modified;
        qint64 fileBytes = 0;
        QSize size; // as asked for (PictureFile::decodedSize)
        QImage image;
    };
    qsizetype m_maxBytes;
    QHash<QString, PictureFile> m_measured; // by absolute path
    std::list<Kept> m_kept;                 // the most recently used first
};

} // namespace palvex
