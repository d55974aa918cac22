// The Qt application and its event loop, for hosts that have neither.

#include "capi/CallGuard.h"
#include "platform/DisplayPlatform.h"
#include <palvex/Palvex.h>
#include <palvex/palvex_c.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

using palvex::Status;
using palvex::capi::guardedCall;

namespace {

bool anyControlOnScreen() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<palvex::Palvex*>(widget) && widget->isVisible()) return true;
    return false;
}

// Ends the loop once the last control window is hidden or gone; checked after the event, when
// the widget's visibility or its removal is settled.
class LastWindowWatcher : public QObject {
public:
    explicit LastWindowWatcher(QEventLoop& loop) : m_loop(loop) {}

    void watch(QWidget* widget) {
        widget->installEventFilter(this);
        connect(widget, &QObject::destroyed, this, [this] { checkLater(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) checkLater();
        return false;
    }

private:
    void checkLater() {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!anyControlOnScreen()) m_loop.quit();
            },
            Qt::QueuedConnection);
    }

    QEventLoop& m_loop;
};

} // namespace

extern "C" int palvex_app_ensure(int argc, char** argv) {
    return guardedCall([&] {
        if (QCoreApplication::instance())
            return palvex::capi::widgetApplicationRuns() ? Status::Ok
                                                         : Status::InvalidProcedureCall;
        // The application lives for the rest of the process, as nothing here can know when a
        // host is done with its controls. Where no display can be opened it comes up offscreen
        // instead of Qt ending the process.
        auto& arguments = palvex::DisplayPlatform::lastingArguments(argc, argv);
        new QApplication(arguments.argc(), arguments.argv());
        palvex::DisplayPlatform::noteFallback();
        return Status::Ok;
    });
}

extern "C" int palvex_app_without_display(void) {
    return palvex::DisplayPlatform::withoutDisplay() ? 1 : 0;
}

extern "C" int palvex_app_exec_for(int milliseconds, int* showing) {
    if (showing) *showing = 0;
    return guardedCall([&] {
        if (!palvex::capi::widgetApplicationRuns()) return Status::InvalidProcedureCall;
        if (!anyControlOnScreen()) return Status::Ok;
        // Offscreen, no one can see a preview or close it: waiting would never end. What Qt
        // posted meanwhile (repaints, deferred deletes) is handled, so that a process making
        // report after report without an event loop does not pile it up. Where the library fell
        // back to offscreen, a preview the host wants shown is refused.
        if (palvex::DisplayPlatform::screenless()) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return palvex::DisplayPlatform::withoutDisplay() ? Status::InvalidProcedureCall
                                                             : Status::Ok;
        }
        QEventLoop loop;
        LastWindowWatcher watcher(loop);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<palvex::Palvex*>(widget)) watcher.watch(widget);
        if (milliseconds >= 0) QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        if (showing) *showing = anyControlOnScreen() ? 1 : 0;
        return Status::Ok;
    });
}

extern "C" int palvex_app_exec(void) {
    return palvex_app_exec_for(-1, nullptr);
}
