// The C entry points for controls: creating them, naming members and calling them.

#include "capi/CVariant.h"
#include "capi/CallGuard.h"
#include "capi/Handle.h"
#include "capi/InvokeMember.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

using palvex::DispId;
using palvex::Status;
using palvex::Variant;
using palvex::capi::ControlHandle;
using palvex::capi::guardedCall;

namespace {

bool isKind(int kind) {
    return kind == PALVEX_METHOD || kind == PALVEX_PROPERTY_GET || kind == PALVEX_PROPERTY_PUT ||
           kind == PALVEX_PROPERTY_PUTREF;
}

// The type argument `index` is declared with, which decides what an empty value stands for.
std::optional<palvex::ValueType> declaredType(const palvex::MemberInfo& member, int kind,
                                              size_t index) {
    if (member.isProperty)
        return kind == PALVEX_PROPERTY_PUT || kind == PALVEX_PROPERTY_PUTREF
                   ? std::optional(member.result->type)
                   : std::nullopt;
    if (index < member.params.size()) return member.params[index].type;
    return std::nullopt;
}

// The name argument `index` has, for the words of a refusal: a property's value is "the value".
QString argumentName(const palvex::MemberInfo& member, size_t index) {
    if (member.isProperty) return QStringLiteral("the value");
    if (index < member.params.size()) {
        const std::string_view name = member.params[index].name;
        return QStringLiteral("argument ") + QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    return QStringLiteral("argument %1").arg(index + 1);
}

// A refusal the C layer makes itself, before or instead of the member.
Status refused(ControlHandle* handle, Status status, const QString& reason) {
    if (handle) handle->lastErrorDetail = reason.toUtf8();
    return status;
}

} // namespace

namespace palvex::capi {

Status invokeMember(ControlHandle* handle, DispId id, int kind, palvex_variant* args, int nargs,
                    palvex_variant* result) {
    if (!handle) return Status::InvalidProcedureCall;
    if (nargs < 0 || (nargs > 0 && !args))
        return refused(handle, Status::InvalidProcedureCall,
                       QStringLiteral("palvex_invoke: %1 arguments at %2")
                           .arg(nargs)
                           .arg(args ? QStringLiteral("an array") : QStringLiteral("NULL")));
    if (!isKind(kind))
        return refused(handle, Status::InvalidProcedureCall,
                       QStringLiteral("palvex_invoke: %1 is not a kind of call (PALVEX_METHOD, "
                                      "PALVEX_PROPERTY_GET, _PUT or _PUTREF)")
                           .arg(kind));
    if (!handle->usable())
        return refused(handle, Status::InvalidProcedureCall,
                       QStringLiteral("palvex_invoke: the control was destroyed with the "
                                      "host's window, or the application is gone"));
    const palvex::MemberInfo* member = palvex::findMember(id);
    if (!member)
        return refused(handle, Status::NoSuchMember,
                       QStringLiteral("palvex_invoke: no member has the identifier %1").arg(id));

    std::vector<Variant> values;
    values.reserve(size_t(nargs));
    for (int i = 0; i < nargs; ++i) {
        try {
            values.push_back(palvex::capi::fromC(args[i], declaredType(*member, kind, size_t(i))));
        } catch (const palvex::Error& error) {
            const QString what =
                args[i].type == PALVEX_STRING
                    ? QStringLiteral("is not valid UTF-8")
                    : QStringLiteral("has the unknown type tag %1").arg(args[i].type);
            return refused(handle, error.status,
                           QString::fromUtf8(member->name.data(), qsizetype(member->name.size())) +
                               QStringLiteral(": ") + argumentName(*member, size_t(i)) +
                               QLatin1Char(' ') + what);
        }
    }
    const std::vector<Variant> passed = values;

    Variant value;
    Status status =
        handle->dispatch.invoke(id, palvex::InvokeKind(kind), values, result ? &value : nullptr);
    if (status != Status::Ok) {
        if (palvex::Palvex* control = handle->control.data())
            handle->lastErrorDetail = control->lastErrorDetail().toUtf8();
    }
    // What the member wrote into its by-reference arguments reaches the caller even when the
    // call failed after writing; an owned string it replaces was the library's to free.
    for (int i = 0; i < nargs; ++i) {
        if (values[size_t(i)] == passed[size_t(i)]) continue;
        palvex_variant written;
        palvex::capi::toC(values[size_t(i)], written);
        written.flags |= PALVEX_WRITTEN;
        palvex_variant_clear(&args[i]);
        args[i] = written;
    }
    if (status == Status::Ok && result) {
        try {
            palvex::capi::toC(value, *result);
        } catch (const palvex::Error& error) {
            // The Font property's value, which has no C type: the refusal is this layer's.
            return refused(handle, error.status,
                           QString::fromUtf8(member->name.data(), qsizetype(member->name.size())) +
                               QStringLiteral(": the value is a font, which C has no type for; "
                                              "read FontName, FontSize and the other Font "
                                              "properties instead"));
        }
    }
    return status;
}

} // namespace palvex::capi

using palvex::capi::invokeMember;

extern "C" uint32_t palvex_version(void) {
    return PALVEX_C_VERSION;
}

extern "C" const char* palvex_status_text(int status) {
    // The descriptions are string literals, so their views end in a NUL.
    return palvex::describe(Status(status)).data();
}

extern "C" void palvex_variant_clear(palvex_variant* value) {
    if (!value) return;
    if (value->type == PALVEX_STRING && (value->flags & PALVEX_OWNED)) std::free(value->v.str);
    *value = palvex_empty();
}

extern "C" int palvex_create(palvex_control** out) {
    if (out) *out = nullptr;
    return guardedCall([&] {
        if (!out || !palvex::capi::widgetApplicationRuns()) return Status::InvalidProcedureCall;
        auto handle = std::make_unique<ControlHandle>();
        // The control is its own window, which the Close button only hides when a host window
        // holds it: here nothing else would take the preview off the screen.
        palvex::Palvex* control = handle->control.data();
        QObject::connect(control, &palvex::Palvex::closed, control, &QWidget::hide);
        *out = palvex::capi::registerHandle(std::move(handle));
        return Status::Ok;
    });
}

extern "C" int palvex_destroy(palvex_control* token) {
    if (!token) return PALVEX_OK; // as free(NULL)
    if (!palvex::capi::onApplicationThread()) {
        // A garbage collector may release a handle on any thread; the control is deleted on its
        // own thread, when that thread's loop next runs, rather than left on screen.
        return palvex::capi::guardedOnAnyThread([&] {
            std::unique_ptr<ControlHandle> handle =
                palvex::capi::takeHandle(token, "palvex_destroy");
            if (!handle) return Status::InvalidProcedureCall;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [owned = handle.release()] { delete owned; },
                Qt::QueuedConnection);
            return Status::Ok;
        });
    }
    return guardedCall([&] {
        std::unique_ptr<ControlHandle> handle = palvex::capi::takeHandle(token, "palvex_destroy");
        if (!handle) return Status::InvalidProcedureCall;
        if (*handle->handlerDepth > 0) {
            // Released from its own event handler: the control's code that sent the event is
            // still running, so the control goes once that has returned (hidden at once).
            if (palvex::Palvex* control = handle->control.data()) {
                control->hide();
                control->deleteLater();
            }
            handle->control.clear();
        }
        return Status::Ok;
    });
}

