// The page of a report chosen by the host (PaperSize, Orientation) or in Print Setup: the
// recording surface, the canvas, the printer panel's job and the PDF export all take it, checked
// on the built-in PDF device with poppler's tools.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif

namespace palvex::test {
namespace {

// A4 and A5 in twips.
constexpr float A4Short = 11905.5f, A4Long = 16837.8f, A5Short = 8390.6f;

// The printer set-up dialog as a user answers it; remembers what each one opened on.
class AnsweringDialogs final : public Dialogs {
public:
    std::optional<PrinterSetupChoice> answer; // nothing: Cancel
    std::vector<PrinterSetupChoice> openedOn;

    std::optional<int32_t> chooseColor(int32_t, QWidget*) override { return std::nullopt; }
    std::optional<PrinterSetupChoice>
    printerSetup(const QString&, const PrinterSetupChoice& current, QWidget*) override {
        openedOn.push_back(current);
        return answer;
    }
    std::optional<ExportTarget> exportTarget(const QString&, QWidget*) override {
        return std::nullopt;
    }
};

class PageSetupTest : public ControlFixture {
protected:
    std::unique_ptr<Palvex> makeControl(Ambient ambient = {}) override {
        m_platform = testPlatform();
        m_platform.printers->setPdfOutputPath(path("printed.pdf"));
        m_platform.dialogs = m_dialogs;
        return std::make_unique<Palvex>(m_platform, ambient);
    }
    void SetUp() override {
        ControlFixture::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
    }
    // "W x H pts (NAME)", as pdfinfo gives the first page's size.
    static std::string pageSize(const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdfinfo"), {pdf});
        p.waitForFinished(30000);
        for (const QString& line :
             QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Page size:")))
                return line.mid(10).trimmed().toStdString();
        return "<no page>";
    }
    std::string exported() {
        const QString file = path("export.pdf");
        EXPECT_EQ(ctl().ExportPdf(file), Status::Ok);
        return pageSize(file);
    }
    void onePageReport() {
        ASSERT_EQ(text(QString::fromUtf8("שורה אחת"), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    }
    void printOnThePanel() {
        click(1);
        child<QPushButton>("cmdOK")->click();
    }
    void setPage(const QString& paper, int32_t orientation) {
        ASSERT_EQ(ctl().let_PaperSize(paper), Status::Ok);
        ASSERT_EQ(ctl().let_Orientation(orientation), Status::Ok);
    }
    QString paperSize() {
        QString value;
        EXPECT_EQ(ctl().get_PaperSize(out(value)), Status::Ok);
        return value;
    }
    int32_t orientation() {
        int32_t value = -1;
        EXPECT_EQ(ctl().get_Orientation(out(value)), Status::Ok);
        return value;
    }

    std::shared_ptr<AnsweringDialogs> m_dialogs = std::make_shared<AnsweringDialogs>();
};

TEST_F(PageSetupTest, ValuesAreTakenByDispatchOrRefusedWith380) {
    Dispatch dispatch(ctl());
    const DispId paper = dispatch.idOfName("PaperSize");
    const DispId turn = dispatch.idOfName("Orientation");
    EXPECT_EQ(paper, DispId(0x68040001));
    EXPECT_EQ(turn, DispId(0x68040002));
    auto put = [&](DispId id, Variant value) {
        std::vector<Variant> args{std::move(value)};
        return dispatch.invoke(id, InvokeKind::PropertyPut, args, nullptr);
    };
    auto get = [&](DispId id) {
        Variant result;
        EXPECT_EQ(dispatch.invoke(id, InvokeKind::PropertyGet, {}, &result), Status::Ok);
        return result;
    };
    EXPECT_EQ(get(paper).toString(), QString()); // unset: the printer's page
    EXPECT_EQ(get(turn).toInt32(), 0);

    const std::pair<const char*, const char*> taken[] = {{"a5", "A5"},
                                                         {"LETTER", "Letter"},
                                                         {"12000x8000", "12000x8000"},
                                                         {"2880X50000", "2880x50000"},
                                                         {"", ""},
                                                         {"Legal", "Legal"}};
    for (const auto& [value, kept] : taken) {
        EXPECT_EQ(put(paper, Variant(QString::fromLatin1(value))), Status::Ok) << value;
        EXPECT_EQ(get(paper).toString(), QString::fromLatin1(kept)) << value;
    }
    for (const char* refused : {"B5", "A4 ", "12000x", "x8000", "2879x12000", "12000x50001",
                                "-12000x8000", "12.5x8000", "12000*8000"}) {
        EXPECT_EQ(put(paper, Variant(QString::fromLatin1(refused))), Status::InvalidPropertyValue)
            << refused;
        EXPECT_EQ(get(paper).toString(), QStringLiteral("Legal")) << refused;
    }
    EXPECT_EQ(put(turn, Variant(int32_t(2))), Status::Ok);
    for (int32_t refused : {3, -1, 0x10002}) {
        EXPECT_EQ(put(turn, Variant(refused)), Status::InvalidPropertyValue) << refused;
    }
    EXPECT_EQ(get(turn).toInt32(), 2);
}

TEST_F(PageSetupTest, LandscapeA4TurnsTheCanvasTheRecordingSurfaceAndTheExport) {
    setPage(QStringLiteral("A4"), 2);
    start();
    EXPECT_NEAR(ctl().internals().canvas().Width(), A4Long, 1);
    EXPECT_NEAR(ctl().internals().canvas().Height(), A4Short + PageNumberGap, 1);
    EXPECT_NEAR(ctl().internals().recordingSurface().Width(), A4Long, 1);
    EXPECT_NEAR(ctl().internals().recordingSurface().ScaleWidth(), A4Long - 2 * PageSetup::Margin,
                1);
    EXPECT_NEAR(ctl().internals().report().lines.pageNumberLine(),
                A4Short - ctl().internals().report().margins.bottom - PageNumberGap, 1);
    onePageReport();
    EXPECT_EQ(exported(), "842 x 595 pts (A4)");
}

TEST_F(PageSetupTest, UnsetOrResetTheReportHasTheCurrentPrintersPage) {
    const PrinterDevice printer = Printers::pdfDevice();
    start();
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Width(), printer.width);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().ScaleWidth(), printer.scaleWidth);
    onePageReport();
    EXPECT_EQ(exported(), "595 x 842 pts (A4)");

    // "WxH" is the sheet as written; an orientation turns it.
    setPage(QStringLiteral("20000x10000"), 0);
    start();
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Width(), 20000);
    onePageReport();
    EXPECT_EQ(exported(), "1000 x 500 pts");
    setPage(QStringLiteral("20000x10000"), 1);
    start();
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Width(), 10000);

