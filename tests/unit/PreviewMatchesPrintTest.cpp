// The printed page places every text where the preview draws it, on every screen width and at a
// screen scale factor of 2, and a report centred at any zoom prints centred on the paper. The
// script host records, draws and prints as a user's script would; poppler reads the PDF back.

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif

namespace {

// A word as poppler and the preview both spell it: compatibility forms folded and points left
// out.
QString comparable(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC))
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Other_Format) out += c;
    return out;
}

struct Place {
    double right = 0, top = 0; // twips from the paper's top-left corner
    double left = 0;           // printed words only
};

struct Canvas {
    double width = 0, height = 0; // twips
    int pixelsWide = 0, pixelsHigh = 0;
};

struct HostRun {
    QHash<QString, Place> drawn;                           // by text, the last page drawn
    QHash<QString, Place> printed;                         // by word, the PDF's first page
    std::vector<std::pair<QString, Place>> printedInOrder; // every word, repeated ones too
    Canvas canvas;
    QString output;
};

class PreviewMatchesPrint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
    }

    // Runs a script through palvex-run on a screen `screenWidth` twips wide, printing to the PDF
    // device, and reads back where the preview drew each text and where the PDF has each word.
    HostRun run(const QString& script, float screenWidth, const QString& scaleFactor = QString()) {
        const QString scriptPath = m_dir.filePath(QStringLiteral("report.pvs"));
        const QString pdf = m_dir.filePath(QStringLiteral("report.pdf"));
        QFile::remove(pdf);
        QFile file(scriptPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(script.toUtf8());
        file.close();

        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/palvex.sock"));
        if (!scaleFactor.isEmpty()) env.insert(QStringLiteral("QT_SCALE_FACTOR"), scaleFactor);
        host.setProcessEnvironment(env);
        host.setWorkingDirectory(m_dir.path());
        const QString screen = QStringLiteral("%1x%2").arg(screenWidth).arg(screenWidth * 9 / 16);
        host.start(QStringLiteral(PALVEX_RUN_PATH),
                   {QStringLiteral("--screen"), screen, QStringLiteral("--pdf"), pdf, scriptPath});
        EXPECT_TRUE(host.waitForFinished(60000));
        HostRun result;
        result.output = QString::fromUtf8(host.readAllStandardOutput());
        const QRegularExpression drawn(
            QStringLiteral("^drawn \\d+: right=([-0-9.]+) top=([-0-9.]+) text=\"(.*)\"$"),
            QRegularExpression::MultilineOption);
        for (auto it = drawn.globalMatch(result.output); it.hasNext();) {
            const auto m = it.next();
            result.drawn.insert(m.captured(3),
                                {m.captured(1).toDouble(), m.captured(2).toDouble()});
        }
        const QRegularExpression canvas(
            QStringLiteral("^canvas: ([0-9.]+)x([0-9.]+) twips, (\\d+)x(\\d+) pixels$"),
            QRegularExpression::MultilineOption);
        if (const auto m = canvas.match(result.output); m.hasMatch())
            result.canvas = {m.captured(1).toDouble(), m.captured(2).toDouble(),
                             m.captured(3).toInt(), m.captured(4).toInt()};

        QProcess poppler;
        poppler.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                    QStringLiteral("1"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(poppler.waitForFinished(30000));
        const QString html = QString::fromUtf8(poppler.readAllStandardOutput());
        const QRegularExpression word(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                           "yMax=\"[0-9.]+\">([^<]+)</word>"));
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            // Points to twips: right end and top.
            const Place place{m.captured(3).toDouble() * 20, m.captured(2).toDouble() * 20,
                              m.captured(1).toDouble() * 20};
            result.printed.insert(m.captured(4), place);
            result.printedInOrder.emplace_back(m.captured(4), place);
        }
        return result;
    }

    static QString report(const QString& afterLastPage) {
        QString s = QStringLiteral("StartPalvexPrintPreview\nFontSize = 12\n");
        for (int line = 0; line < 6; ++line)
            s += QStringLiteral("CurrentX = %1\nprintText \"Alpha%2\", 1\nprintText \"Beta%2\", 1\n"
                                "printText \"Gamma%2\", 2\n")
                     .arg(800 + 300 * line)
                     .arg(line);
        s += QStringLiteral("RightIT \"Right\", 2\nLeftIT \"Left\", 2\ncenterIT \"Middle\", 2\n"
                            "printLastPage\n");
        return s + afterLastPage;
    }

    // Every word the page drew is printed within a pixel (15 twips) of where it was drawn.
    static int compare(const HostRun& r, double tolerance = 15) {
        int compared = 0;
        for (auto it = r.drawn.cbegin(); it != r.drawn.cend(); ++it) {
            if (!r.printed.contains(it.key())) continue;
            const Place p = r.printed.value(it.key());
            EXPECT_NEAR(p.right, it->right, tolerance) << it.key().toStdString();
            EXPECT_NEAR(p.top, it->top, tolerance) << it.key().toStdString();
            ++compared;
        }
        return compared;
    }

    QTemporaryDir m_dir;
};

const QString kPrint = QStringLiteral("!drawn\n!click cmd 1\n!click cmdOK\n");

// The A4 sheet of the PDF device, in twips.
constexpr double PaperWidth = 210 / 25.4 * 1440;

TEST_F(PreviewMatchesPrint, OnEveryScreenWidth) {
    for (float screen : {9600.0f, 12000.0f, 20490.0f, 28800.0f, 38400.0f}) {
        SCOPED_TRACE(screen);
        const HostRun r = run(report(kPrint), screen);
        EXPECT_GE(compare(r), 20) << r.output.toStdString();
        // The canvas is the sheet at 15 twips a pixel, whatever the screen.
        EXPECT_NEAR(r.canvas.width, PaperWidth, 0.1);
        EXPECT_EQ(r.canvas.pixelsWide, int(std::ceil(r.canvas.width / 15)));
    }
}

