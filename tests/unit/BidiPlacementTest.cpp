// The PDF lays every text out as the preview does: for texts the bidi algorithm's own test
// cases build (each class stood for by one character, in a right-to-left paragraph), the PDF
// has the same glyphs at the same places as Qt's layout, whichever way the PDF device took the
// text (shaped directly or through Qt's layout). MuPDF reads the glyphs back.
//
// A representative set runs by default; the full sweep over Unicode's BidiTest.txt and
// BidiCharacterTest.txt (Debian's unicode-data) is `tests/bidi-sweep.sh`.

#include "platform/PdfSurface.h"
#include "platform/Printers.h"
#include "platform/TextMetrics.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtGui/private/qfontengine_p.h>
#include <QtGui/private/qtextengine_p.h>

#include <gtest/gtest.h>

#include <hb.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace palvex::test {
namespace {

constexpr double DeviceDpi = 1200; // the PDF device's resolution: glyphs come back in its pixels
constexpr float FontPoints = 10;   // 200 twips: a whole number of the layout's units
constexpr double LineTwips = 400;
constexpr int LinesAPage = 30;

// Hebrew with points, Arabic and Latin in one font; the sweep may name another.
QString fontName() {
    return qEnvironmentVariable("PALVEX_BIDI_FONT", QStringLiteral("DejaVu Sans"));
}

FontSpec printedFont() {
    return FontSpec{fontName(), FontPoints};
}

// One character for each bidi class, as the algorithm's test cases name them.
QString characterOf(const QString& bidiClass) {
    static const std::map<QString, char16_t> characters{
        {QStringLiteral("L"), u'a'},        {QStringLiteral("R"), u'\u05D0'},
        {QStringLiteral("AL"), u'\u0627'},  {QStringLiteral("EN"), u'1'},
        {QStringLiteral("ES"), u'+'},       {QStringLiteral("ET"), u'$'},
        {QStringLiteral("AN"), u'\u0661'},  {QStringLiteral("CS"), u','},
        {QStringLiteral("NSM"), u'\u05B8'}, {QStringLiteral("BN"), u'\u00AD'},
        {QStringLiteral("B"), u'\u2029'},   {QStringLiteral("S"), u'\t'},
        {QStringLiteral("WS"), u' '},       {QStringLiteral("ON"), u'!'},
        {QStringLiteral("LRE"), u'\u202A'}, {QStringLiteral("LRO"), u'\u202D'},
        {QStringLiteral("RLE"), u'\u202B'}, {QStringLiteral("RLO"), u'\u202E'},
        {QStringLiteral("PDF"), u'\u202C'}, {QStringLiteral("LRI"), u'\u2066'},
        {QStringLiteral("RLI"), u'\u2067'}, {QStringLiteral("FSI"), u'\u2068'},
        {QStringLiteral("PDI"), u'\u2069'}};
    const auto it = characters.find(bidiClass);
    return it == characters.end() ? QString() : QString(QChar(it->second));
}

// The texts of BidiTest.txt's cases that are run in a right-to-left paragraph, then those of
// BidiCharacterTest.txt, each once. A paragraph separator or a tab is left out: a report's
// text is one line, and Qt lays tabs out against stops of its own.
QStringList bidiTestTexts(const QString& folder) {
    QStringList texts;
    QSet<QString> seen;
    auto add = [&](const QString& text) {
        if (text.isEmpty() || text.contains(QChar(u'\u2029')) || text.contains(QChar(u'\t')))
            return;
        if (!seen.contains(text)) {
            seen.insert(text);
            texts += text;
        }
    };
    QFile classes(folder + QStringLiteral("/BidiTest.txt"));
    if (classes.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!classes.atEnd()) {
            const QString line = QString::fromUtf8(classes.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u'@')) continue;
            const QStringList fields = line.split(u';');
            if (fields.size() < 2 || !(fields[1].trimmed().toInt() & 4)) continue; // not RTL
            QString text;
            for (const QString& c : fields[0].split(u' ', Qt::SkipEmptyParts))
                text += characterOf(c);
            add(text);
        }
    QFile characters(folder + QStringLiteral("/BidiCharacterTest.txt"));
    if (characters.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!characters.atEnd()) {
            const QString line = QString::fromUtf8(characters.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(u'#')) continue;
            const QStringList fields = line.split(u';');
            if (fields.size() < 2 || fields[1].trimmed() != QStringLiteral("1")) continue;
            QString text;
            for (const QString& code : fields[0].split(u' ', Qt::SkipEmptyParts)) {
                const char32_t u = code.toUInt(nullptr, 16);
                text += QString::fromUcs4(&u, 1);
            }
            add(text);
        }
    return texts;
}

