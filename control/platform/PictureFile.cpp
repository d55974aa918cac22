#include "PictureFile.h"

#include <QImageReader>

namespace palvex {

std::optional<PictureFile> PictureFile::load(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    auto dpi = [](int dotsPerMeter) { return dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 96.0; };
    PictureFile picture;
    picture.widthHmm = image.width() * 2540.0 / dpi(image.dotsPerMeterX());
    picture.heightHmm = image.height() * 2540.0 / dpi(image.dotsPerMeterY());
    picture.image = std::move(image);
    return picture;
}

} // namespace palvex
