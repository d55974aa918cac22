#include "capi/CallBuffer.h"

#include "core/Guarded.h"
#include "core/RecordCodec.h"

#include <cstring>

namespace palvex::capi {

namespace {

// Each call opens with its member's identifier, its kind and its number of arguments.
constexpr size_t CallHead = 4 + 1 + 1;

} // namespace

CallBuffer::CallBuffer(const void* data, size_t size)
    : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}

size_t CallBuffer::check() {
    m_position = 0;
    for (m_index = 0; m_position < m_size; ++m_index)
        read(nullptr);
    const size_t count = m_index;
    m_position = 0;
    m_index = 0;
    return count;
}

CallBuffer::Call& CallBuffer::next() {
    read(&m_call);
    ++m_index;
    return m_call;
}

const unsigned char* CallBuffer::take(size_t bytes, const char* what) {
    // Compared by what is left, so a huge length cannot wrap the sum around.
    if (bytes > m_size - m_position)
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("call %1 ends past the buffer's %2 bytes: %3 at byte %4 needs %5")
                   .arg(m_index)
                   .arg(m_size)
                   .arg(QLatin1StringView(what))
                   .arg(m_position)
                   .arg(bytes));
    const unsigned char* at = m_data + m_position;
    m_position += bytes;
    return at;
}

void CallBuffer::read(Call* into) {
    const unsigned char* head = take(CallHead, "its identifier, kind and argument count");
    const size_t count = head[5];
    if (into) {
        into->id = codec::getI32(head);
        into->kind = head[4];
        into->args.resize(count);
        if (m_texts.size() < count) m_texts.resize(count);
    }
    for (size_t i = 0; i < count; ++i) {
        const size_t tagAt = m_position;
        const int type = *take(1, "an argument's type");
        palvex_variant value = palvex_empty();
        value.type = type;
        switch (type) {
        case PALVEX_EMPTY:
        case PALVEX_MISSING:
            break;
        case PALVEX_BOOL:
            value.v.b = *take(1, "a Boolean") != 0;
            break;
        case PALVEX_I16:
            value.v.i16 = codec::getI16(take(2, "an Integer"));
            break;
        case PALVEX_I32:
            value.v.i32 = codec::getI32(take(4, "a Long"));
            break;
        case PALVEX_SINGLE:
            value.v.f32 = codec::getF32(take(4, "a Single"));
            break;
        case PALVEX_DOUBLE:
            value.v.f64 = codec::getF64(take(8, "a Double"));
            break;
        case PALVEX_STRING: {
            const size_t length = uint32_t(codec::getI32(take(4, "a text's length")));
            const char* text = reinterpret_cast<const char*>(take(length, "a text"));
            // Passed on as a C string, a NUL would end the text early: another text.
            if (std::memchr(text, 0, length))
                refuse(Status::InvalidProcedureCall,
                       QStringLiteral("call %1: the text at byte %2 holds a NUL character")
                           .arg(m_index)
                           .arg(tagAt));
            if (into) {
                m_texts[i].assign(text, length);
                value.v.str = m_texts[i].data();
            }
            break;
        }
        default:
            refuse(Status::InvalidProcedureCall,
                   QStringLiteral("call %1: %2 at byte %3 is not a value type (0 to 7)")
                       .arg(m_index)
                       .arg(type)
                       .arg(tagAt));
        }
        if (into) into->args[i] = value;
    }
}

} // namespace palvex::capi
