#pragma once

// What every C entry point wraps its body in: no exception reaches a C caller, and a call from a
// thread other than the application's does nothing.

#include <palvex/Status.h>

#include <QCoreApplication>
#include <QThread>

#include <new>

namespace palvex::capi {

inline bool onApplicationThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// `body` returns a Status. A failure the library did not foresee is still a failure: 5.
template <class F> int guardedCall(F&& body) noexcept {
    try {
        if (!onApplicationThread()) return int(Status::InvalidProcedureCall);
        return int(body());
    } catch (const Error& error) {
        return int(error.status);
    } catch (const std::bad_alloc&) {
        return int(Status::OutOfMemory);
    } catch (...) {
        return int(Status::InvalidProcedureCall);
    }
}

} // namespace palvex::capi
