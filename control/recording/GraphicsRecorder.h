#pragma once

#include "core/ItemRole.h"
#include "recording/PendingItem.h"
#include "recording/ShapeParams.h"
#include <palvex/Enumerations.h>

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>
#include <utility>

namespace palvex {

struct PictureFile;

struct ReportState;
class ItemWriter;
class MessageBoxes;

// Records the items that are not plain text: runs of one repeated character, boxes, lines,
// circles and pictures.
class GraphicsRecorder {
public:
    GraphicsRecorder(ReportState& report, ItemWriter& writer, MessageBoxes& boxes)
        : m_report(report), m_writer(writer), m_boxes(boxes) {}

    // A run of the character with ANSI code `code` between two points, across or down the page.
    // `placement` outside 0-2 becomes 0 and `entr` becomes the kind recorded (13 or 14); both are
    // written back. A code above 255 is reported and nothing is recorded.
    void fxPrintingChars(float start, float end, int16_t code, int32_t direction, int32_t& entr,
                         int32_t& placement);
    // A run of `character` (recorded as `kind`, 13 or 14) between two points, placed by
    // `placement` (0-2).
    void printRun(QChar character, float start, float end, int32_t direction, int16_t kind,
                  int32_t placement, PendingItem marks = {});
    // A run of `character` between two points, recorded as it was saved in a printout.
    void recordRun(QChar character, int32_t direction, float start, float end);

    // Boxes, lines and circles: `params` holds the call's values (the ones a call has no
    // argument for keep those of the previous shape); a pen width below 1 becomes 1.
    // `tag` Unmarked records a decoration.
    void recordShape(int16_t kind, const ShapeParams& params, int32_t align, ItemTag tag = {});
    // A shape of the host's own: its values are what the host's next shape call starts from.
    void recordHostShape(int16_t kind, const ShapeParams& params, int32_t align);
    // A picture file: reported and not recorded when it is missing, not a picture, too large to
    // decode (PictureFile::MaxDecodeBytes), or its pixels cannot be decoded (checked once for
    // each version of a file, at a size that costs little to keep). It takes the alternative
    // text the host set for it (PictureAltText), recorded or not. With a box
    // (twips), the picture is scaled into it, keeping its proportions inside it when asked.
    struct Box {
        float width = 0, height = 0;
        bool keepAspect = true;
    };
    void printPicture(const QString& fileName, int32_t horizontal, int32_t vertical,
                      std::optional<Box> box = std::nullopt);

private:
    void warn(const QString& text, int flags);
    // The picture's pixels decode: a damaged file would otherwise be recorded and then left off
    // every page that draws it, as if all went well.
    bool decodes(const PictureFile& picture);

    ReportState& m_report;
    ItemWriter& m_writer;
    MessageBoxes& m_boxes;
    // The files whose pixels were found to decode, with the version found so; a report that
    // prints its logo on every page decodes it once.
    QHash<QString, std::pair<QDateTime, qint64>> m_decodable;
};

} // namespace palvex
