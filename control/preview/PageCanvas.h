#pragma once

#include "PageReading.h"

#include <QWidget>

#include <functional>

namespace palvex {

class ImageSurface;

// p1(0): the widget that shows the page canvas's picture. It is sized to the canvas (twips / 15)
// and moved inside the viewport by the scroll bars; the picture is drawn at the screen's device
// pixel ratio so text stays crisp. A screen reader reads it as a document: the page's text in
// reading order, named by the page's place in the report (PageCanvasAccessible).
class PageCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PageCanvas(QWidget* parent);

    void setSurface(ImageSurface* surface) { m_surface = surface; }
    const ImageSurface* surface() const { return m_surface; }
    // Sizes the widget to the surface and repaints.
    void refresh();
    // How far down the canvas the paper reaches, in twips; below it the canvas only leaves room
    // and shows the preview colour, so the page looks like the sheet that prints.
    void setPaperHeight(float twips) { m_paperHeight = twips; }

    // What a screen reader reads: the page shown, the `page`th of `pageCount` (from 1). Another
    // page or count is announced; the caret goes back to the text's start.
    void setReading(PageReading reading, int page, int pageCount);
    const PageReading& reading() const { return m_reading; }
    int page() const { return m_page; }
    int pageCount() const { return m_pageCount; }
    // The words of the window's language: the name's pattern ("Page %1 of %2") and the
    // description.
    void setReadingTexts(const QString& pageName, const QString& description);
    QString readingName() const;
    QString readingDescription() const { return m_description; }

    // The caret and the selection in the reading text, which a screen reader follows: a search
    // selects its match. An empty selection is none.
    void selectText(qsizetype start, qsizetype end);
    void setCaret(qsizetype offset);
    qsizetype caret() const { return m_caret; }
    std::pair<qsizetype, qsizetype> selection() const { return m_selection; }

signals:
    // The canvas took a new size: its place in the viewport may change.
    void refreshed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ImageSurface* m_surface = nullptr;
    float m_paperHeight = 0;
    PageReading m_reading;
    int m_page = 0, m_pageCount = 0;
    QString m_pageName, m_description;
    qsizetype m_caret = 0;
    std::pair<qsizetype, qsizetype> m_selection{0, 0};
};

} // namespace palvex
