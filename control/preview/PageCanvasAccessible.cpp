#include "PageCanvasAccessible.h"

#include "PageCanvas.h"
#include "PreviewWindow.h"
#include "platform/ImageSurface.h"

#include <algorithm>

namespace palvex {

namespace {

QAccessibleInterface* canvasFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(PageCanvas::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new PageCanvasAccessible(static_cast<PageCanvas*>(object));
    return nullptr;
}

} // namespace

PageCanvasAccessible::PageCanvasAccessible(PageCanvas* canvas)
    : QAccessibleWidget(canvas, QAccessible::Document) {}

void PageCanvasAccessible::install() {
    static const bool installed = (QAccessible::installFactory(canvasFactory), true);
    (void)installed;
}

PageCanvas* PageCanvasAccessible::canvas() const {
    return static_cast<PageCanvas*>(widget());
}

void* PageCanvasAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PageCanvasAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        return canvas()->readingName();
    case QAccessible::Description:
        return canvas()->readingDescription();
    case QAccessible::Value:
        return canvas()->page() > 0 ? QString::number(canvas()->page()) : QString();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State PageCanvasAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

void PageCanvasAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const auto [start, end] = canvas()->selection();
    const bool one = selectionIndex == 0 && start < end;
    *startOffset = one ? int(start) : 0;
    *endOffset = one ? int(end) : 0;
}

int PageCanvasAccessible::selectionCount() const {
    const auto [start, end] = canvas()->selection();
    return start < end ? 1 : 0;
}

void PageCanvasAccessible::addSelection(int startOffset, int endOffset) {
    canvas()->selectText(std::min(startOffset, endOffset), std::max(startOffset, endOffset));
}

void PageCanvasAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) canvas()->setCaret(canvas()->caret());
}

void PageCanvasAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) addSelection(startOffset, endOffset);
}

int PageCanvasAccessible::cursorPosition() const {
    return int(canvas()->caret());
}

void PageCanvasAccessible::setCursorPosition(int position) {
    canvas()->setCaret(position);
}

QString PageCanvasAccessible::text(int startOffset, int endOffset) const {
    const QString& all = canvas()->reading().text();
    const qsizetype start = std::clamp<qsizetype>(startOffset, 0, all.size());
    // -1 as the end is the text's end, as assistive technologies ask for it.
    const qsizetype end =
        endOffset < 0 ? all.size() : std::clamp<qsizetype>(endOffset, start, all.size());
    return all.mid(start, end - start);
}

int PageCanvasAccessible::characterCount() const {
    return int(canvas()->reading().text().size());
}

// The box of the text item that holds the character: a reader's highlight and a magnifier
// follow the line being read.
QRect PageCanvasAccessible::characterRect(int offset) const {
    const PageReading::Piece* piece = canvas()->reading().pieceAt(offset);
    const ImageSurface* surface = canvas()->surface();
    if (!piece || !surface) return QRect();
    const DrawnText& d = piece->drawn;
    const QRectF twips = surface->textBox(d.text, d.font, d.x, d.y);
    const QRectF local(twips.topLeft() / PreviewWindow::TwipsPerPixel,
                       twips.size() / PreviewWindow::TwipsPerPixel);
    return QRect(canvas()->mapToGlobal(local.topLeft().toPoint()), local.size().toSize());
}

int PageCanvasAccessible::offsetAtPoint(const QPoint& point) const {
    const ImageSurface* surface = canvas()->surface();
    if (!surface) return -1;
    const QPointF twips = QPointF(canvas()->mapFromGlobal(point)) * PreviewWindow::TwipsPerPixel;
    for (const PageReading::Piece& p : canvas()->reading().pieces())
        if (surface->textBox(p.drawn.text, p.drawn.font, p.drawn.x, p.drawn.y).contains(twips))
            return int(p.start);
    return -1;
}

void PageCanvasAccessible::scrollToSubstring(int, int) {
    // The page keys scroll the page; the whole text is the reader's already.
}

QString PageCanvasAccessible::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

QVariant PageCanvasAccessible::currentValue() const {
    return canvas()->page();
}

void PageCanvasAccessible::setCurrentValue(const QVariant&) {}

QVariant PageCanvasAccessible::maximumValue() const {
    return canvas()->pageCount();
}

QVariant PageCanvasAccessible::minimumValue() const {
    return canvas()->pageCount() > 0 ? 1 : 0;
}

QVariant PageCanvasAccessible::minimumStepSize() const {
    return 1;
}

} // namespace palvex
