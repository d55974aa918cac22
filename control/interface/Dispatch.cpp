#include <palvex/Dispatch.h>
#include <palvex/Palvex.h>

#include "interface/ArgumentCheck.h"

namespace palvex {

namespace {

Status invokeMember(Palvex& control, const MemberInfo& member, InvokeKind kind,
                    std::span<Variant> args, Variant* result) {
    if (!member.isProperty) {
        if (kind != InvokeKind::Method && kind != InvokeKind::PropertyGet)
            return Status::NoSuchMember;
        return member.call(control, args, result);
    }
    switch (kind) {
    case InvokeKind::Method:
    case InvokeKind::PropertyGet:
        if (!args.empty()) return Status::InvalidProcedureCall;
        return member.get(control, args, result);
    case InvokeKind::PropertyPut:
    case InvokeKind::PropertyPutRef: {
        const bool byReference = member.result->type == ValueType::Font;
        if ((kind == InvokeKind::PropertyPutRef) != byReference) return Status::NoSuchMember;
        if (args.size() != 1) return Status::ArgumentNotOptional;
        Variant value = args[0]; // a property value is taken by value
        return member.put(control, std::span<Variant>(&value, 1), nullptr);
    }
    }
    return Status::NoSuchMember;
}

// Why a call the member never saw was refused.
QString dispatchRefusal(const MemberInfo& member, InvokeKind kind, std::span<const Variant> args) {
    const bool put = kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef;
    if (member.isProperty) {
        if (!put && !args.empty()) return QStringLiteral("a property takes no arguments");
        if (put && (kind == InvokeKind::PropertyPutRef) != (member.result->type == ValueType::Font))
            return kind == InvokeKind::PropertyPutRef
                       ? QStringLiteral("the property is set by value, not by reference")
                       : QStringLiteral("the property is set by reference");
        if (put && args.size() != 1) return QStringLiteral("a property is set to one value");
        return argumentRefusal(member, args, put);
    }
    if (put) return QStringLiteral("a method cannot be set");
    return argumentRefusal(member, args, false);
}

} // namespace

DispId Dispatch::idOfName(std::string_view name) const {
    const MemberInfo* member = findMember(name);
    return member ? member->id : UnknownDispId;
}

Status Dispatch::invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    const MemberInfo* member = findMember(id);
    if (!member) {
        m_control.noteRefusal("Dispatch", Status::NoSuchMember,
                              QStringLiteral("no member has the identifier %1").arg(id));
        return Status::NoSuchMember;
    }
    const uint64_t refusals = m_control.refusalCount();
    const Status status = invokeMember(m_control, *member, kind, args, result);
    // The member notes its own refusals; the ones made before it ran are noted here, with the
    // argument at fault where there is one.
    if (status != Status::Ok && m_control.refusalCount() == refusals) {
        QString reason;
        try {
            reason = dispatchRefusal(*member, kind, args);
        } catch (...) {
            // Out of memory for the words: the status still goes back.
        }
        m_control.noteRefusal(member->name, status, reason);
    }
    return status;
}

} // namespace palvex
