#pragma once

#include <palvex/Status.h>

#include <cmath>
#include <new>

namespace palvex {

[[noreturn]] inline void raise(Status status) {
    throw Error{status};
}

// Single arguments that are NaN or infinite are refused before anything is recorded.
template <class... F> void requireFinite(F... values) {
    if (!(std::isfinite(values) && ...)) raise(Status::InvalidProcedureCall);
}

// Runs `body` and turns any Error (or allocation failure) into a Status.
template <class F> Status guarded(F&& body) {
    try {
        body();
        return Status::Ok;
    } catch (const Error& error) {
        return error.status;
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    }
}

} // namespace palvex