// The blank glyphs of the fonts Qt drew with: blanks show nothing, and the PDF may leave a piece
// of them out, so they are compared on neither side.
QSet<uint32_t>& blankGlyphs() {
    static QSet<uint32_t> blanks;
    return blanks;
}

struct Glyph {
    uint32_t id = 0;
    QByteArray name; // a CFF glyph's, as MuPDF tells CFF glyphs
    double x = 0;    // twips from the text's left end
    QString font;    // its family's letters and digits, in lower case
};

// A family or a PDF font's name as letters and digits, without a foundry or a subset's tag:
// "Nimbus Sans [urw]" and "ABCDEF+NimbusSans-Regular" begin alike.
QString fontKey(QString name) {
    name = name.section(u'[', 0, 0).section(u'+', -1);
    QString key;
    for (const QChar c : name)
        if (c.isLetterOrNumber()) key += c.toLower();
    return key;
}

// The same glyphs of the same fonts at the same places: a twentieth of a point apart or less,
// and what the content stream's rounding of each advance adds up to along a long text.
bool samePlaces(const std::vector<Glyph>& expected, std::vector<Glyph> found) {
    if (expected.size() != found.size()) return false;
    const double tolerance = 1 + 0.05 * double(expected.size());
    for (const Glyph& g : expected) {
        const auto match = std::find_if(found.begin(), found.end(), [&](const Glyph& f) {
            const bool same = f.name.isEmpty() ? f.id == g.id : f.name == g.name;
            return same && f.font.startsWith(g.font) && std::fabs(f.x - g.x) <= tolerance;
        });
        if (match == found.end()) return false;
        found.erase(match);
    }
    return true;
}

QString described(const QString& text, const std::vector<Glyph>& glyphs) {
    QString out;
    for (const QChar c : text)
        out += QStringLiteral("%1 ").arg(c.unicode(), 4, 16, QChar(u'0'));
    out += QStringLiteral("->");
    for (const Glyph& g : glyphs)
        out += QStringLiteral(" %1@%2").arg(g.id).arg(g.x, 0, 'f', 1);
    return out;
}

// Only TrueType and CFF glyphs go into the PDF as glyphs.
bool embeddable(QFontEngine& engine) {
    uint length = 0;
    return engine.getSfntTableData(MAKE_TAG('g', 'l', 'y', 'f'), nullptr, &length) ||
           engine.getSfntTableData(MAKE_TAG('C', 'F', 'F', ' '), nullptr, &length) ||
           engine.getSfntTableData(MAKE_TAG('C', 'F', 'F', '2'), nullptr, &length);
}

// A glyph's name in a font file, as its CFF table names it.
QByteArray glyphName(const QByteArray& file, int faceIndex, uint32_t glyph) {
    using Font = std::unique_ptr<hb_font_t, decltype(&hb_font_destroy)>;
    static std::map<std::pair<QByteArray, int>, Font> fonts;
    auto found = fonts.find({file, faceIndex});
    if (found == fonts.end()) {
        hb_blob_t* blob = hb_blob_create_from_file(file.constData());
        hb_face_t* face = hb_face_create(blob, unsigned(faceIndex));
        found = fonts
                    .emplace(std::make_pair(file, faceIndex),
                             Font(hb_font_create(face), &hb_font_destroy))
                    .first;
        hb_face_destroy(face);
        hb_blob_destroy(blob);
    }
    char name[128] = {};
    return hb_font_get_glyph_name(found->second.get(), glyph, name, sizeof name) ? QByteArray(name)
                                                                                 : QByteArray();
}

