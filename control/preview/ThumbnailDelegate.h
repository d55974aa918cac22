#pragma once

#include <QStyledItemDelegate>

namespace palvex {

class ThumbnailModel;

// Paints one row of the page strip: the page as drawn, framed in the highlight colour when it
// is the page shown, and its number under it. Every row is the same size.
class ThumbnailDelegate : public QStyledItemDelegate {
public:
    ThumbnailDelegate(ThumbnailModel& model, QObject* parent);

    // The paper's height over its width, which every row's picture takes.
    void setPageShape(double heightOverWidth) { m_shape = heightOverWidth; }
    QSize rowSize() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Room around the picture: the frame of the page shown fits in it.
    static constexpr int Padding = 5;

private:
    int pictureHeight() const;
    int numberHeight() const;

    ThumbnailModel& m_model;
    double m_shape = 1.414;
};

} // namespace palvex
