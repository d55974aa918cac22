#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QImage>

#include <cstdint>
#include <functional>

namespace palvex {

// The rows of the page strip: one a page, drawn only when a row is painted and kept in a bounded
// cache, so a report of ten thousand pages costs no more to open than the few that show.
class ThumbnailModel : public QAbstractListModel {
    Q_OBJECT

public:
    // How much of the drawn pages is kept, in kilobytes: some 200 thumbnails of a strip 160
    // pixels wide, 50 on a doubled screen; several screens of the strip either way.
    static constexpr int CachedKilobytes = 32 * 1024;

    explicit ThumbnailModel(QObject* parent = nullptr);

    // Draws a page (index from 0) `width` logical pixels across.
    std::function<QImage(int32_t page, int width)> draw;

    // Another report, or pages that look different: `pages` rows, nothing drawn kept. The first
    // page's number names the rows.
    void reset(int32_t pages, int32_t firstPageNumber);
    // The same pages look different: each row is drawn again when it shows, the rows stay.
    void forgetDrawings();
    // The drawings kept are of another width: each row is drawn again when it shows.
    void setThumbnailWidth(int width);
    int thumbnailWidth() const { return m_width; }
    // The page's picture, drawn now if it is not kept.
    QImage image(int row);
    bool isCached(int row) const { return m_cache.contains(row); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    int32_t m_pages = 0;
    int32_t m_firstPageNumber = 1;
    int m_width = 0;
    QCache<int, QImage> m_cache{CachedKilobytes};
};

} // namespace palvex
