#pragma once

#include <palvex/Status.h>

#include <QString>

#include <cmath>
#include <new>

namespace palvex {

[[noreturn]] inline void raise(Status status) {
    throw Error{status};
}

// A refusal that says why, in words a host developer can act on ("the row has 4 cells, the
// table 3 columns"). The member that was called puts its own name in front when it reports it.
struct Refusal : Error {
    QString reason;
};

[[noreturn]] inline void refuse(Status status, QString reason) {
    throw Refusal{{status}, std::move(reason)};
}

// Single arguments that are NaN or infinite are refused before anything is recorded.
template <class... F> void requireFinite(F... values) {
    if (!(std::isfinite(values) && ...)) raise(Status::InvalidProcedureCall);
}

// The twips a page can hold, with room to spare (some 296 metres), and the largest whole number a
// Single keeps exactly. A coordinate, size or width beyond it would reach the drawing engines and
// the PDF writer as a number they cannot write.
inline constexpr float MaxTwips = 16777216.0f;

inline bool withinPageRange(double twips) {
    return std::fabs(twips) <= MaxTwips; // false for NaN too
}

// Twips arguments: NaN or infinite is an invalid call, beyond MaxTwips an overflow; either way
// before anything is recorded.
template <class... F> void requireTwips(F... values) {
    requireFinite(values...);
    if (!(withinPageRange(values) && ...)) raise(Status::Overflow);
}

// The one boundary between errors and statuses: runs `body` and turns what it throws into a
// Status (an Error its own, running out of memory 7, anything else 5). Every entry point that
// must not throw (a member, a C function, a window's event handler) ends in it.
template <class F> Status guarded(F&& body) noexcept {
    try {
        body();
        return Status::Ok;
    } catch (const Error& error) {
        return error.status;
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    } catch (...) {
        return Status::InvalidProcedureCall;
    }
}

// The same boundary for a body that returns a Status of its own.
template <class F> Status guardedStatus(F&& body) noexcept {
    Status returned = Status::Ok;
    const Status thrown = guarded([&] { returned = body(); });
    return thrown != Status::Ok ? thrown : returned;
}

} // namespace palvex
