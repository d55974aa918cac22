// The Qt application and its event loop, for hosts that have neither.

#include "capi/CallGuard.h"
#include <palvex/Palvex.h>
#include <palvex/palvex_c.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>

#include <string>
#include <vector>

using palvex::Status;
using palvex::capi::guardedCall;

namespace {

// QApplication keeps references to argc and argv, so both live as long as it does: for the
// rest of the process, as nothing here can know when a host is done with its controls.
struct ApplicationArguments {
    std::vector<std::string> strings;
    std::vector<char*> pointers;
    int count = 0;
};

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
        static ApplicationArguments arguments;
        arguments.strings.clear();
        for (int i = 0; argv && i < argc; ++i)
            arguments.strings.emplace_back(argv[i] ? argv[i] : "");
        if (arguments.strings.empty()) arguments.strings.emplace_back("palvex");
        arguments.pointers.clear();
        for (std::string& s : arguments.strings)
            arguments.pointers.push_back(s.data());
        arguments.pointers.push_back(nullptr);
        arguments.count = int(arguments.strings.size());
        new QApplication(arguments.count, arguments.pointers.data());
        return Status::Ok;
    });
}

extern "C" int palvex_app_exec(void) {
    return guardedCall([] {
        if (!palvex::capi::widgetApplicationRuns()) return Status::InvalidProcedureCall;
        if (!anyControlOnScreen()) return Status::Ok;
        QEventLoop loop;
        LastWindowWatcher watcher(loop);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<palvex::Palvex*>(widget)) watcher.watch(widget);
        loop.exec();
        return Status::Ok;
    });
}
