#include "PageNumberList.h"

#include <QComboBox>
#include <QListView>

#include <algorithm>

namespace palvex {

PageNumberList::PageNumberList(QObject* parent) : QAbstractListModel(parent) {}

void PageNumberList::show(const QString& caption, int32_t first, int32_t count) {
    beginResetModel();
    m_caption = caption;
    m_first = first;
    m_count = std::max<int32_t>(0, count);
    endResetModel();
}

void PageNumberList::setCaption(const QString& caption) {
    m_caption = caption;
    if (m_count > 0) emit dataChanged(index(0), index(m_count - 1), {Qt::DisplayRole});
}

int PageNumberList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant PageNumberList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_count) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return QString(m_caption + QString::number(int64_t(m_first) + index.row()));
}

PageNumberList* PageNumberList::attachTo(QComboBox* combo) {
    auto* list = new PageNumberList(combo);
    combo->setModel(list);
    // Every entry has the same height, so the popup need not measure thousands of them.
    if (auto* view = qobject_cast<QListView*>(combo->view())) view->setUniformItemSizes(true);
    return list;
}

} // namespace palvex