// Lines of every script in a UTF-8 report print where the preview draws them: Arabic joined and
// shaped right to left, Hebrew with points, Cyrillic, Greek and accented Latin, one word an item.
TEST_F(PreviewMatchesPrint, UnicodeLinesInAUtf8Report) {
    const QStringList words = {QString::fromUtf8("שָׁלוֹם"),    QString::fromUtf8("مرحبا"),
                               QString::fromUtf8("بالعالم"), QString::fromUtf8("Привет"),
                               QString::fromUtf8("Иванов"),  QString::fromUtf8("Κόσμε"),
                               QString::fromUtf8("brûlée"),  QString::fromUtf8("Łódź")};
    QString script = QStringLiteral("CodePage = 65001\nStartPalvexPrintPreview\nFontSize = 12\n");
    for (qsizetype i = 0; i < words.size(); ++i)
        script += QStringLiteral("CurrentX = %1\nprintText \"%2\", %3\n")
                      .arg(800 + 1500 * (i % 2))
                      .arg(words[i])
                      .arg(i % 2 ? 2 : 1);
    const HostRun r = run(script + QStringLiteral("printLastPage\n") + kPrint, 9600);
    for (const QString& word : words) {
        SCOPED_TRACE(word.toStdString());
        ASSERT_TRUE(r.drawn.contains(word)) << r.output.toStdString();
        const Place drawn = r.drawn[word];
        // poppler gives a word whose glyphs are placed one by one (pointed Hebrew, shaped
        // Arabic) as one "word" a glyph, Arabic in its presentation forms, each glyph's box as
        // high as its own font's: the word's right end is that of the rightmost of its glyphs
        // on its line.
        const QString letters = comparable(word);
        double right = 0;
        for (const auto& [printed, place] : r.printedInOrder) {
            const QString piece = comparable(printed);
            // A glyph's box starts at the line's top or above it (a taller font), never below.
            if (piece.isEmpty() || place.top > drawn.top + 20 || place.top < drawn.top - 200)
                continue;
            if (std::all_of(piece.begin(), piece.end(),
                            [&](QChar c) { return letters.contains(c); }))
                right = std::max(right, place.right);
        }
        EXPECT_NEAR(right, drawn.right, 15) << r.output.toStdString();
    }
}

TEST_F(PreviewMatchesPrint, AtAScreenScaleFactorOfTwo) {
    const HostRun r = run(report(kPrint), 9600, QStringLiteral("2"));
    EXPECT_GE(compare(r), 20) << r.output.toStdString();
    // Twice the pixels for the same sheet, so the page stays sharp.
    EXPECT_NEAR(r.canvas.width, PaperWidth, 0.1);
    EXPECT_EQ(r.canvas.pixelsWide, int(std::ceil(r.canvas.width / 15 * 2)));
    EXPECT_EQ(r.canvas.pixelsHigh, int(std::ceil(r.canvas.height / 15 * 2)));
}

TEST_F(PreviewMatchesPrint, AZoomedPreviewIsTheZoomedPrintout) {
    // 100 % first, as the reference for the distances from the printable area's corner.
    const HostRun plain = run(report(kPrint), 28800);
    for (const auto& [index, zoom] : {std::pair{3, 0.5}, std::pair{18, 2.0}}) {
        SCOPED_TRACE(zoom);
        const HostRun zoomed =
            run(report(QStringLiteral("!select cboZoom %1\n!drawn\n!click cmd 1\n"
                                      "!select cboZoomPrinting 1\n!click cmdOK\n")
                           .arg(index)),
                28800);
        EXPECT_GE(compare(zoomed), 18) << zoomed.output.toStdString();
        // The printable area's corner: 360 twips in from the sheet's right and top edges.
        const double right = PaperWidth - 360, top = 360;
        for (const QString& word : {QStringLiteral("Alpha0"), QStringLiteral("Gamma5")}) {
            ASSERT_TRUE(zoomed.drawn.contains(word) && plain.drawn.contains(word));
            EXPECT_NEAR(right - zoomed.drawn[word].right, zoom * (right - plain.drawn[word].right),
                        2);
            EXPECT_NEAR(zoomed.drawn[word].top - top, zoom * (plain.drawn[word].top - top), 2);
        }
    }
}

TEST_F(PreviewMatchesPrint, AReportCentredAtAnyZoomPrintsCentredOnThePaper) {
    for (int index : {3, 8, 18}) {
        SCOPED_TRACE(index);
        const HostRun r = run(report(QStringLiteral("!select cboZoom %1\n!select cboMoreOptions 4\n"
                                                    "!click cmd 1\n!click cmdOK\n")
                                         .arg(index)),
                              9600);
        // The free text's block, printed at 100 %: the Alpha, Beta and Gamma words.
        double left = 1e9, right = 0;
        for (auto it = r.printed.cbegin(); it != r.printed.cend(); ++it) {
            if (!it.key().contains(QRegularExpression(QStringLiteral("^(Alpha|Beta|Gamma)\\d$"))))
                continue;
            left = std::min(left, it->left);
            right = std::max(right, it->right);
        }
        ASSERT_GT(right, left) << r.output.toStdString();
        EXPECT_NEAR((left + right) / 2, PaperWidth / 2, 1440 / 25.4); // within a millimetre
    }
}

} // namespace
