#include "ThumbnailStrip.h"

#include "ThumbnailDelegate.h"
#include "ThumbnailModel.h"

#include <QScrollBar>

#include <algorithm>

namespace palvex {

ThumbnailStrip::ThumbnailStrip(QWidget* parent)
    : QListView(parent), m_model(new ThumbnailModel(this)),
      m_delegate(new ThumbnailDelegate(*m_model, this)) {
    setModel(m_model);
    setItemDelegate(m_delegate);
    setUniformItemSizes(true);
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Read from the right: the scroll bar lies on the page's side of the strip.
    setLayoutDirection(Qt::RightToLeft);
    // The page keys stay with the page: a click here turns the page and leaves the focus there.
    setFocusPolicy(Qt::NoFocus);
}

int ThumbnailStrip::widthFor(int windowWidth) {
    return std::clamp(windowWidth / 8, 110, 160);
}

void ThumbnailStrip::setPageShape(double heightOverWidth) {
    m_delegate->setPageShape(heightOverWidth);
    fitThumbnails();
}

void ThumbnailStrip::markPage(int row) {
    if (row < 0 || row >= m_model->rowCount()) return;
    const QModelIndex index = m_model->index(row);
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

int ThumbnailStrip::markedPage() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void ThumbnailStrip::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    fitThumbnails();
}

void ThumbnailStrip::fitThumbnails() {
    const int width =
        std::max(16, viewport()->width() - 2 * ThumbnailDelegate::Padding - 2 * spacing());
    m_model->setThumbnailWidth(width);
    setGridSize(m_delegate->rowSize());
    doItemsLayout();
}

} // namespace palvex
