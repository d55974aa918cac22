#include "ThumbnailModel.h"

#include <algorithm>

namespace palvex {

ThumbnailModel::ThumbnailModel(QObject* parent) : QAbstractListModel(parent) {}

void ThumbnailModel::reset(int32_t pages, int32_t firstPageNumber) {
    beginResetModel();
    m_pages = std::max(0, pages);
    m_firstPageNumber = firstPageNumber;
    m_cache.clear();
    endResetModel();
}

void ThumbnailModel::forgetDrawings() {
    m_cache.clear();
    if (m_pages > 0) emit dataChanged(index(0), index(m_pages - 1));
}

void ThumbnailModel::setThumbnailWidth(int width) {
    if (width == m_width) return;
    m_width = width;
    forgetDrawings();
}

QImage ThumbnailModel::image(int row) {
    if (row < 0 || row >= m_pages || m_width < 1 || !draw) return QImage();
    if (const QImage* kept = m_cache.object(row)) return *kept;
    QImage drawn = draw(row, m_width);
    if (drawn.isNull()) return drawn; // tried again at the next paint, not kept blank
    m_cache.insert(row, new QImage(drawn), std::max<qsizetype>(1, drawn.sizeInBytes() / 1024));
    return drawn;
}

int ThumbnailModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_pages;
}

QVariant ThumbnailModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_pages) return QVariant();
    // The page's number as the page list counts: from the report's first page number.
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QString::number(m_firstPageNumber + index.row());
    return QVariant();
}

} // namespace palvex
