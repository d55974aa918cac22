#include <palvex/Status.h>

namespace palvex {

std::string_view describe(Status status) {
    switch (status) {
    case Status::Ok:
        return "success";
    case Status::InvalidProcedureCall:
        return "Invalid procedure call or argument";
    case Status::Overflow:
        return "Overflow";
    case Status::OutOfMemory:
        return "Out of memory";
    case Status::SubscriptOutOfRange:
        return "Subscript out of range";
    case Status::TypeMismatch:
        return "Type mismatch";
    case Status::BadFileName:
        return "Bad file name or number";
    case Status::FileNotFound:
        return "File not found";
    case Status::FileAlreadyOpen:
        return "File already open";
    case Status::DiskFull:
        return "Disk full";
    case Status::PathFileAccessError:
        return "Path/File access error";
    case Status::InvalidPropertyValue:
        return "Invalid property value";
    case Status::SetNotSupportedAtRunTime:
        return "Set not supported at runtime";
    case Status::SetNotPermitted:
        return "Set not permitted";
    case Status::GetNotSupportedAtRunTime:
        return "Get not supported at runtime";
    case Status::NoSuchMember:
        return "Object doesn't support this property or method";
    case Status::NotSupportedYet:
        return "Object doesn't support this action (not supported yet)";
    case Status::ArgumentNotOptional:
        return "Argument not optional";
    case Status::InvalidPicture:
        return "Invalid picture";
    case Status::PrinterError:
        return "Printer error";
    }
    return "";
}

std::span<const StatusInfo> statuses() {
    // Each name as the enumeration spells it. describe's switch is the one the compiler checks
    // against the enumeration; a test checks this list against describe.
    static constexpr StatusInfo kStatuses[] = {
        {"Ok", Status::Ok},
        {"InvalidProcedureCall", Status::InvalidProcedureCall},
        {"Overflow", Status::Overflow},
        {"OutOfMemory", Status::OutOfMemory},
        {"SubscriptOutOfRange", Status::SubscriptOutOfRange},
        {"TypeMismatch", Status::TypeMismatch},
        {"BadFileName", Status::BadFileName},
        {"FileNotFound", Status::FileNotFound},
        {"FileAlreadyOpen", Status::FileAlreadyOpen},
        {"DiskFull", Status::DiskFull},
        {"PathFileAccessError", Status::PathFileAccessError},
        {"InvalidPropertyValue", Status::InvalidPropertyValue},
        {"SetNotSupportedAtRunTime", Status::SetNotSupportedAtRunTime},
        {"SetNotPermitted", Status::SetNotPermitted},
        {"GetNotSupportedAtRunTime", Status::GetNotSupportedAtRunTime},
        {"NoSuchMember", Status::NoSuchMember},
        {"NotSupportedYet", Status::NotSupportedYet},
        {"ArgumentNotOptional", Status::ArgumentNotOptional},
        {"InvalidPicture", Status::InvalidPicture},
        {"PrinterError", Status::PrinterError},
    };
    return kStatuses;
}

} // namespace palvex
