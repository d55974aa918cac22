#include "JpegFrame.h"

namespace palvex::pdf {

namespace {

int bigEndian16(QByteArrayView bytes, qsizetype at) {
    return (uchar(bytes[at]) << 8) | uchar(bytes[at + 1]);
}

// Start of frame, Huffman-coded: baseline, extended sequential, progressive.
bool huffmanFrame(uchar marker) {
    return marker == 0xC0 || marker == 0xC1 || marker == 0xC2;
}

// Any other start of frame: lossless, hierarchical or arithmetic-coded.
bool otherFrame(uchar marker) {
    return marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

std::optional<JpegFrame> embeddableJpegFrame(QByteArrayView bytes) {
    if (bytes.size() < 4 || uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xD8) return {};
    std::optional<JpegFrame> frame;
    bool jfif = false, adobe = false, rgbIds = false;
    int adobeTransform = -1;
    qsizetype at = 2;
    // The segments up to the first scan: markers with a length and data.
    while (at + 4 <= bytes.size()) {
        if (uchar(bytes[at]) != 0xFF) return {};
        const uchar marker = uchar(bytes[at + 1]);
        if (marker == 0xFF) { // fill
            ++at;
            continue;
        }
        if (marker == 0xDA) break; // the scan: the header is read
        if (marker == 0xD9 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) return {};
        const int length = bigEndian16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) return {};
        const QByteArrayView data = bytes.sliced(at + 4, length - 2);
        if (marker == 0xE0 && data.startsWith("JFIF")) jfif = true;
        if (marker == 0xEE && data.size() >= 12 && data.startsWith("Adobe")) {
            adobe = true;
            adobeTransform = uchar(data[11]);
        }
        if (otherFrame(marker)) return {};
        if (huffmanFrame(marker)) {
            if (frame || data.size() < 6) return {};
            const int precision = uchar(data[0]), components = uchar(data[5]);
            if (precision != 8 || data.size() < 6 + 3 * components) return {};
            frame = JpegFrame{bigEndian16(data, 3), bigEndian16(data, 1), components};
            rgbIds = components == 3 && data[6] == 'R' && data[9] == 'G' && data[12] == 'B';
        }
        at += 2 + length;
    }
    if (!frame || frame->width <= 0 || frame->height <= 0 || at + 4 > bytes.size()) return {};
    if (frame->components == 1) return frame;
    if (frame->components != 3) return {};
    // Colour a reader takes as YCbCr: as the Adobe marker says, else as JFIF files are, else as
    // decoders guess from the components' names.
    const bool ycc = adobe ? adobeTransform == 1 : jfif || !rgbIds;
    return ycc ? frame : std::nullopt;
}

} // namespace palvex::pdf
