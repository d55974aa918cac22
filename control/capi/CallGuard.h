#pragma once

// What every C entry point wraps its body in: no exception reaches a C caller, and a call from a
// thread other than the application's does nothing.

#include <palvex/Status.h>

#include <QCoreApplication>
#include <QThread>

#include <new>
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

// `body` returns a Status. A failure the library did not foresee is still a failure: 5. For
// functions that touch no Qt object and may run on any thread.
template <class F> int guardedOnAnyThread(F&& body) noexcept {
    try {
        return int(body());
    } catch (const Error& error) {
        return int(error.status);
    } catch (const std::bad_alloc&) {
        return int(Status::OutOfMemory);
    } catch (...) {
        return int(Status::InvalidProcedureCall);
    }
}

// As guardedOnAnyThread, for functions that touch the controls: a call from a thread other than
// the application's does nothing and is 5.
template <class F> int guardedCall(F&& body) noexcept {
    if (!onApplicationThread()) return int(Status::InvalidProcedureCall);
    return guardedOnAnyThread(std::forward<F>(body));
}

} // namespace palvex::capi