    setPage(QString(), 0);
    start();
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Width(), printer.width);
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Height(), printer.height + PageNumberGap);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().ScaleWidth(), printer.scaleWidth);
}

TEST_F(PageSetupTest, ThePrinterPanelPrintsALandscapeReportLandscape) {
    ASSERT_EQ(ctl().let_Orientation(2), Status::Ok); // the printer's A4, turned
    start();
    onePageReport();
    printOnThePanel();
    EXPECT_EQ(pageSize(path("printed.pdf")), "842 x 595 pts (A4)");
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path("printed.pdf"), QStringLiteral("-")});
    text.waitForFinished(30000);
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QString::fromUtf8("אחת")));
    EXPECT_TRUE(printed.contains(QStringLiteral("-1-"))); // the page number is on the sheet
}

TEST_F(PageSetupTest, PrintSetupChoicesAreKeptForTheNextReportAndItsJobs) {
    start();
    onePageReport();
    PrinterSetupChoice chosen;
    chosen.paperWidth = A5Short;
    chosen.paperHeight = A4Short;
    chosen.orientation = 2;
    chosen.duplex = 2;      // long side
    chosen.paperSource = 4; // the manual feed
    m_dialogs->answer = chosen;
    click(1);
    child<QPushButton>("cmdPrintSetup")->click();
    EXPECT_EQ(paperSize(), QStringLiteral("A5"));
    EXPECT_EQ(orientation(), 2);
    // The report on screen keeps the page it was recorded on.
    child<QPushButton>("cmdOK")->click();
    EXPECT_EQ(pageSize(path("printed.pdf")), "595 x 842 pts (A4)");

    start();
    EXPECT_NEAR(ctl().internals().canvas().Width(), A4Short, 1);
    EXPECT_NEAR(ctl().internals().canvas().Height(), A5Short + PageNumberGap, 1);
    onePageReport();
    // The dialog opens on what was chosen; Cancel changes nothing.
    m_dialogs->answer.reset();
    click(1);
    child<QPushButton>("cmdPrintSetup")->click();
    ASSERT_EQ(m_dialogs->openedOn.size(), 2u);
    const PrinterSetupChoice& reopened = m_dialogs->openedOn.back();
    EXPECT_NEAR(reopened.paperWidth, A5Short, 1);
    EXPECT_NEAR(reopened.paperHeight, A4Short, 1);
    EXPECT_EQ(reopened.orientation, 2);
    EXPECT_EQ(reopened.duplex, 2);
    EXPECT_EQ(reopened.paperSource, 4);
    child<QPushButton>("cmdOK")->click();
    EXPECT_EQ(pageSize(path("printed.pdf")), "595 x 420 pts (A5)");
    EXPECT_EQ(paperSize(), QStringLiteral("A5"));
}

TEST_F(PageSetupTest, AScriptExportsAnA5LandscapeReport) {
    QFile script(path("a5.pvs"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    const QByteArray lines = "PaperSize = \"A5\"\nOrientation = 2\nStartPalvexPrintPreview\n"
                             "printText \"רוחב\", 2\nprintLastPage\nExportPdf \"a5.pdf\"\n";
    ASSERT_EQ(script.write(lines), lines.size());
    script.close();
    QProcess runner;
    runner.setWorkingDirectory(m_dir.path());
    runner.start(QStringLiteral(PALVEX_RUN_PATH), {path("a5.pvs")});
    ASSERT_TRUE(runner.waitForFinished(60000));
    EXPECT_EQ(runner.exitCode(), 0);
    EXPECT_EQ(runner.readAllStandardOutput(), QByteArray());
    EXPECT_EQ(pageSize(path("a5.pdf")), "595 x 420 pts (A5)");
}

} // namespace
} // namespace palvex::test
