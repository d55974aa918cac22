#pragma once

#include <QByteArrayView>

#include <optional>

namespace palvex::pdf {

// What a PDF needs of a JPEG file to embed its bytes unchanged: its pixels and colour components.
struct JpegFrame {
    int width = 0, height = 0;
    int components = 0; // 1 grey, 3 colour
};

// The frame of a JPEG that every reader's DCT decoder draws as Qt decodes it: Huffman-coded
// (baseline or progressive), 8 bits a sample, grey or YCbCr colour. Anything else (CMYK, whose
// inverted Adobe samples readers treat differently and which an sRGB archive may not hold, RGB
// stored untransformed, 12-bit, arithmetic or lossless coding, a damaged header) is nullopt,
// and the picture is embedded from its decoded pixels instead.
std::optional<JpegFrame> embeddableJpegFrame(QByteArrayView bytes);

} // namespace palvex::pdf
