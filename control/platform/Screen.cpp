#include "Screen.h"

#include "DisplayPlatform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace palvex {

Screen::~Screen() {
    setWaitCursor(false);
}

Screen::Size Screen::size() const {
    if (m_injected) return *m_injected;
    if (!DisplayPlatform::screenless())
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize logical = screen->size();
            return {float(logical.width() * TwipsPerPixel),
                    float(logical.height() * TwipsPerPixel)};
        }
    return {9600, 7200};
}

float Screen::widthTwips() const {
    return size().width;
}
float Screen::heightTwips() const {
    return size().height;
}

void Screen::setWaitCursor(bool on) {
    if (on == m_wait) return;
    m_wait = on;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace palvex
