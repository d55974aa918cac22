#include "interface/ArgumentCheck.h"

#include "core/Guarded.h"

namespace palvex {

namespace {

QString nameOf(std::string_view name) {
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// What a value of the declared type may hold, for the words of an overflow.
QString rangeOf(const ParamInfo& p) {
    switch (p.type) {
    case ValueType::Integer:
        return QStringLiteral("a whole number from -32768 to 32767");
    case ValueType::Long:
        return QStringLiteral("a whole number from -2147483648 to 2147483647");
    case ValueType::Enumeration:
        return QStringLiteral("a value of %1").arg(nameOf(p.enumName));
    case ValueType::Single:
        return QStringLiteral("a finite number of single precision");
    default:
        return QStringLiteral("a value of its type");
    }
}

QString expected(const ParamInfo& p) {
    switch (p.type) {
    case ValueType::Boolean:
        return QStringLiteral("true, false or a number");
    case ValueType::Font:
        return QStringLiteral("a font");
    case ValueType::String:
        return QStringLiteral("a text");
    default:
        return QStringLiteral("a number");
    }
}

// The conversion the member's invoker makes; throws what it throws.
void convert(const Variant& v, ValueType type) {
    switch (type) {
    case ValueType::Boolean:
        (void)v.toBool();
        break;
    case ValueType::Integer:
        (void)v.toInt16();
        break;
    case ValueType::Long:
    case ValueType::Enumeration:
        (void)v.toInt32();
        break;
    case ValueType::Single:
        (void)v.toSingle();
        break;
    case ValueType::String:
        (void)v.toString();
        break;
    case ValueType::Font:
        (void)v.toFont();
        break;
    }
}

// Why `value` cannot be the argument `what` names (declared as `p`); "" when it can.
QString conversionRefusal(const ParamInfo& p, const Variant& value, const QString& what) {
    try {
        convert(value, p.type);
    } catch (const Error& e) {
        return QStringLiteral("%1 %2 is not %3")
            .arg(what, value.toDisplayText(),
                 e.status == Status::Overflow ? rangeOf(p) : expected(p));
    }
    return {};
}

} // namespace

QString argumentRefusal(const MemberInfo& member, std::span<const Variant> values,
                        bool propertyValue) {
    if (propertyValue) {
        if (!member.result || values.size() != 1) return {};
        return conversionRefusal(*member.result, values[0], QStringLiteral("the value"));
    }
    const std::vector<ParamInfo>& params = member.params;
    if (values.size() > params.size())
        return QStringLiteral("takes at most %1 arguments, %2 were given")
            .arg(params.size())
            .arg(values.size());
    for (size_t i = 0; i < params.size(); ++i) {
        const ParamInfo& p = params[i];
        const QString name = nameOf(p.name);
        if (i >= values.size() || values[i].isMissing()) {
            if (!p.optional) return QStringLiteral("argument %1 is not optional").arg(name);
            continue;
        }
        if (QString why = conversionRefusal(p, values[i], QStringLiteral("argument %1:").arg(name));
            !why.isEmpty())
            return why;
    }
    return {};
}

} // namespace palvex
