#pragma once

#include <QWidget>

#include <functional>

namespace palvex {

class ImageSurface;

// p1(0): the widget that shows the page canvas's picture. It is sized to the canvas (twips / 15)
// and moved inside the viewport by the scroll bars; the picture is drawn at the screen's device
// pixel ratio so text stays crisp.
class PageCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PageCanvas(QWidget* parent);

    void setSurface(ImageSurface* surface) { m_surface = surface; }
    // Sizes the widget to the surface and repaints.
    void refresh();

signals:
    // The canvas took a new size: its place in the viewport may change.
    void refreshed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ImageSurface* m_surface = nullptr;
};

} // namespace palvex
