#include "PageCanvas.h"

#include "PreviewWindow.h"
#include "platform/ImageSurface.h"

#include <QPainter>

#include <cmath>

namespace palvex {

PageCanvas::PageCanvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
}

} // namespace palvex
