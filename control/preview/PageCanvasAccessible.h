#pragma once

#include <QAccessibleWidget>

namespace palvex {

class PageCanvas;

// The page canvas as a screen reader sees it: a read-only document named by the page's place
// in the report ("Page 3 of 12"), whose text is the page's text in reading order, whose value
// is the page's place, and whose caret and selection a search moves to its match.
class PageCanvasAccessible final : public QAccessibleWidget,
                                   public QAccessibleTextInterface,
                                   public QAccessibleValueInterface {
public:
    explicit PageCanvasAccessible(PageCanvas* canvas);
    // Makes Qt's accessibility ask this class for every page canvas (once per process).
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    // The text.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // The value: the page's place, from 1 to the page count. Pages are turned by their keys and
    // buttons, not by writing the value.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    PageCanvas* canvas() const;
};

} // namespace palvex
