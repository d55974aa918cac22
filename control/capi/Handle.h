#pragma once

// What a C caller's handle stands for: one control and its late-bound entry, and the registry
// that turns the caller's handle into it.

#include "capi/CallGuard.h"
#include <palvex/Dispatch.h>
#include <palvex/Palvex.h>
#include <palvex/palvex_c.h>

#include <QCoreApplication>
#include <QPointer>

#include <memory>

namespace palvex::capi {

struct ControlHandle {
    ControlHandle() : control(new palvex::Palvex), dispatch(*control) {}
    // After the application is gone (a Python host's objects outliving its PyQt application at
    // exit) a widget can no longer be destroyed safely; the process is ending, so it is left.
    ~ControlHandle() {
        // The event handler's connections hold this handle; none may outlive it.
        for (QMetaObject::Connection& connection : eventConnections)
            QObject::disconnect(connection);
        if (QCoreApplication::instance()) delete control.data();
    }
    ControlHandle(const ControlHandle&) = delete;
    ControlHandle& operator=(const ControlHandle&) = delete;

    // A host that put the control into a window of its own (palvex_widget) may have destroyed
    // it with that window, or destroyed the application; the handle then refuses calls instead
    // of reaching a deleted object.
    bool usable() const { return !control.isNull() && palvex::capi::widgetApplicationRuns(); }

    QPointer<palvex::Palvex> control;
    palvex::Dispatch dispatch;
    // The host's event handler (palvex_set_event_handler), connected while one is set.
    palvex_event_handler handler = nullptr;
    void* handlerContext = nullptr;
    QMetaObject::Connection eventConnections[5];
    // How deep the handler is being called now; shared, since the handler may release the
    // handle and the call that counts must still find it afterwards.
    std::shared_ptr<int> handlerDepth = std::make_shared<int>(0);
    // Why the last call through the handle that failed was refused (palvex_last_error_detail),
    // in UTF-8, kept until the next failure.
    QByteArray lastErrorDetail;
};

// The handles C callers hold are tokens, never the address of a ControlHandle, and no token is
// given out twice: a call through a handle that was destroyed (or never made) finds nothing and
// is refused, instead of reaching freed memory or another control that took its place.
palvex_control* registerHandle(std::unique_ptr<ControlHandle> handle);
// The live handle behind `token`; null, and a line on standard error naming `function`, when
// there is none (a NULL, destroyed or made-up handle).
ControlHandle* liveHandle(const palvex_control* token, const char* function);
// Takes the handle out of the registry (any thread); null, with the same line, when none.
std::unique_ptr<ControlHandle> takeHandle(const palvex_control* token, const char* function);

} // namespace palvex::capi
