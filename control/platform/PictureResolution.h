#pragma once

#include <QByteArray>

#include <optional>

class QIODevice;

namespace palvex {

// The resolution a picture file states in its header, read the way Qt's own reader for its
// format sets the decoded image's dots per metre, so that a picture is measured without decoding
// its pixels. An axis the file gives no resolution for has Qt's default, as a decoded image has.
struct PictureResolution {
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;

    // `format` is the reader's name for it (QImageReader::format()); `file` is read from its
    // start. Nothing for a format whose reader this does not know: only a decode can tell.
    static std::optional<PictureResolution> read(QIODevice& file, const QByteArray& format);
    // What a decoded image has when its file states no resolution.
    static PictureResolution qtDefault();
};

} // namespace palvex
