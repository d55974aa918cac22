#include "PictureCache.h"

#include <QFileInfo>

#include <numeric>

namespace palvex {

PictureCache& PictureCache::instance() {
    static PictureCache cache;
    return cache;
}

qsizetype PictureCache::bytes() const {
    return std::accumulate(
        m_kept.begin(), m_kept.end(), qsizetype(0),
        [](qsizetype sum, const Kept& k) { return sum + k.image.sizeInBytes(); });
}

void PictureCache::clear() {
    m_measured.clear();
    m_kept.clear();
}

PictureFile PictureCache::file(const QString& name) {
    const QFileInfo info(name);
    const QString path = info.absoluteFilePath();
    const auto it = m_measured.constFind(path);
    if (it != m_measured.cend() && it->modified == info.lastModified() &&
        it->fileBytes == info.size())
        return *it;
    if (m_measured.size() >= MaxEntries) m_measured.clear();
    const PictureFile picture = PictureFile::open(name);
    m_measured.insert(path, picture);
    return picture;
}

QImage PictureCache::pixels(const PictureFile& picture, QSize wanted) {
    if (!picture.readable()) return {};
    const QSize size = picture.decodedSize(wanted);
    const QString path = QFileInfo(picture.path).absoluteFilePath();
    for (auto it = m_kept.begin(); it != m_kept.end();) {
        if (it->path != path) {
            ++it;
        } else if (it->modified != picture.modified || it->fileBytes != picture.fileBytes) {
            it = m_kept.erase(it); // another version of the file
        } else if (it->size != size) {
            ++it;
        } else {
            m_kept.splice(m_kept.begin(), m_kept, it);
            return m_kept.front().image;
        }
    }
    // A picture that cannot be decoded is kept too, as a null image, so that it is not tried again
    // on every page.
    m_kept.push_front({path, picture.modified, picture.fileBytes, size, picture.decode(size)});
    qsizetype total = bytes();
    while ((total > m_maxBytes || qsizetype(m_kept.size()) > MaxEntries) && m_kept.size() > 1) {
        total -= m_kept.back().image.sizeInBytes();
        m_kept.pop_back();
    }
    return m_kept.front().image;
}

} // namespace palvex
