// The C entry point that runs many calls at once: a host crosses into the library once for a
// buffer of calls instead of once for each.

#include "capi/CallBuffer.h"
#include "capi/CallGuard.h"
#include "capi/Handle.h"
#include "capi/InvokeMember.h"

using palvex::Status;
using palvex::capi::CallBuffer;
using palvex::capi::ControlHandle;
using palvex::capi::guardedCall;

extern "C" int palvex_invoke_batch(palvex_control* token, const void* buffer, size_t size,
                                   size_t* done) {
    if (done) *done = 0;
    return guardedCall([&] {
        ControlHandle* handle = palvex::capi::liveHandle(token, "palvex_invoke_batch");
        if (!handle) return Status::InvalidProcedureCall;
        if (!buffer && size > 0) {
            handle->lastErrorDetail = "palvex_invoke_batch: NULL buffer of " +
                                      QByteArray::number(qulonglong(size)) + " bytes";
            return Status::InvalidProcedureCall;
        }
        CallBuffer calls(buffer, size);
        size_t count = 0;
        try {
            count = calls.check();
        } catch (const palvex::Refusal& refusal) {
            handle->lastErrorDetail = "palvex_invoke_batch: " + refusal.reason.toUtf8();
            return refusal.status;
        }
        for (size_t i = 0; i < count; ++i) {
            CallBuffer::Call& call = calls.next();
            // Each call takes the way palvex_invoke_id takes, so it is checked, refused, worded and
            // delivers its events as it would alone. The handle is looked up again each time: an
            // event handler may have destroyed the control meanwhile.
            const Status status = palvex::capi::invokeMember(
                palvex::capi::liveHandle(token, "palvex_invoke_batch"), call.id, call.kind,
                call.args.data(), int(call.args.size()), nullptr);
            // What a member wrote back is not the host's to see here; an owned copy is freed.
            for (palvex_variant& arg : call.args)
                palvex_variant_clear(&arg);
            if (status != Status::Ok) return status;
            if (done) *done = i + 1;
        }
        return Status::Ok;
    });
}
