#pragma once

#include <cmath>
#include <cstdint>
#include <new>
#include <string_view>

namespace palvex {

// Every public member reports one of the runtime's familiar error numbers.
enum class Status : int32_t {
    Ok = 0,
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    FileAlreadyOpen = 55,
    DiskFull = 61,
    PathFileAccessError = 75,
    InvalidPropertyValue = 380,
    SetNotSupportedAtRunTime = 382,
    SetNotPermitted = 387,
    GetNotSupportedAtRunTime = 393,
    NoSuchMember = 438,
    NotSupportedYet = 445,
    ArgumentNotOptional = 449,
    InvalidPicture = 481,
    PrinterError = 482,
};

// The fixed English description of a status ("" for an unknown number).
std::string_view describe(Status status);

// Thrown by internal routines; every public member turns it back into its Status.
struct Error {
    Status status;
};

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
