#pragma once

#include "Export.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace palvex {

// Every public member reports one of the runtime's familiar error numbers.
enum class [[nodiscard]] Status : int32_t{
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
PALVEX_EXPORT std::string_view describe(Status status);

// A status by its name above, for bindings that name the numbers (Python's palvex.Status).
struct StatusInfo {
    std::string_view name;
    Status status;
};

// Every status the control reports, in increasing number.
PALVEX_EXPORT std::span<const StatusInfo> statuses();

// Thrown by Variant's conversions and inside the library; every member of the control turns it
// back into its Status, so a host that calls members never sees one.
struct PALVEX_EXPORT Error {
    Status status;
};

} // namespace palvex
