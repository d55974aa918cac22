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
    // How far down the canvas the paper reaches, in twips; below it the canvas only leaves room
    // and shows the preview colour, so the page looks like the sheet that prints.
    void setPaperHeight(float twips) { m_paperHeight = twips; }

signals:
    // The canvas took a new size: its place in the viewport may change.
    void refreshed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ImageSurface* m_surface = nullptr;
    float m_paperHeight = 0;
};

} // namespace palvex
