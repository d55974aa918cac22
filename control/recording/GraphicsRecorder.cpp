#include "GraphicsRecorder.h"

#include "ItemWriter.h"
#include "PrintItem.h"
#include "core/CodePage.h"
#include "core/Guarded.h"
#include "platform/Colors.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureFile.h"
#include "platform/Surface.h"
#include "recording/ReportState.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include <algorithm>
#include <cmath>

namespace palvex {

void GraphicsRecorder::warn(const QString& text, int flags) {
    m_report.lastAnswer = QString::number(m_boxes.show(text, flags, nullptr));
}

namespace {
int32_t storedColor(int32_t value) {
    return isValidColor(value) ? fromQColor(toQColor(value)) : 0;
}
} // namespace

namespace {
ShapeParams storedShape(const ShapeParams& params) {
    ShapeParams stored = params;
    stored.width = std::max(1, params.width);
    // Colours are stored as RGB: a system colour is resolved now (its number would not fit its
    // field), and a value that is neither is black.
    stored.color = storedColor(params.color);
    stored.outline = storedColor(params.outline);
    return stored;
}
} // namespace

void GraphicsRecorder::recordHostShape(int16_t kind, const ShapeParams& params, int32_t align) {
    m_report.lastShape = storedShape(params);
    recordShape(kind, params, align);
}

void GraphicsRecorder::recordShape(int16_t kind, const ShapeParams& params, int32_t align,
                                   ItemTag tag) {
    PendingItem item;
    item.shape = storedShape(params);
    item.align = int16_t(std::clamp(align, -1, 32767));
    item.kind = kind;
    item.tag = tag;
    m_writer.write(item);
}

bool GraphicsRecorder::decodes(const PictureFile& picture) {
    const std::pair<QDateTime, qint64> version{picture.modified, picture.fileBytes};
    if (m_decodable.value(picture.path) == version) return true;
    // A decode this small keeps next to nothing; readers that cannot shrink while they read
    // still read every pixel, which is the check.
    constexpr int CheckSide = 32;
    if (picture.decode(QSize(CheckSide, CheckSide)).isNull()) return false;
    m_decodable.insert(picture.path, version);
    return true;
}

void GraphicsRecorder::printPicture(const QString& fileName, int32_t horizontal, int32_t vertical,
                                    std::optional<Box> box) {
    if (box && (!(box->width > 0) || !(box->height > 0) || !withinPageRange(box->width) ||
                !withinPageRange(box->height)))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("a box of %1 by %2 twips; a picture's box has a width and a height "
                              "more than 0")
                   .arg(double(box->width))
                   .arg(double(box->height)));
    // The alternative text is this picture's, recorded or not.
    const QString altText = std::exchange(m_report.hostMarks.pictureAltText, QString());
    const QString prefix =
        QStringLiteral("You defined a bitmap file named ") + fileName + QLatin1Char('\n');
    const QString invalid =
        prefix + QStringLiteral("which is invalid picture,\ntherefore it would not be presented");
    if (!QFileInfo(fileName).isFile()) {
        m_boxes.beep();
        warn(prefix + QStringLiteral("for printing picture,\nbut the file does not exist,\n"
                                     "therefore it would not be presented"),
             MessageBoxes::OkOnly);
        return;
    }
    // The name is kept whole, however long. One the code page cannot hold could not be found
    // again from the record.
    const QString stored = fileName;
    // Only the file's header is read: its pixels are decoded when a page is drawn, at the size
    // it is drawn at.
    const PictureFile picture =
        m_report.page().holdsAll(stored) ? PictureFile::open(fileName) : PictureFile{};
    if (picture.state == PictureFile::State::TooLarge) {
        warn(prefix + QStringLiteral("which is too large: %1\u00D7%2 pixels,\n"
                                     "therefore it would not be presented")
                          .arg(picture.pixels.width())
                          .arg(picture.pixels.height()),
             MessageBoxes::OkOnly);
        return;
    }
    if (!picture.readable() || !decodes(picture)) {
        warn(invalid, MessageBoxes::OkOnly);
        return;
    }
    Surface& surface = *m_report.lines.surface();
    double width = picture.widthHmm, height = picture.heightHmm;
    if (box) {
        // The box in the picture's own unit, hundredths of a millimetre.
        const double boxWidth = PictureFile::twipsToHmm(box->width),
                     boxHeight = PictureFile::twipsToHmm(box->height);
        if (box->keepAspect && width > 0 && height > 0) {
            const double scale = std::min(boxWidth / width, boxHeight / height);
            width *= scale;
            height *= scale;
        } else {
            width = boxWidth;
            height = boxHeight;
        }
    }
    PendingItem item;
    item.picture = {stored, width, height, std::round(surface.CurrentY()), altText};
    item.align = int16_t(std::clamp(horizontal, -1, 32767));
    item.valign = int16_t(std::clamp(vertical, -1, 32767));
    item.kind = KindPicture;
    item.text = stored;
    try {
        m_writer.write(item);
    } catch (const Error&) {
        // A picture that cannot be recorded is reported like an invalid one.
        warn(invalid, MessageBoxes::OkOnly);
        return;
    }
    // A picture of the file's size moves the cursor by its height in its own unit, as pictures
    // always have; one sized to a box puts the cursor right below it.
    const float y = box ? std::round(float(item.picture.rememberedY +
                                           PictureFile::hmmToTwips(item.picture.height)))
                        : std::round(surface.CurrentY());
    surface.setCurrentY(y);
    m_report.props.CurrentY = y;
}

void GraphicsRecorder::fxPrintingChars(float start, float end, int16_t code, int32_t direction,
                                       int32_t& entr, int32_t& placement) {
    if (placement < 0 || placement > 2) placement = K0_StartAndEndPointAsDefined;
    if (code > 255) {
        m_boxes.beep();
        const int answer =
            m_boxes.show(QStringLiteral("ASCII Code should be little than 255\n"
                                        "You defined ASCII = %1\n"
                                        "Please contaxt your software supplier to solve this")
                             .arg(code),
                         MessageBoxes::Information, nullptr);
        m_report.lastAnswer = QString::number(answer);
        return;
    }
    if (code < 0) raise(Status::InvalidProcedureCall); // not a character code
    entr = entr == 1 ? KindChars : KindCharsNewLine;
    printRun(m_report.page().charOf(static_cast<unsigned char>(code)), start, end, direction,
             int16_t(entr), placement);
}

void GraphicsRecorder::printRun(QChar character, float start, float end, int32_t direction,
                                int16_t kind, int32_t placement, PendingItem marks) {
    PendingItem& item = marks;
    item.charsPlacement = int16_t(placement);
    item.run = {start, end, direction};
    item.kind = kind;
    item.text = QString(character);
    m_writer.write(item);
}

void GraphicsRecorder::recordRun(QChar character, int32_t direction, float start, float end) {
    printRun(character, start, end, direction, KindChars, K0_StartAndEndPointAsDefined);
}

} // namespace palvex
