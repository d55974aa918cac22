#pragma once

#include <QString>

#include <bit>
#include <cstdint>
#include <cstring>

#include "CodePage.h"

namespace palvex::codec {

// Little-endian fields at explicit offsets; no struct overlays.
inline void putI16(unsigned char* p, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    p[0] = u & 0xFF;
    p[1] = u >> 8;
}
inline void putI32(unsigned char* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = (u >> (8 * i)) & 0xFF;
}
inline void putF32(unsigned char* p, float v) {
    putI32(p, std::bit_cast<int32_t>(v));
}
inline void putF64(unsigned char* p, double v) {
    const auto u = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        p[i] = (u >> (8 * i)) & 0xFF;
}
inline void putText(unsigned char* p, const QString& text, int width, const CodePage& cp) {
    cp.encodeInto(text, reinterpret_cast<char*>(p), width);
}

inline int16_t getI16(const unsigned char* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}
inline int32_t getI32(const unsigned char* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= uint32_t(p[i]) << (8 * i);
    return static_cast<int32_t>(u);
}
inline float getF32(const unsigned char* p) {
    return std::bit_cast<float>(getI32(p));
}
inline double getF64(const unsigned char* p) {
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i)
        u |= uint64_t(p[i]) << (8 * i);
    return std::bit_cast<double>(u);
}
inline QString getText(const unsigned char* p, int width, const CodePage& cp) {
    return cp.decode(reinterpret_cast<const char*>(p), width);
}

} // namespace palvex::codec
