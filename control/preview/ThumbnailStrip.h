#pragma once

#include <QListView>

namespace palvex {

class ThumbnailDelegate;
class ThumbnailModel;

// lstThumbnails: the column of page thumbnails docked at the window's right edge, where a
// right-to-left reader looks first. A virtual list: it paints only the rows in view, all of one
// size, so its cost does not grow with the report.
class ThumbnailStrip : public QListView {
    Q_OBJECT

public:
    explicit ThumbnailStrip(QWidget* parent);

    ThumbnailModel& thumbnails() { return *m_model; }
    // The paper's height over its width.
    void setPageShape(double heightOverWidth);
    // Marks the row of the page shown and brings it into view.
    void markPage(int row);
    int markedPage() const;
    // How wide the strip is in a window `windowWidth` logical pixels wide: narrow enough to
    // leave the page most of a small window.
    static int widthFor(int windowWidth);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitThumbnails();

    ThumbnailModel* m_model;
    ThumbnailDelegate* m_delegate;
};

} // namespace palvex
