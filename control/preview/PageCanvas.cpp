#include "PageCanvas.h"

#include "PreviewWindow.h"
#include "platform/ImageSurface.h"

#include <QPainter>

#include <cmath>

namespace palvex {

PageCanvas::PageCanvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // Not marked opaque: the scroll bars lie above the canvas in the same viewport, and Qt's
    // fast path for moving an opaque widget can later repaint the canvas alone, over them.
}

void PageCanvas::refresh() {
    if (!m_surface) return;
    const int w = int(std::lround(m_surface->Width() / PreviewWindow::TwipsPerPixel));
    const int h = int(std::lround(m_surface->Height() / PreviewWindow::TwipsPerPixel));
    resize(std::max(1, w), std::max(1, h));
    update();
    emit refreshed();
}

void PageCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_surface) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    QImage image = m_surface->image();
    image.setDevicePixelRatio(m_surface->devicePixelRatio());
    painter.drawImage(QPointF(0, 0), image);
    if (!(m_paperHeight > 0)) return;
    const int paper =
        std::min(height(), int(std::lround(m_paperHeight / PreviewWindow::TwipsPerPixel)));
    const QColor around = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                         : palette().color(QPalette::Window);
    if (paper < height()) painter.fillRect(0, paper, width(), height() - paper, around);
    // The sheet's edge, so a white page stands out on a light preview colour.
    painter.setPen(QColor(128, 128, 128));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, width() - 1.0, paper - 1.0));
}

} // namespace palvex
