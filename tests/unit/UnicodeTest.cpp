// Reports in any script: the CodePage property, UTF-8 reports of Hebrew with points, Arabic,
// Cyrillic, Greek and accented Latin from record to PDF, the warning of a single-byte page that
// loses characters, texts, font names and picture paths of any length through every step, and
// the printouts of before read as they always were.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "core/CodePage.h"
#include "platform/PropertyBag.h"
#include "preview/Search.h"
#include "recording/ItemWriter.h"
#include "recording/ShapeParams.h"
#include <palvex/Dispatch.h>

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace palvex::test {
namespace {

#ifndef PALVEX_TEST_REFERENCE_DIR
#define PALVEX_TEST_REFERENCE_DIR "."
#endif
#ifndef PALVEX_EXAMPLES_DIR
#define PALVEX_EXAMPLES_DIR "examples"
#endif
#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif

// One line of each script, as an Israeli invoice's customers and goods come.
struct ScriptLine {
    const char* script;
    QString text;
    QStringList words; // as pdftotext must give them back (points and compatibility forms aside)
};

std::vector<ScriptLine> scriptLines() {
    return {
        {"Hebrew with points", u("שָׁלוֹם עוֹלָם"), {u("שלום"), u("עולם")}},
        {"Arabic", u("مرحبا بالعالم"), {u("مرحبا"), u("بالعالم")}},
        {"Cyrillic", u("Привет, Иванов"), {u("Привет"), u("Иванов")}},
        {"Greek", u("Γειά σου Κόσμε"), {u("σου"), u("Κόσμε")}},
        {"accented Latin", u("Crème brûlée Łódź"), {u("Crème"), u("brûlée"), u("Łódź")}},
        {"mixed",
         u("חשבון 1234 للعميل Иванов Ölçü"),
         {u("חשבון"), u("للعميل"), u("Иванов"), u("Ölçü")}},
    };
}

// Text as a reader compares it: compatibility forms (Arabic presentation forms) folded, points
// and other non-spacing marks, and direction marks, left out.
QString comparable(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC))
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Other_Format) out += c;
    return out;
}

class Unicode : public ControlFixture {
protected:
    void startIn(int codePage) {
        ASSERT_EQ(ctl().let_CodePage(codePage), Status::Ok);
        start();
    }
    QString exportPdf(const char* name) {
        const QString pdf = path(name);
        EXPECT_EQ(ctl().ExportPdf(pdf), Status::Ok);
        const PdfCheck check = qpdfCheck(pdf);
        EXPECT_TRUE(check.clean()) << qPrintable(check.output);
        return pdf;
    }
    // The longest family-and-style name this machine has, at least 40 characters.
    static QString longFontName() {
        QString longest;
        for (const QString& family : QFontDatabase::families())
            for (const QString& style : QFontDatabase::styles(family))
                if (family.size() + 1 + style.size() > longest.size())
                    longest = family + QLatin1Char(' ') + style;
        return longest;
    }
};

TEST_F(Unicode, TheCodePageIsAKeptPropertyThatTakesEffectAtTheNextStart) {
    int32_t page = 0;
    ASSERT_EQ(ctl().get_CodePage(out(page)), Status::Ok);
    EXPECT_EQ(page, CodePage::system().number());
    for (const int32_t refused : {0, -5, 99999, 932}) // 932 is not one byte a character
        EXPECT_EQ(ctl().let_CodePage(refused), Status::InvalidPropertyValue) << refused;
    EXPECT_EQ(ctl().let_CodePage(1251), Status::Ok);

    // A change in the middle of a report is for the next one.
    startIn(1255);
    ASSERT_EQ(ctl().let_CodePage(CodePage::Utf8), Status::Ok);
    EXPECT_EQ(text(u("Иванов")), Status::Ok);
    EXPECT_EQ(item(1).ItemText.trimmed(), QStringLiteral("??????"));
    start();
    EXPECT_EQ(text(u("Иванов")), Status::Ok);
    EXPECT_EQ(item(1).ItemText.trimmed(), u("Иванов"));

    // Saved with the form and loaded again; late-bound callers see the same property.
    MemoryPropertyBag bag;
    ctl().saveProperties(bag);
    auto other = std::make_unique<Palvex>(testPlatform());
    other->loadProperties(bag);
    ASSERT_EQ(other->get_CodePage(out(page)), Status::Ok);
    EXPECT_EQ(page, CodePage::Utf8);
    Dispatch dispatch(*other);
    Variant value;
    ASSERT_EQ(dispatch.invoke(dispatch.idOfName("CodePage"), InvokeKind::PropertyGet, {}, &value),
              Status::Ok);
    EXPECT_EQ(value.toInt32(), CodePage::Utf8);
}

