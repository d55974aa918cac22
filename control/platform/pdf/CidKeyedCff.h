#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace palvex::pdf {

// A CFF font program rewritten as a CID-keyed one whose glyph n is the glyph `glyphOf[n]` of the
// original, and whose CID n is glyph n (format-2 charset). The document's own numbering then
// works for CFF fonts as for TrueType ones: one glyph drawn for two texts (a bracket mirrored in
// right-to-left text) is two CIDs, each copying back as its own text. Charstrings, subroutines
// and private dictionaries are kept byte for byte. Empty when `cff` is not a CFF font this can
// read (then the font cannot be written).
QByteArray cidKeyedCff(QByteArrayView cff, const std::vector<uint32_t>& glyphOf);

} // namespace palvex::pdf
