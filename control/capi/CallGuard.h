#pragma once

// What every C entry point wraps its body in: no exception reaches a C caller, and a call from a
// thread other than the application's does nothing.

#include "core/Guarded.h"
#include <palvex/Status.h>

#include <QCoreApplication>
#include <QThread>

#include <utility>

namespace palvex::capi {

// Controls are widgets: they exist only in a widget application, and only while it does (a
// Python host's PyQt application may be gone before the objects holding its handles are).
inline bool widgetApplicationRuns() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QApplication");
}

inline bool onApplicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// `body` returns a Status; what it throws is turned into one at the library's one boundary. For
// functions that touch no Qt object and may run on any thread.
template <class F> int guardedOnAnyThread(F&& body) noexcept {
    return int(guardedStatus(std::forward<F>(body)));
}

// As guardedOnAnyThread, for functions that touch the controls: a call from a thread other than
// the application's does nothing and is 5.
template <class F> int guardedCall(F&& body) noexcept {
    if (!onApplicationThread()) return int(Status::InvalidProcedureCall);
    return guardedOnAnyThread(std::forward<F>(body));
}

} // namespace palvex::capi
