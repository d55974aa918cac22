// The member table and the enumerations as plain C data, for bindings that build their calls
// when they load.

#include "capi/CallGuard.h"
#include <palvex/Enumerations.h>
#include <palvex/MemberTable.h>
#include <palvex/Status.h>
#include <palvex/palvex_c.h>

#include <mutex>
#include <set>
#include <string>
#include <string_view>

using palvex::Status;
using palvex::ValueType;
using palvex::capi::guardedOnAnyThread;

namespace {

// The tables' names are views; C wants NUL-terminated strings that live for the whole run (a
// set's elements never move). Bindings may load before any application, on any thread.
const char* lasting(std::string_view text) {
    static std::mutex guard;
    static std::set<std::string, std::less<>> kept;
    const std::lock_guard lock(guard);
    auto found = kept.find(text);
    if (found == kept.end()) found = kept.emplace(text).first;
    return found->c_str();
}

int cType(ValueType type) {
    switch (type) {
    case ValueType::Boolean:
        return PALVEX_BOOL;
    case ValueType::Integer:
        return PALVEX_I16;
    case ValueType::Long:
    case ValueType::Enumeration:
        return PALVEX_I32;
    case ValueType::Single:
        return PALVEX_SINGLE;
    case ValueType::String:
        return PALVEX_STRING;
    case ValueType::Font:
        break;
    }
    return PALVEX_NO_C_TYPE;
}

template <class T> void setIf(T* out, T value) {
    if (out) *out = value;
}

const palvex::MemberInfo* memberAt(int index) {
    const auto all = palvex::members();
    return index >= 0 && size_t(index) < all.size() ? &all[size_t(index)] : nullptr;
}

const palvex::EnumInfo* enumAt(int index) {
    const auto all = palvex::enumerations();
    return index >= 0 && size_t(index) < all.size() ? &all[size_t(index)] : nullptr;
}

} // namespace

extern "C" int palvex_member_count(void) {
    return int(palvex::members().size());
}

extern "C" int palvex_member_info(int index, const char** name, int32_t* id, int* kinds,
                                  int* value_type, const char** value_enum, int* nparams) {
    return guardedOnAnyThread([&] {
        const palvex::MemberInfo* member = memberAt(index);
        if (!member) return Status::InvalidProcedureCall;
        int memberKinds = PALVEX_METHOD;
        if (member->isProperty)
            memberKinds = PALVEX_PROPERTY_GET |
                          (member->result->type == ValueType::Font ? PALVEX_PROPERTY_PUTREF
                                                                   : PALVEX_PROPERTY_PUT);
        if (member->hidden) memberKinds |= PALVEX_MEMBER_HIDDEN;
        setIf(name, lasting(member->name));
        setIf(id, member->id);
        setIf(kinds, memberKinds);
        setIf(value_type, member->result ? cType(member->result->type) : int(PALVEX_EMPTY));
        setIf(value_enum, lasting(member->result ? member->result->enumName : ""));
        setIf(nparams, int(member->params.size()));
        return Status::Ok;
    });
}

extern "C" int palvex_param_info(int index, int param, const char** name, int* type,
                                 unsigned* flags, const char** enum_name) {
    return guardedOnAnyThread([&] {
        const palvex::MemberInfo* member = memberAt(index);
        if (!member || param < 0 || size_t(param) >= member->params.size())
            return Status::InvalidProcedureCall;
        const palvex::ParamInfo& info = member->params[size_t(param)];
        setIf(name, lasting(info.name));
        setIf(type, cType(info.type));
        setIf(flags, (info.byRef ? PALVEX_PARAM_BYREF : 0u) |
                         (info.optional ? PALVEX_PARAM_OPTIONAL : 0u) |
                         (info.setByMember ? PALVEX_PARAM_SET_BY_MEMBER : 0u));
        setIf(enum_name, lasting(info.enumName));
        return Status::Ok;
    });
}

extern "C" int palvex_enum_count(void) {
    return int(palvex::enumerations().size());
}

extern "C" int palvex_enum_info(int index, const char** name, int* nvalues) {
    return guardedOnAnyThread([&] {
        const palvex::EnumInfo* info = enumAt(index);
        if (!info) return Status::InvalidProcedureCall;
        setIf(name, lasting(info->name));
        setIf(nvalues, int(info->members.size()));
        return Status::Ok;
    });
}

extern "C" int palvex_enum_value(int index, int value, const char** name, int32_t* number) {
    return guardedOnAnyThread([&] {
        const palvex::EnumInfo* info = enumAt(index);
        if (!info || value < 0 || size_t(value) >= info->members.size())
            return Status::InvalidProcedureCall;
        setIf(name, lasting(info->members[size_t(value)].name));
        setIf(number, info->members[size_t(value)].value);
        return Status::Ok;
    });
}

extern "C" int palvex_status_count(void) {
    return int(palvex::statuses().size());
}

extern "C" int palvex_status_info(int index, int32_t* number, const char** name) {
    return guardedOnAnyThread([&] {
        const auto all = palvex::statuses();
        if (index < 0 || size_t(index) >= all.size()) return Status::InvalidProcedureCall;
        setIf(number, int32_t(all[size_t(index)].status));
        setIf(name, lasting(all[size_t(index)].name));
        return Status::Ok;
    });
}
