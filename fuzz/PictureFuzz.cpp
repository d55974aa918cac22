// Pictures named in a report are outside files: any bytes must load or be refused, and a loaded
// picture must draw, without crashing or allocating without bound.

#include "FuzzControl.h"

#include "platform/ImageSurface.h"
#include "platform/PictureFile.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <iterator>
#include <utility>

#include <cstddef>
#include <cstdint>

using namespace palvex;

namespace {
fuzz::FuzzControl* control = nullptr;

// Qt's decoders are not instrumented, so libFuzzer sees no difference between a PNG and a GIF and
// would drop all seeds but one. Calling a function of its own for what the reader found (the
// format, the pixel layout, the size class) gives each kind of picture an edge of its own.
template <int N> [[gnu::noinline]] void seen() {
    static volatile int count;
    count = count + 1;
}

template <int... N> void seenCase(size_t which, std::integer_sequence<int, N...>) {
    static void (*const cases[])() = {seen<N>...};
    cases[std::min(which, sizeof...(N) - 1)]();
}

void seenCase(size_t which) {
    seenCase(which, std::make_integer_sequence<int, 128>());
}

void noteWhatWasRead(const QString& path, const QImage* image) {
    const QByteArray format = QImageReader::imageFormat(path);
    static const char* const formats[] = {"png", "jpeg", "jpg", "bmp", "gif", "ico",  "ppm",
                                          "pgm", "pbm",  "xbm", "xpm", "svg", "svgz", "cur"};
    size_t known = std::size(formats);
    for (size_t i = 0; i < std::size(formats); ++i)
        if (format == formats[i]) known = i;
    seenCase(known); // 0 … 14
    if (!image) return;
    seenCase(16 + size_t(std::clamp(int(image->format()), 0, 63))); // 16 … 79
    const int side = std::max(image->width(), image->height());
    seenCase(80 + (side <= 4 ? 0 : side <= 64 ? 1 : side <= 1024 ? 2 : 3)); // 80 … 83
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    control = new fuzz::FuzzControl;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = QStringLiteral("picture.bin");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    // Measured from its header, then decoded at the size the canvas shows it at, as a page
    // draws it: a header that claims more than it holds must not make the decode allocate it.
    const PictureFile picture = PictureFile::open(path);
    ImageSurface canvas(1.0 / 60);
    canvas.setScaleModeTwips();
    canvas.setWidth(11909);
    canvas.setHeight(16834);
    canvas.setScaleWidth(11909);
    canvas.setScaleHeight(16834);
    const float w = float(PictureFile::hmmToTwips(picture.widthHmm));
    const float h = float(PictureFile::hmmToTwips(picture.heightHmm));
    const QImage image = picture.readable() ? picture.decode(canvas.picturePixels(w, h)) : QImage();
    noteWhatWasRead(path, image.isNull() ? nullptr : &image);
    if (!image.isNull()) canvas.PaintPicture(image, 1000, 1000, w, h);
    return 0;
}