extern "C" int palvex_id_of_name(palvex_control* token, const char* name, int32_t* id) {
    if (id) *id = palvex::UnknownDispId;
    return guardedCall([&] {
        ControlHandle* handle = palvex::capi::liveHandle(token, "palvex_id_of_name");
        if (!handle || !name || !id) return Status::InvalidProcedureCall;
        *id = handle->dispatch.idOfName(name);
        return *id == palvex::UnknownDispId ? Status::NoSuchMember : Status::Ok;
    });
}

extern "C" int palvex_invoke(palvex_control* token, const char* name, int kind,
                             palvex_variant* args, int nargs, palvex_variant* result) {
    // The result is always written, so clearing it afterwards is right whatever the status.
    if (result) *result = palvex_empty();
    return guardedCall([&] {
        ControlHandle* handle = palvex::capi::liveHandle(token, "palvex_invoke");
        if (!handle || !name) return Status::InvalidProcedureCall;
        const DispId id = handle->dispatch.idOfName(name);
        if (id == palvex::UnknownDispId)
            return refused(handle, Status::NoSuchMember,
                           QStringLiteral("palvex_invoke: the control has no member named \"%1\"")
                               .arg(QString::fromUtf8(name)));
        return invokeMember(handle, id, kind, args, nargs, result);
    });
}

extern "C" int palvex_invoke_id(palvex_control* token, int32_t id, int kind, palvex_variant* args,
                                int nargs, palvex_variant* result) {
    if (result) *result = palvex_empty();
    return guardedCall([&] {
        return invokeMember(palvex::capi::liveHandle(token, "palvex_invoke_id"), id, kind, args,
                            nargs, result);
    });
}

extern "C" const char* palvex_last_error_detail(palvex_control* token) {
    static const char notLive[] = "palvex_last_error_detail: the handle is not a live control";
    if (!palvex::capi::onApplicationThread()) return "";
    ControlHandle* handle = palvex::capi::liveHandle(token, "palvex_last_error_detail");
    if (!handle) return notLive;
    return handle->lastErrorDetail.constData(); // "" (a NUL) while empty
}

extern "C" int palvex_widget(palvex_control* token, void** widget) {
    if (widget) *widget = nullptr;
    return guardedCall([&] {
        ControlHandle* handle = palvex::capi::liveHandle(token, "palvex_widget");
        if (!handle || !widget || !handle->usable()) return Status::InvalidProcedureCall;
        *widget = static_cast<QWidget*>(handle->control.data());
        return Status::Ok;
    });
}
