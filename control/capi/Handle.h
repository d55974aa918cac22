#pragma once

// What a C caller's handle stands for: one control and its late-bound entry.

#include "capi/CallGuard.h"
#include <palvex/Dispatch.h>
#include <palvex/Palvex.h>
#include <palvex/palvex_c.h>

#include <QCoreApplication>
#include <QPointer>

#include <memory>

struct palvex_control {
    palvex_control() : control(new palvex::Palvex), dispatch(*control) {}
    // After the application is gone (a Python host's objects outliving its PyQt application at
    // exit) a widget can no longer be destroyed safely; the process is ending, so it is left.
    ~palvex_control() {
        // The event handler's connections hold this handle; none may outlive it.
        for (QMetaObject::Connection& connection : eventConnections)
            QObject::disconnect(connection);
        if (QCoreApplication::instance()) delete control.data();
    }
    palvex_control(const palvex_control&) = delete;
    palvex_control& operator=(const palvex_control&) = delete;

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
};
