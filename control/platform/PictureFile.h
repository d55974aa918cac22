#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace palvex {

// A picture loaded from a file in any format QImageReader reads, with its size in hundredths of
// a millimetre: pixels x 2540 / the image's dots per inch (96 when the file gives none).
struct PictureFile {
    QImage image;
    double widthHmm = 0;
    double heightHmm = 0;

    // Empty when the file cannot be read as a picture.
    static std::optional<PictureFile> load(const QString& path);

    static double hmmToTwips(double hmm) { return hmm * 1440.0 / 2540.0; }
    static double twipsToHmm(double twips) { return twips * 2540.0 / 1440.0; }
};

} // namespace palvex
