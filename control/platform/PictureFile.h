#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

namespace palvex {

// A picture file in any format QImageReader reads. It is measured from its header alone: its
// pixels and its resolution give its size in hundredths of a millimetre (pixels x 2540 / the
// file's dots per inch, Qt's default when it states none). Its pixels are decoded only for
// drawing, at the size they are drawn at and never more than the file's own.
struct PictureFile {
    enum class State {
        Readable,
        Unreadable, // missing, not a picture, or a header no reader takes
        TooLarge,   // more pixels than a decode may take (MaxDecodeBytes)
    };
    State state = State::Unreadable;
    QString path;
    QDateTime modified; // the version of the file measured, with its size in bytes
    qint64 fileBytes = 0;
    QSize pixels; // upright, as the picture is drawn
    double widthHmm = 0;
    double heightHmm = 0;

    // A reader that cannot shrink a picture while it reads it (a grey or palette PNG, a BMP, a
    // GIF) decodes all its pixels, which Qt counts at 4 bytes each at least. 300 MB hold an A3
    // page at 600 dpi (7016 x 9921) in colour; a picture whose whole decode needs more is refused.
    static constexpr int64_t MaxDecodeBytes = int64_t(300) << 20;
    // Pictures are never decoded finer than this at the size they are drawn: a printer at 1200
    // dpi shows no more of a scan, and a page of it stays within MaxDecodeBytes.
    static constexpr double MaxDotsPerInch = 600;

    // The file's header; the pixels are not read, except for a format whose resolution only its
    // decode tells (one whose reader this does not know).
    static PictureFile open(const QString& path);

    bool readable() const { return state == State::Readable; }
    // The size a decode for `wanted` gives: no larger than the file on either side.
    QSize decodedSize(QSize wanted) const;
    // The pixels scaled to decodedSize(wanted), in the leanest format that holds them (a grey
    // picture as 8-bit grey); a null image when they cannot be decoded, or when the file is no
    // longer the version measured. A decode of a JPEG that is not turned names its file, so
    // that a document can embed the file's own bytes (jpegBytesOf).
    QImage decode(QSize wanted) const;
    // The bytes of the JPEG file `image` was decoded from, when it is still the version decoded;
    // empty for any other image, a part of one too. Qt's drawing carries the image, and the mark
    // travels with it.
    static QByteArray jpegBytesOf(const QImage& image);

    static double hmmToTwips(double hmm) { return hmm * 1440.0 / 2540.0; }
    static double twipsToHmm(double twips) { return twips * 2540.0 / 1440.0; }
};

} // namespace palvex
