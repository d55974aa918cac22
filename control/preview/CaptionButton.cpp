#include "CaptionButton.h"

#include "core/Guarded.h"

#include <QHelpEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace palvex {

namespace {

QRect contentsOf(const QPushButton& button, const QStyleOptionButton& option) {
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

} // namespace

bool CaptionButton::captionFits() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const int iconRoom = icon().isNull() ? 0 : option.iconSize.width() + 4;
    return fontMetrics().horizontalAdvance(text()) + iconRoom <= contentsOf(*this, option).width();
}

void CaptionButton::paintEvent(QPaintEvent* event) {
    if (captionFits()) {
        QPushButton::paintEvent(event);
        return;
    }
    // Painting must not throw into the event loop; a failed paint leaves the face blank.
    (void)guarded([&] {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        option.icon = QIcon();
        painter.drawControl(QStyle::CE_PushButton, option); // the face and the frame
        const QRect room = contentsOf(*this, option);
        const QFontMetrics metrics = fontMetrics();
        // Word by word onto the lines the height holds; the last line takes the rest, elided.
        const int lines = std::max(1, room.height() / metrics.lineSpacing());
        QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QStringList shown;
        while (!words.isEmpty() && shown.size() < lines - 1) {
            QString line = words.takeFirst();
            while (!words.isEmpty() && metrics.horizontalAdvance(line + QLatin1Char(' ') +
                                                                 words.first()) <= room.width())
                line += QLatin1Char(' ') + words.takeFirst();
            shown << metrics.elidedText(line, Qt::ElideRight, room.width());
        }
        if (!words.isEmpty())
            shown << metrics.elidedText(words.join(QLatin1Char(' ')), Qt::ElideRight, room.width());
        painter.setPen(option.palette.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                            QPalette::ButtonText));
        painter.drawText(room, Qt::AlignCenter, shown.join(QLatin1Char('\n')));
    });
}

bool CaptionButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && !captionFits()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
    return QPushButton::event(event);
}

} // namespace palvex
