// Builds the demonstration's data files from their readable sources:
//   MakeDemoData SOURCE_DIR OUTPUT_DIR
// trial_balance.csv -> TrialBalance_HEB.bln and TrialBalance_ENG.bln (the Hebrew and English
// names of the same accounts), statement.csv -> Statement_ENG.bln, and the company's logo for
// the graphics example. A field too long for its record or a character that Windows-1255 does
// not have fails the build, naming the line.

#include "DataFiles.h"
#include "ExampleReports.h"

#include "core/CodePage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>
#include <vector>

using namespace palvex;
using namespace palvex::demo;

namespace {

struct SourceLine {
    int number;
    QStringList fields;
};

std::vector<SourceLine> readSource(const QString& path, qsizetype fieldCount) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw DataFileError(path + QStringLiteral(": ") + file.errorString());
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    std::vector<SourceLine> lines;
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++number;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != fieldCount)
            throw DataFileError(
                QStringLiteral("%1:%2: %3 fields expected").arg(path).arg(number).arg(fieldCount));
        lines.push_back({number, fields});
    }
    return lines;
}

QString field(const QString& path, const SourceLine& line, qsizetype index, int width) {
    const QString text = line.fields[index].trimmed();
    static const CodePage page(1255);
    if (text.size() > width)
        throw DataFileError(QStringLiteral("%1:%2: \"%3\" is longer than %4 characters")
                                .arg(path)
                                .arg(line.number)
                                .arg(text)
                                .arg(width));
    if (page.decode(page.encode(text)) != text)
        throw DataFileError(QStringLiteral("%1:%2: \"%3\" has characters Windows-1255 lacks")
                                .arg(path)
                                .arg(line.number)
                                .arg(text));
    return text;
}

double number(const QString& path, const SourceLine& line, qsizetype index) {
    bool ok = false;
    const double value = line.fields[index].trimmed().toDouble(&ok);
    if (!ok)
        throw DataFileError(QStringLiteral("%1:%2: field %3 is not a number")
                                .arg(path)
                                .arg(line.number)
                                .arg(index + 1));
    return value;
}

void makeTrialBalances(const QDir& source, const QDir& output) {
    const QString path = source.filePath(QStringLiteral("trial_balance.csv"));
    std::vector<QByteArray> hebrew, english;
    for (const SourceLine& line : readSource(path, 6)) {
        TrialBalanceRecord r;
        r.account = field(path, line, 0, TrialBalanceRecord::NumberWidth);
        r.code = int16_t(number(path, line, 3));
        r.debit = number(path, line, 4);
        r.credit = number(path, line, 5);
        r.name = field(path, line, 1, TrialBalanceRecord::NameWidth);
        hebrew.push_back(r.encode());
        r.name = field(path, line, 2, TrialBalanceRecord::NameWidth);
        english.push_back(r.encode());
    }
    writeRecords(output.filePath(TrialBalanceHebrewFile), hebrew);
    writeRecords(output.filePath(TrialBalanceEnglishFile), english);
}

void makeStatement(const QDir& source, const QDir& output) {
    const QString path = source.filePath(QStringLiteral("statement.csv"));
    std::vector<QByteArray> records;
    for (const SourceLine& line : readSource(path, 5)) {
        StatementRecord r;
        r.lineType = int16_t(number(path, line, 0));
        r.note = int16_t(number(path, line, 1));
        r.text = field(path, line, 2, StatementRecord::TextWidth);
        r.current = int32_t(number(path, line, 3));
        r.previous = int32_t(number(path, line, 4));
        records.push_back(r.encode());
    }
    writeRecords(output.filePath(StatementFile), records);
}

// The sample company's logo: a desk and a rising sun, 360 x 240 pixels at 192 dots per inch.
void makePicture(const QDir& output) {
    QImage image(360, 240, QImage::Format_ARGB32);
    image.setDotsPerMeterX(7559); // 192 dpi
    image.setDotsPerMeterY(7559);
    image.fill(QColor(0xF4, 0xF1, 0xE8));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor(0x2B, 0x6C, 0xB0));
    sky.setColorAt(1, QColor(0xF6, 0xB2, 0x6B));
    p.fillRect(QRect(10, 10, 340, 160), sky);
    p.setBrush(QColor(0xFF, 0xD1, 0x4D));
    p.setPen(Qt::NoPen);
    p.drawPie(QRect(120, 90, 120, 120), 0, 180 * 16);
    p.setBrush(QColor(0x7A, 0x4B, 0x2A)); // the desk
    p.drawRect(QRect(60, 150, 240, 22));
    p.drawRect(QRect(75, 172, 16, 50));
    p.drawRect(QRect(269, 172, 16, 50));
    p.drawRect(QRect(200, 172, 70, 40));
    p.setBrush(QColor(0xE8, 0xD5, 0xB0));
    p.drawRect(QRect(208, 180, 54, 10));
    p.drawRect(QRect(208, 196, 54, 10));
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(10, 10, 340, 220));
    p.end();
    const QString file = output.filePath(PictureFile);
    if (!image.save(file, "PNG")) throw DataFileError(file + QStringLiteral(" cannot be written"));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: MakeDemoData SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QDir output(QString::fromLocal8Bit(argv[2]));
    try {
        QDir().mkpath(output.absolutePath());
        makeTrialBalances(source, output);
        makeStatement(source, output);
        makePicture(output);
    } catch (const DataFileError& error) {
        std::fprintf(stderr, "MakeDemoData: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
