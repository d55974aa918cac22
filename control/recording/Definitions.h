#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace palvex {

class CodePage;

// The 1024-byte settings record kept in the definitions file. The arrays are 0-based here:
// element 0 holds entry (1) of the record's 1-based arrays.
struct Definitions {
    static constexpr int Size = 1024;
    static constexpr int32_t DefaultBackColor = 14737632; // E0E0E0, light grey
    static constexpr std::array<double, 4> DefaultMarginsCm{1.5, 1.5, 1.5, 3.5};
    using Bytes = std::array<unsigned char, Size>;

    std::array<int16_t, 50>
        DefFlags{}; // [0] "currentX" zoom option, [1] "Width area", [2] "Height area"
    std::array<int16_t, 50> DefInts{};
    std::array<QString, 7> DefTexts;    // 30 characters each
    std::array<int32_t, 50> DefLongs{}; // [0] preview background colour
    std::array<double, 50> DefReals{};  // [0..3] left, right, top, bottom margin in cm
    QString DefTag;                     // 14 characters

    // The record a new definitions file starts with, for the given default margins (cm).
    static Definitions initial(const std::array<double, 4>& marginsCm);

    void encode(Bytes& out, const CodePage& codePage) const;

    // Reads a record of any length (a short one is zero-filled first). Fields that could not
    // have been written by the control (NaN, infinite or out-of-range margins, an impossible
    // colour, zoom flags other than 0 and 1) take their defaults, so start-up never fails.
    static Definitions decode(const unsigned char* bytes, qsizetype size, const CodePage& codePage);
};

} // namespace palvex
