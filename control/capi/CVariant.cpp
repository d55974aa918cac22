#include "capi/CVariant.h"

#include "core/Guarded.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace palvex::capi {

namespace {

Variant zeroOf(ValueType type) {
    switch (type) {
    case ValueType::Boolean:
        return Variant(false);
    case ValueType::Integer:
        return Variant(int16_t(0));
    case ValueType::Long:
    case ValueType::Enumeration:
        return Variant(int32_t(0));
    case ValueType::Single:
        return Variant(0.0f);
    case ValueType::String:
        return Variant(QString());
    case ValueType::Font:
        break;
    }
    raise(Status::TypeMismatch);
}

char* copyOf(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // malloc, not new: palvex_variant_clear frees it, whichever allocator the host uses.
    auto* copy = static_cast<char*>(std::malloc(size_t(utf8.size()) + 1));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, utf8.constData(), size_t(utf8.size()) + 1);
    return copy;
}

} // namespace

Variant fromC(const palvex_variant& value, std::optional<ValueType> declared) {
    switch (value.type) {
    case PALVEX_EMPTY:
        return declared ? zeroOf(*declared) : Variant::missing();
    case PALVEX_MISSING:
        return Variant::missing();
    case PALVEX_BOOL:
        return Variant(value.v.b != 0);
    case PALVEX_I16:
        return Variant(value.v.i16);
    case PALVEX_I32:
        return Variant(value.v.i32);
    case PALVEX_SINGLE:
        return Variant(value.v.f32);
    case PALVEX_DOUBLE:
        return Variant(value.v.f64);
    case PALVEX_STRING: {
        if (!value.v.str) return Variant(QString());
        // Bytes that are not UTF-8 would become U+FFFD: another text, another file name.
        const QByteArrayView bytes(value.v.str);
        if (!bytes.isValidUtf8()) raise(Status::TypeMismatch);
        return Variant(QString::fromUtf8(bytes));
    }
    }
    raise(Status::TypeMismatch);
}

void toC(const Variant& value, palvex_variant& out) {
    palvex_variant converted = palvex_empty();
    switch (value.type()) {
    case Variant::Type::Missing:
        break;
    case Variant::Type::Bool:
        converted = palvex_bool(value.toBool());
        break;
    case Variant::Type::Int16:
        converted = palvex_i16(value.toInt16());
        break;
    case Variant::Type::Int32:
        converted = palvex_i32(value.toInt32());
        break;
    case Variant::Type::Single:
        converted = palvex_single(value.toSingle());
        break;
    case Variant::Type::Double:
        converted = palvex_double(value.toDouble());
        break;
    case Variant::Type::String:
        converted.type = PALVEX_STRING;
        converted.flags = PALVEX_OWNED;
        converted.v.str = copyOf(value.toString());
        break;
    case Variant::Type::Font:
        raise(Status::TypeMismatch);
    }
    out = converted;
}

} // namespace palvex::capi