// A paint device that keeps the glyphs Qt hands its engine, placed as Qt's own engines place
// them for the screen: what the preview draws, glyph by glyph.
class GlyphRecorder final : public QPaintDevice {
public:
    GlyphRecorder() : m_engine(*this) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    std::vector<Glyph> glyphs;
    bool outlines = false; // what the PDF draws as outlines: several fonts, or Type 1 glyphs

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 100000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return int(DeviceDpi);
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 1;
        }
    }

private:
    class Engine final : public QPaintEngine {
    public:
        explicit Engine(GlyphRecorder& device) : QPaintEngine(AllFeatures), m_device(device) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        Type type() const override { return User; }
        void drawTextItem(const QPointF& origin, const QTextItem& textItem) override {
            const auto& item = static_cast<const QTextItemInt&>(textItem);
            if (!item.fontEngine || item.glyphs.numGlyphs == 0) return;
            if (item.fontEngine->type() == QFontEngine::Multi || !embeddable(*item.fontEngine)) {
                m_device.outlines = true;
                return;
            }
            const QString font = fontKey(item.fontEngine->fontDef.families.value(0));
            const QFontEngine::FaceId face = item.fontEngine->faceId();
            QVarLengthArray<glyph_t> glyphs;
            QVarLengthArray<QFixedPoint> places;
            item.fontEngine->getGlyphPositions(
                item.glyphs, QTransform::fromTranslate(origin.x(), 0), item.flags, glyphs, places);
            const glyph_t blank = item.fontEngine->glyphIndex(' ');
            blankGlyphs().insert(blank);
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                if (glyphs[i] != blank)
                    m_device.glyphs.push_back({glyphs[i],
                                               glyphName(face.filename, face.index, glyphs[i]),
                                               places[i].x.toReal(), font});
        }

    private:
        GlyphRecorder& m_device;
    };
    mutable Engine m_engine;
};

// What the preview draws: the text as the canvas draws it (see PaintingSurface::drawText), in
// the font as the PDF device sizes it (a twip a unit). Nothing when Qt hands the engine what
// the PDF draws as outlines, which carry no glyphs to compare.
std::optional<std::vector<Glyph>> laidOut(const QString& text, const QFont& font) {
    GlyphRecorder recorder;
    QPainter painter(&recorder);
    painter.setFont(font);
    painter.setLayoutDirection(Qt::RightToLeft);
    painter.drawText(QPointF(0, 0), text);
    painter.end();
    if (recorder.outlines) return std::nullopt;
    return recorder.glyphs;
}

