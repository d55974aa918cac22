// The control's signals, delivered to a C host's function.

#include "capi/CallGuard.h"
#include "capi/Handle.h"

#include <QByteArray>

using palvex::Palvex;
using palvex::Status;
using palvex::capi::guardedCall;

namespace {

// The handler runs inside the control's own code that emitted the signal. It may release the
// handle (palvex_destroy then defers the control's deletion), so nothing here touches the
// handle after the call. A C handler does not throw; the text conversion might (out of memory),
// and that is dropped rather than unwound through Qt.
void deliver(palvex::capi::ControlHandle* handle, int event, int32_t number, const QString& text) {
    const palvex_event_handler handler = handle->handler;
    if (!handler) return;
    void* const context = handle->handlerContext;
    const std::shared_ptr<int> depth = handle->handlerDepth;
    try {
        const QByteArray utf8 = text.toUtf8();
        ++*depth;
        handler(context, event, number, utf8.constData());
        --*depth;
    } catch (...) {
    }
}

} // namespace

extern "C" int palvex_set_event_handler(palvex_control* token, palvex_event_handler handler,
                                        void* context) {
    return guardedCall([&] {
        palvex::capi::ControlHandle* handle =
            palvex::capi::liveHandle(token, "palvex_set_event_handler");
        if (!handle || !handle->usable()) return Status::InvalidProcedureCall;
        for (QMetaObject::Connection& connection : handle->eventConnections)
            QObject::disconnect(connection);
        handle->handler = handler;
        handle->handlerContext = context;
        if (!handler) return Status::Ok;
        Palvex* control = handle->control.data();
        handle->eventConnections[0] =
            QObject::connect(control, &Palvex::pageShown, control, [handle](int page) {
                deliver(handle, PALVEX_EVENT_PAGE_SHOWN, page, QString());
            });
        handle->eventConnections[1] =
            QObject::connect(control, &Palvex::printed, control, [handle](int pages) {
                deliver(handle, PALVEX_EVENT_PRINTED, pages, QString());
            });
        handle->eventConnections[2] = QObject::connect(control, &Palvex::closed, control, [handle] {
            deliver(handle, PALVEX_EVENT_CLOSED, 0, QString());
        });
        handle->eventConnections[3] = QObject::connect(
            control, &Palvex::messageShown, control, [handle](int flags, const QString& text) {
                deliver(handle, PALVEX_EVENT_MESSAGE, flags, text);
            });
        handle->eventConnections[4] = QObject::connect(
            control, &Palvex::propertyChanged, control,
            [handle](const QString& name) { deliver(handle, PALVEX_EVENT_PROPERTY, 0, name); });
        return Status::Ok;
    });
}
