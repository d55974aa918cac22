#include <palvex/Dispatch.h>

namespace palvex {

DispId Dispatch::idOfName(std::string_view name) const {
    const MemberInfo* member = findMember(name);
    return member ? member->id : UnknownDispId;
}

Status Dispatch::invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    const MemberInfo* member = findMember(id);
    if (!member) return Status::NoSuchMember;
    if (!member->isProperty) {
        if (kind != InvokeKind::Method && kind != InvokeKind::PropertyGet)
            return Status::NoSuchMember;
        return member->call(m_control, args, result);
    }
    switch (kind) {
    case InvokeKind::Method:
    case InvokeKind::PropertyGet:
        if (!args.empty()) return Status::InvalidProcedureCall;
        return member->get(m_control, args, result);
    case InvokeKind::PropertyPut:
    case InvokeKind::PropertyPutRef: {
        const bool byReference = member->result->type == ValueType::Font;
        if ((kind == InvokeKind::PropertyPutRef) != byReference) return Status::NoSuchMember;
        if (args.size() != 1) return Status::ArgumentNotOptional;
        Variant value = args[0]; // a property value is taken by value
        return member->put(m_control, std::span<Variant>(&value, 1), nullptr);
    }
    }
    return Status::NoSuchMember;
}

} // namespace palvex
