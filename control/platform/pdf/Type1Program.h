#pragma once

#include <QByteArray>

#include <optional>

namespace palvex::pdf {

// A Type 1 font program in the two parts a PDF embeds: the cleartext up to and including the
// line end after "eexec", and the encrypted part in binary, ending where the program closes
// its file (the zeros and "cleartomark" after that are left out: readers supply them).
struct Type1Program {
    QByteArray cleartext;
    QByteArray encrypted;
};

// The program of a font file in any of the forms fonts are shipped in: segmented binary (.pfb),
// hexadecimal text (.pfa), or text with a binary encrypted part (URW's .t1). Nothing when the
// data is none of these, or its encrypted part does not close its file.
std::optional<Type1Program> type1Program(const QByteArray& file);

} // namespace palvex::pdf
