// Amounts are measured without shaping where the font allows it: they must measure exactly as
// Qt shapes them, kerning pairs included, in every font and size a report uses.
#include "platform/TextMetrics.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace palvex;

namespace {

// Qt's own measure of a text, at 1440 dpi as the recorder measures.
double shapedWidth(const FontSpec& spec, const QString& text) {
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = qRound(TextMetrics::DotsPerInch / 0.0254);
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    return QFontMetricsF(TextMetrics::cachedFont(spec), &device).horizontalAdvance(text);
}

QStringList amounts() {
    QRandomGenerator random(2026);
    QStringList texts{
        QStringLiteral("0"),     QStringLiteral("11"),        QStringLiteral("1,111,111.11"),
        QStringLiteral("-0.01"), QStringLiteral("2026-0142"), QStringLiteral("100.00-"),
        QStringLiteral("7,1")};
    for (int i = 0; i < 400; ++i) {
        const qint64 cents = random.bounded(qint64(1) << 40) >> random.bounded(40);
        QString text = QLocale(QLocale::English).toString(double(cents) / 100, 'f', 2);
        if (random.bounded(3) == 0) text.prepend(u'-');
        texts += text;
    }
    return texts;
}

} // namespace

TEST(TextMetrics, AnAmountMeasuresAsQtShapesItInEveryFontAndSize) {
    const QStringList texts = amounts();
    for (const char* family : {"Liberation Sans", "David CLM", "DejaVu Sans", "Miriam Mono CLM",
                               "Aharoni CLM", "Noto Sans Hebrew"})
        for (const float size : {10.f, 11.5f, 36.f})
            for (const bool bold : {false, true}) {
                FontSpec spec;
                spec.name = QString::fromUtf8(family);
                spec.size = size;
                spec.bold = bold;
                SCOPED_TRACE(QStringLiteral("%1 %2%3")
                                 .arg(spec.name)
                                 .arg(size)
                                 .arg(bold ? QStringLiteral(" bold") : QString())
                                 .toStdString());
                for (const QString& text : texts)
                    ASSERT_EQ(TextMetrics::width(spec, text), shapedWidth(spec, text))
                        << qPrintable(text);
            }
}
