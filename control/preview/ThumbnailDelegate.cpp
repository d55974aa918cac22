#include "ThumbnailDelegate.h"

#include "ThumbnailModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace palvex {

ThumbnailDelegate::ThumbnailDelegate(ThumbnailModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {}

int ThumbnailDelegate::pictureHeight() const {
    return std::max(1, int(std::lround(m_model.thumbnailWidth() * m_shape)));
}

int ThumbnailDelegate::numberHeight() const {
    return QFontMetrics(QApplication::font()).height() + 2;
}

QSize ThumbnailDelegate::rowSize() const {
    return QSize(m_model.thumbnailWidth() + 2 * Padding,
                 pictureHeight() + numberHeight() + 2 * Padding);
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return rowSize();
}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QRect row = option.rect;
    const QRect picture((row.width() - m_model.thumbnailWidth()) / 2 + row.left(),
                        row.top() + Padding, m_model.thumbnailWidth(), pictureHeight());
    const QImage image = m_model.image(index.row());
    painter->save();
    painter->fillRect(picture, Qt::white);
    if (!image.isNull()) painter->drawImage(picture, image);
    const bool shown = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    if (shown) {
        // The page shown: a frame wide enough to see at a glance in the column.
        QPen pen(palette.color(QPalette::Highlight), 3);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->drawRect(picture.adjusted(-2, -2, 1, 1));
    } else {
        painter->setPen(QColor(128, 128, 128));
        painter->drawRect(picture.adjusted(0, 0, -1, -1));
    }
    const QRect number(row.left(), picture.bottom() + 2, row.width(), numberHeight());
    QFont font = option.font;
    font.setBold(shown);
    painter->setFont(font);
    painter->setPen(palette.color(QPalette::WindowText));
    painter->drawText(number, Qt::AlignHCenter | Qt::AlignTop, index.data().toString());
    painter->restore();
}

} // namespace palvex