TEST_F(Unicode, EveryScriptRecordsPreviewsAndExportsInUtf8) {
    startIn(CodePage::Utf8);
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Liberation Sans")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(14), Status::Ok);
    const std::vector<ScriptLine> lines = scriptLines();
    for (const ScriptLine& line : lines) {
        EXPECT_EQ(ctl().let_CurrentX(800), Status::Ok);
        ASSERT_EQ(text(line.text, A2_JumpToNextLine), Status::Ok) << line.script;
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    for (int32_t n = 1; n <= int32_t(lines.size()); ++n)
        EXPECT_EQ(item(n).ItemText.trimmed(), lines[size_t(n - 1)].text) << n;
    EXPECT_TRUE(boxes().log().empty()) << "a UTF-8 report loses nothing to warn of";

    // The preview draws every line: ink where each text was placed.
    for (const ScriptLine& line : lines) {
        const std::vector<DrawnText> drawn = drawnWith(line.text);
        ASSERT_EQ(drawn.size(), 1u) << line.script;
        EXPECT_GT(pixelsIn(drawn[0], isInk), 30) << line.script;
    }

    // The PDF has every word, in fonts it embeds.
    const QString pdf = exportPdf("scripts.pdf");
    const QString text = comparable(pdfText(pdf));
    // A point a glyph holds with its letter is shown apart from it, on a blank of no width, so
    // that pdf.js reads the line; poppler places such a point by where it is drawn and may see
    // a word break there. The letters are all there, in order.
    const QString joined = QString(text).remove(QLatin1Char(' '));
    for (const ScriptLine& line : lines)
        for (const QString& word : line.words)
            EXPECT_TRUE(text.contains(comparable(word)) ||
                        (line.text != comparable(line.text) && joined.contains(comparable(word))))
                << line.script << ": " << qPrintable(word);
    const QStringList fonts =
        popplerOutput(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n')).mid(2);
    int embedded = 0;
    for (const QString& font : fonts) {
        if (font.trimmed().isEmpty()) continue;
        EXPECT_FALSE(font.contains(QStringLiteral("Type 3"))) << qPrintable(font);
        EXPECT_TRUE(font.contains(QStringLiteral(" yes "))) << "not embedded: " << qPrintable(font);
        ++embedded;
    }
    EXPECT_GE(embedded, 2); // Latin, Hebrew and Cyrillic in one family, Arabic in another
}

TEST_F(Unicode, ASingleBytePageStoresQuestionMarksAndSaysSoOnceAReport) {
    startIn(1255);
    ASSERT_EQ(ctl().let_MessagesToHost(true), Status::Ok);
    EXPECT_EQ(text(u("לקוח: Иванов"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(text(u("Петров"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(text(u("שלום"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(item(1).ItemText.trimmed(), u("לקוח: ??????"));
    EXPECT_EQ(item(3).ItemText.trimmed(), u("שלום"));
    QString message;
    ASSERT_EQ(ctl().get_LastMessage(out(message)), Status::Ok);
    EXPECT_TRUE(message.contains(u("לקוח: Иванов"))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("1255")));
    EXPECT_TRUE(message.contains(QStringLiteral("CodePage = 65001")));

    // Once a report: the next start warns again, naming its own first text.
    int warnings = 0;
    QObject::connect(m_control.get(), &Palvex::messageShown, [&] { ++warnings; });
    EXPECT_EQ(text(u("Сидоров")), Status::Ok);
    EXPECT_EQ(warnings, 0);
    start();
    EXPECT_EQ(text(u("Ελλάδα")), Status::Ok);
    EXPECT_EQ(warnings, 1);
    ASSERT_EQ(ctl().get_LastMessage(out(message)), Status::Ok);
    EXPECT_TRUE(message.contains(u("Ελλάδα")));
}

// A 1000-character Hebrew text, a font named in 40 characters or more and a picture path of
// over 300 bytes are kept whole from the recording to the PDF, and the text and font name
// through a saved printout into the next report as well.
TEST_F(Unicode, LongTextsFontNamesAndPicturePathsSurviveEveryStep) {
    const QString hebrew = u("אבגדהוזחטיכלמנסעפצקרשת");
    QString longText;
    while (longText.size() < 1000)
        longText += hebrew;
    longText.truncate(1000);
    const QString fontName = longFontName();
    ASSERT_GE(fontName.size(), 40) << qPrintable(fontName);
    const QString folder = QString(120, QLatin1Char('d')) + QStringLiteral("/") +
                           QString(120, QLatin1Char('e')) + QStringLiteral("/") +
                           QString(60, QLatin1Char('f'));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(folder));
    const QString picture = path(qPrintable(folder + QStringLiteral("/logo.png")));
    ASSERT_GT(picture.toUtf8().size(), 300);
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(picture));

    startIn(CodePage::Utf8);
    QString printout = path("long.prn");
    bool cancel = true;
    ASSERT_EQ(ctl().SavePrint(printout, cancel), Status::Ok);
    ASSERT_FALSE(cancel);
    ASSERT_EQ(ctl().let_FontName(fontName), Status::Ok);
    ASSERT_EQ(ctl().let_FontSize(1), Status::Ok); // so that the whole line lies on the page
    EXPECT_EQ(ctl().let_CurrentX(400), Status::Ok);
    ASSERT_EQ(text(longText, A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printPicture(picture, AlignPicHorizontalType(0), AlignPicVerticalType(0)),
              Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    // Recorded whole.
    EXPECT_EQ(trimTrailingBlanks(item(1).ItemText), longText);
    EXPECT_EQ(item(1).FontName.trimmed(), fontName);
    EXPECT_EQ(PictureParams::decode(item(2).ItemText).fileName, picture);
    // Drawn whole, and the picture found.
    ASSERT_EQ(drawnWith(longText).size(), 1u);
    EXPECT_EQ(drawnWith(longText)[0].font.name, fontName);
    EXPECT_TRUE(boxes().log().empty()) << qPrintable(boxes().log().back());
    // Exported whole.
    QString pdf = exportPdf("long.pdf");
    EXPECT_TRUE(comparable(pdfText(pdf)).contains(longText));

    // The printout holds the text on one line and the name on another, in UTF-8 with its mark.
    m_control.reset();
    QFile saved(printout);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.contains(QStringLiteral("23") + fontName));
    EXPECT_TRUE(lines.contains(QStringLiteral("2 ") + longText));

    // Read into the next report, in UTF-8 and in a single-byte page alike (Hebrew fits both).
    for (const int page : {CodePage::Utf8, 1255}) {
        SCOPED_TRACE(page);
        m_control = makeControl();
        startIn(page);
        ASSERT_EQ(ctl().ReadPrint(printout), Status::Ok);
        ASSERT_EQ(store().itemCount(), 1);
        EXPECT_EQ(trimTrailingBlanks(item(1).ItemText), longText);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
        pdf = exportPdf("again.pdf");
        EXPECT_TRUE(comparable(pdfText(pdf)).contains(longText));
    }
}

// A printout saved by the versions before UTF-8 (in Windows-1255, without a mark) reads into a
// report as it always did, and saved again is the same file byte for byte.
TEST_F(Unicode, AnOldWindows1255PrintoutReadsAndSavesByteForByteAsBefore) {
    QFile reference(QStringLiteral(PALVEX_TEST_REFERENCE_DIR "/windows-1255.prn"));
    ASSERT_TRUE(reference.open(QIODevice::ReadOnly));
    const QByteArray old = reference.readAll();
    for (const int page : {1255, CodePage::Utf8}) {
        SCOPED_TRACE(page);
        m_control = makeControl();
        startIn(page);
        QString name = path("again.prn");
        bool cancel = true;
        ASSERT_EQ(ctl().SavePrint(name, cancel), Status::Ok);
        ASSERT_EQ(ctl().ReadPrint(QString::fromUtf8(PALVEX_TEST_REFERENCE_DIR "/windows-1255.prn")),
                  Status::Ok);
        EXPECT_EQ(item(1).ItemText.trimmed(), u("מאזן בוחן לשנת 2026"));
        EXPECT_EQ(item(3).ItemText.trimmed(), u("1,234.50 ₪"));
        EXPECT_TRUE(item(4).ItemText.contains(u("סה״כ – כללי")));
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
        m_control.reset();
        QFile again(name);
        ASSERT_TRUE(again.open(QIODevice::ReadOnly));
        const QByteArray bytes = again.readAll();
        if (page == 1255)
            EXPECT_EQ(bytes, old);
        else // the same lines, in UTF-8 behind its mark
            EXPECT_EQ(bytes, "\xEF\xBB\xBF" + CodePage(1255).decode(old).toUtf8());
    }
}

TEST_F(Unicode, SearchFindsEveryScriptAndMarksTheFoundCharacters) {
    startIn(CodePage::Utf8);
    EXPECT_EQ(ctl().let_FontSize(12), Status::Ok);
    for (const ScriptLine& line : scriptLines())
        ASSERT_EQ(text(line.text, A2_JumpToNextLine), Status::Ok);
    // A text longer than one record, with the word sought across the first record's end (small
    // enough to lie on the page).
    EXPECT_EQ(ctl().let_FontSize(6), Status::Ok);
    const QString before = QString(89, QChar(0x05D0)); // 178 bytes of alef
    ASSERT_EQ(text(before + u("ממשיך אחרי הגבול") + QString(60, QChar(0x05D1)), A2_JumpToNextLine),
              Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    for (const QString& sought :
         {u("Иванов"), u("بالعالم"), u("brûlée"), u("Κόσμε"), u("ממשיך אחרי")}) {
        SCOPED_TRACE(qPrintable(sought));
        click(6); // Search
        search(sought);
        const std::vector<DrawnText> found = drawnWith(sought);
        ASSERT_FALSE(found.empty());
        EXPECT_GT(pixelsIn(found[0], isMagenta), 10);
        EXPECT_EQ(ctl().internals().search().foundText(), sought);
        EXPECT_TRUE(boxes().log().empty()) << qPrintable(boxes().log().back());
    }
}

// The invoice example script, run as a user runs it, writes every language of its rows.
TEST(UnicodeExample, TheInvoiceScriptWritesEveryLanguage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    host.setProcessEnvironment(env);
    host.setWorkingDirectory(dir.path());
    host.start(QStringLiteral(PALVEX_RUN_PATH),
               {QStringLiteral(PALVEX_EXAMPLES_DIR "/unicode.pvs")});
    ASSERT_TRUE(host.waitForFinished(60000));
    const QString output = QString::fromUtf8(host.readAllStandardOutput());
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_FALSE(output.contains(QStringLiteral("error"))) << qPrintable(output);
    EXPECT_TRUE(output.contains(QStringLiteral("LastMessage = \"\""))) << qPrintable(output);
    const QString pdf = dir.filePath(QStringLiteral("unicode.pdf"));
    EXPECT_TRUE(qpdfCheck(pdf).clean());
    const QString text = comparable(pdfText(pdf));
    for (const char* word : {"מסחר", "كرسي", "письменный", "Brushed", "خزانة", "Шкаф", "7,662.00"})
        EXPECT_TRUE(text.contains(comparable(u(word)))) << word;
}

} // namespace
} // namespace palvex::test