// Prints each text on a line of its own, as the replay does, and reads back the glyphs MuPDF
// finds on each line. Nothing when MuPDF could not read the document.
std::optional<std::vector<std::vector<Glyph>>> printed(const QStringList& texts, bool direct,
                                                       const QString& pdf) {
    std::vector<double> left(size_t(texts.size()));
    {
        PdfSurface printer(Printers::pdfDevice(), pdf);
        printer.setPlainTextShaping(direct);
        printer.setTagged(false);
        printer.begin();
        printer.setFontName(fontName());
        printer.setFontSize(FontPoints);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (i > 0 && i % LinesAPage == 0) printer.NewPage();
            const float y = float((i % LinesAPage + 1) * LineTwips);
            printer.setCurrentX(500);
            printer.setCurrentY(y);
            left[size_t(i)] = printer.textBox(texts[i], printer.font(), 500, y).left();
            printer.Print(texts[i], false);
        }
        printer.EndDoc();
    }
    QProcess trace;
    trace.start(QStringLiteral("mutool"), {QStringLiteral("trace"), pdf});
    if (!trace.waitForFinished(600000) || trace.exitCode() != 0) return std::nullopt;
    std::vector<std::vector<Glyph>> lines(size_t(texts.size()));
    const QRegularExpression page(QStringLiteral("<page number=\"(\\d+)\""));
    const QRegularExpression span(QStringLiteral("<span font=\"([^\"]*)\""));
    const QRegularExpression glyph(QStringLiteral(
        "<g unicode=\"([^\"]*)\" glyph=\"([^\"]+)\" x=\"([-0-9.e]+)\" y=\"([-0-9.e]+)\""));
    const double twipsAPixel = 1440 / DeviceDpi;
    const double ascent = TextMetrics::ascent(printedFont());
    int pageIndex = -1;
    QString font;
    while (trace.canReadLine() || !trace.atEnd()) {
        const QString line = QString::fromUtf8(trace.readLine());
        if (const auto p = page.match(line); p.hasMatch()) {
            pageIndex = p.captured(1).toInt() - 1;
            continue;
        }
        if (const auto f = span.match(line); f.hasMatch()) {
            font = fontKey(f.captured(1));
            continue;
        }
        const auto g = glyph.match(line);
        if (!g.hasMatch() || pageIndex < 0) continue;
        bool numbered = false;
        if (blankGlyphs().contains(g.captured(2).toUInt(&numbered)) && numbered) continue;
        // The line whose baseline is nearest: marks sit above or below it.
        const double y = g.captured(4).toDouble() * twipsAPixel - ascent;
        const int onPage = int(std::lround(y / LineTwips)) - 1;
        const qsizetype index = qsizetype(pageIndex) * LinesAPage + onPage;
        if (onPage < 0 || onPage >= LinesAPage || index >= texts.size()) continue;
        lines[size_t(index)].push_back(
            {g.captured(2).toUInt(&numbered), numbered ? QByteArray() : g.captured(2).toUtf8(),
             g.captured(3).toDouble() * twipsAPixel - left[size_t(index)], font});
    }
    return lines;
}

struct Sweep {
    int compared = 0, differing = 0, outlines = 0;
    QStringList firstDifferences;
};

// Every text printed both ways, each compared with Qt's layout.
Sweep sweep(const QStringList& texts, const QString& folder) {
    Sweep result;
    QFont font = TextMetrics::cachedFont(printedFont());
    font.setPixelSize(int(FontPoints * 20));
    std::vector<std::optional<std::vector<Glyph>>> expected;
    for (const QString& text : texts)
        expected.push_back(laidOut(text, font));
    for (bool direct : {true, false}) {
        const auto lines =
            printed(texts, direct, folder + QStringLiteral("/bidi%1.pdf").arg(direct));
        EXPECT_TRUE(lines) << "mutool could not read the PDF";
        if (!lines) return result;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (!expected[size_t(i)]) {
                result.outlines += direct;
                continue;
            }
            ++result.compared;
            if (samePlaces(*expected[size_t(i)], (*lines)[size_t(i)])) continue;
            ++result.differing;
            if (result.firstDifferences.size() < 20)
                result.firstDifferences +=
                    QStringLiteral("%1\n  Qt:  %2\n  PDF: %3")
                        .arg(direct ? QStringLiteral("direct") : QStringLiteral("Qt's layout"),
                             described(texts[i], *expected[size_t(i)]),
                             described(QString(), (*lines)[size_t(i)]));
        }
    }
    return result;
}

class BidiPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("mutool")).isEmpty())
            GTEST_SKIP() << "mupdf-tools is not installed";
        if (!QFontDatabase::families().contains(
                TextMetrics::cachedFont(printedFont()).families().value(0)))
            GTEST_SKIP() << qPrintable(fontName()) << " is not installed (fonts-dejavu-core)";
        ASSERT_TRUE(m_dir.isValid());
    }
    void expectNoDifferences(const QStringList& texts) {
        const Sweep result = sweep(texts, m_dir.path());
        std::printf("compared %d texts (both ways), %d differ, %d drawn as outlines\n",
                    result.compared, result.differing, result.outlines);
        EXPECT_EQ(result.differing, 0) << qPrintable(result.firstDifferences.join(u'\n'));
        EXPECT_GT(result.compared, 0);
    }
    QTemporaryDir m_dir;
};

