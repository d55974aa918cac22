#include "PageCanvas.h"

#include "PageCanvasAccessible.h"
#include "PreviewWindow.h"
#include "platform/ImageSurface.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace palvex {

PageCanvas::PageCanvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    PageCanvasAccessible::install();
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

void PageCanvas::setReading(PageReading reading, int page, int pageCount) {
    const bool anotherPage = page != m_page || pageCount != m_pageCount;
    const QString before = m_reading.text();
    m_reading = std::move(reading);
    m_page = page;
    m_pageCount = pageCount;
    m_caret = 0;
    m_selection = {0, 0};
    if (anotherPage) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
        QAccessibleValueChangeEvent value(this, page);
        QAccessible::updateAccessibility(&value);
    }
    if (before != m_reading.text()) {
        QAccessibleTextUpdateEvent text(this, 0, before, m_reading.text());
        QAccessible::updateAccessibility(&text);
    }
    QAccessibleTextCursorEvent caret(this, 0);
    QAccessible::updateAccessibility(&caret);
}

void PageCanvas::setReadingTexts(const QString& pageName, const QString& description) {
    m_pageName = pageName;
    m_description = description;
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

QString PageCanvas::readingName() const {
    if (m_pageCount <= 0) return QString();
    return m_pageName.arg(m_page).arg(m_pageCount);
}

void PageCanvas::selectText(qsizetype start, qsizetype end) {
    const qsizetype size = m_reading.text().size();
    start = std::clamp(start, qsizetype(0), size);
    end = std::clamp(end, start, size);
    m_selection = {start, end};
    m_caret = start;
    QAccessibleTextSelectionEvent selected(this, int(start), int(end));
    selected.setCursorPosition(int(start));
    QAccessible::updateAccessibility(&selected);
    QAccessibleTextCursorEvent caret(this, int(start));
    QAccessible::updateAccessibility(&caret);
}

void PageCanvas::setCaret(qsizetype offset) {
    m_caret = std::clamp(offset, qsizetype(0), m_reading.text().size());
    m_selection = {m_caret, m_caret};
    QAccessibleTextCursorEvent caret(this, int(m_caret));
    QAccessible::updateAccessibility(&caret);
}

} // namespace palvex
