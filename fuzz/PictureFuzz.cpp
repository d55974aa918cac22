// Pictures named in a report are outside files: any bytes must load or be refused, and a loaded
// picture must draw, without crashing or allocating without bound.

#include "FuzzControl.h"

#include "platform/ImageSurface.h"
#include "platform/PictureFile.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace palvex;

namespace {
fuzz::FuzzControl* control = nullptr;
}

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
    if (const auto picture = PictureFile::load(path)) {
        ImageSurface canvas(1.0 / 60);
        canvas.setScaleModeTwips();
        canvas.setWidth(11909);
        canvas.setHeight(16834);
        canvas.setScaleWidth(11909);
        canvas.setScaleHeight(16834);
        canvas.PaintPicture(picture->image, 1000, 1000, float(picture->widthHmm * 567 / 1000),
                            float(picture->heightHmm * 567 / 1000));
    }
    return 0;
}