QStringList fromClasses(std::initializer_list<const char*> cases) {
    QStringList texts;
    for (const char* classes : cases) {
        QString text;
        for (const QString& c : QString::fromLatin1(classes).split(u' ', Qt::SkipEmptyParts))
            text += characterOf(c);
        texts += text;
    }
    return texts;
}

// Cases of each kind the algorithm's tests hold: marks after separators and terminators that
// follow a Latin letter, soft hyphens before points, numbers beside letters, embeddings and
// isolates, plain runs of every class.
TEST_F(BidiPlacement, ThePdfPlacesEveryGlyphWhereQtsLayoutDoes) {
    QStringList texts = fromClasses({
        "R L ES NSM",
        "R L ET NSM",
        "R L CS NSM",
        "AL L ES NSM",
        "R L WS NSM",
        "R L ON NSM",
        "L ES NSM",
        "L ET NSM",
        "L CS NSM",
        "R BN NSM R",
        "R BN NSM",
        "BN NSM",
        "L BN NSM",
        "EN BN NSM",
        "R EN ES NSM",
        "R EN ET NSM",
        "AL EN CS NSM",
        "R AN CS NSM",
        "R NSM",
        "R NSM NSM",
        "AL NSM",
        "NSM",
        "NSM R",
        "L NSM",
        "EN NSM",
        "ES NSM",
        "ET NSM",
        "ON NSM R",
        "R WS R",
        "R ON R",
        "R ES R",
        "R ET R",
        "R CS R",
        "R EN",
        "EN R",
        "R EN CS EN",
        "R AN",
        "AL EN",
        "AL AN CS AN",
        "L",
        "L WS L",
        "L EN",
        "L ES EN",
        "L ON",
        "ON L",
        "EN",
        "EN CS EN",
        "EN ES EN",
        "EN ET",
        "ET EN",
        "AN",
        "AN CS AN",
        "ON",
        "WS",
        "ES",
        "R WS",
        "WS R",
        "L WS",
        "WS L",
        "R L",
        "L R",
        "R BN",
        "L BN",
        "BN",
        "BN R",
        "R LRE L PDF R",
        "R RLE L PDF",
        "L LRO R PDF",
        "R RLO L PDF R",
        "R LRI L PDI R",
        "R RLI L PDI",
        "L FSI R PDI",
        "R FSI L PDI NSM",
        "LRI NSM PDI",
        "R PDF NSM",
        "R LRE EN PDF",
        "AL LRI AN PDI",
        "R L ES NSM NSM",
        "R L ES BN NSM",
        "R L ET ET NSM",
    });
    // Words of a report as they come: points, soft hyphens, numbers among Hebrew words.
    texts += QStringList{
        QString::fromUtf8("שָׁלוֹם עוֹלָם"),
        QString::fromUtf8("קופה\u00ADראשית"),
        QString::fromUtf8("א\u00AD\u05B8ב"),
        QString::fromUtf8("יתרה (חובה) 1,029.47"),
        QString::fromUtf8("AB Trading Ltd (2026)"),
        QString::fromUtf8("מס׳ 12/2026"),
        QString::fromUtf8("مرحبا 123"),
        QString::fromUtf8("-1,029.47"),
        QString::fromUtf8("a \u2329b.1\u232a"),
    };
    expectNoDifferences(texts);
}

// The whole of Unicode's bidi test files, when they are installed: run by tests/bidi-sweep.sh.
TEST_F(BidiPlacement, DISABLED_EveryCaseOfTheBidiTestFiles) {
    const QString folder =
        qEnvironmentVariable("PALVEX_UNICODE_DATA", QStringLiteral("/usr/share/unicode"));
    const QStringList texts = bidiTestTexts(folder);
    if (texts.isEmpty()) GTEST_SKIP() << "no bidi test files in " << qPrintable(folder);
    expectNoDifferences(texts);
}

} // namespace
} // namespace palvex::test
