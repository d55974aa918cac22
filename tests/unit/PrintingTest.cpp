// Printing to the built-in PDF device, checked with poppler's tools: pages, copies, ranges,
// zoom, black-and-white printers, the copies checks and the printer-problem path.

#include "ControlFixture.h"
#include "PalvexPrivate.h"
#include "PdfCheck.h"

#include "platform/PropertyBag.h"
#include "preview/PageRenderer.h"
#include "recording/PropertyPersistence.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>

#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif

namespace palvex::test {
namespace {

// What a print could reach of the report, as bytes: every property the form keeps (the printed
// width and the page-number line among them), the page lines, the page at 100 %, the margins and
// the page index.
QByteArray reportBytes(const ReportState& report) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    MemoryPropertyBag form;
    saveProperties(report, form, QFont());
    for (const auto& [key, value] : form.writes()) {
        out << key;
        std::visit([&](const auto& v) { out << v; }, value);
    }
    const PageLines& lines = report.lines;
    out << lines.pageNumberLine() << lines.breakLimit() << lines.unzoomedPageNumberLine()
        << quintptr(lines.surface());
    const PageGeometry& u = report.unzoomed;
    out << u.width << u.height << u.scaleWidth << u.scaleHeight;
    for (const Margins& m : {report.margins, report.savedMargins})
        out << m.left << m.right << m.top << m.bottom;
    for (int32_t entry : report.pageIndex)
        out << entry;
    out << report.lastPageIndex << report.firstPageNumber << report.pageFooterCount
        << report.pagesEnded << report.props.TableLines;
    return bytes;
}

PrinterDevice monochromePdf() {
    PrinterDevice d = Printers::pdfDevice();
    d.deviceName = QStringLiteral("Black and white PDF");
    d.colorMode = 1;
    return d;
}

class Printing : public ControlFixture {
protected:
    std::unique_ptr<Palvex> makeControl(Ambient ambient = {}) override {
        m_platform = testPlatform({Printers::pdfDevice(), monochromePdf()});
        m_platform.printers->setPdfOutputPath(pdf());
        return std::make_unique<Palvex>(m_platform, ambient);
    }
    void SetUp() override {
        ControlFixture::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
        start();
    }
    QString pdf() const { return m_dir.filePath(QStringLiteral("out.pdf")); }
    void setCopies(const QString& copies) {
        child<QComboBox>("cboOTEK")->setEditText(copies);
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(child<QComboBox>("cboOTEK"), &out);
    }
    static QString run(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static QByteArray fileBytes(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    int pageCount() {
        const QString info = run(QStringLiteral("pdfinfo"), {pdf()});
        for (const QString& line : info.split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
        return -1;
    }
    QStringList pageTexts() {
        QStringList pages =
            run(QStringLiteral("pdftotext"), {pdf(), QStringLiteral("-")}).split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
        return pages;
    }
    void twoPages() {
        EXPECT_EQ(text(QString::fromUtf8("עמוד ראשון"), A2_JumpToNextLine), Status::Ok);
        EXPECT_EQ(ctl().let_ForeColor(0x0000FF), Status::Ok);
        EXPECT_EQ(text(QStringLiteral("red words"), A2_JumpToNextLine), Status::Ok);
        EXPECT_EQ(ctl().let_ForeColor(0), Status::Ok);
        EXPECT_EQ(ctl().printPage(), Status::Ok);
        EXPECT_EQ(text(QString::fromUtf8("עמוד שני"), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    }
};

TEST_F(Printing, CopiesArePrintedPageByPageWithoutABlankSheet) {
    twoPages();
    click(1);
    EXPECT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());
    EXPECT_EQ(child<QComboBox>("cboBeginPage")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(child<QComboBox>("cboEndPage")->currentText(), QStringLiteral("2"));
    setCopies(QStringLiteral("3"));
    child<QPushButton>("cmdOK")->click();
    EXPECT_TRUE(child<QGroupBox>("fraPrinter")->isHidden());
    EXPECT_TRUE(child<QWidget>("cmdCancelPrinting")->isHidden());
    EXPECT_EQ(&ctl().internals().recordingSurface(), ctl().internals().report().lines.surface());
    ASSERT_EQ(pageCount(), 6);
    const PdfCheck check = qpdfCheck(pdf());
    EXPECT_TRUE(check.clean()) << qPrintable(check.output);
    const QStringList pages = pageTexts();
    ASSERT_EQ(pages.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const bool first = i % 2 == 0;
        EXPECT_TRUE(
            pages[i].contains(first ? QString::fromUtf8("ראשון") : QString::fromUtf8("שני")))
            << i;
        EXPECT_TRUE(pages[i].contains(first ? QStringLiteral("-1-") : QStringLiteral("-2-"))) << i;
    }
}

TEST_F(Printing, ARangeOfOnePageAndAnEmptyRange) {
    twoPages();
    click(1);
    select("cboBeginPage", 1);
    child<QPushButton>("cmdOK")->click();
    ASSERT_EQ(pageCount(), 1);
    EXPECT_TRUE(pageTexts().value(0).contains(QString::fromUtf8("שני")));

    // From after to: no document at all, so the PDF printed before is still there as it was.
    const QByteArray before = fileBytes(pdf());
    click(1);
    select("cboBeginPage", 1);
    select("cboEndPage", 0);
    child<QPushButton>("cmdOK")->click();
    EXPECT_TRUE(child<QGroupBox>("fraPrinter")->isHidden());
    EXPECT_EQ(&ctl().internals().recordingSurface(), ctl().internals().report().lines.surface());
    EXPECT_EQ(fileBytes(pdf()), before);
    QFile::remove(pdf());
    click(1);
    select("cboBeginPage", 1);
    select("cboEndPage", 0);
    child<QPushButton>("cmdOK")->click();
    EXPECT_FALSE(QFile::exists(pdf()));
}

TEST_F(Printing, PageListsCountFromTheFirstPageNumberAndKeepTheirOwnChoice) {
    int16_t first = 41;
    ASSERT_EQ(ctl().fxNumberOfFirstPage(first), Status::Ok);
    twoPages();
    auto* pages = child<QComboBox>("cboPage");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->itemText(0), QStringLiteral("Page Number 41"));
    EXPECT_EQ(pages->itemText(1), QStringLiteral("Page Number 42"));

    click(1);
    auto* from = child<QComboBox>("cboBeginPage");
    auto* to = child<QComboBox>("cboEndPage");
    ASSERT_EQ(from->count(), 2);
    EXPECT_EQ(from->currentText(), QStringLiteral("41"));
    EXPECT_EQ(to->currentText(), QStringLiteral("42"));
    EXPECT_EQ(to->findText(QStringLiteral("41")), 0);
    // The two lists show the same entries; choosing in one leaves the other alone.
    select("cboBeginPage", 1);
    EXPECT_EQ(from->currentText(), QStringLiteral("42"));
    EXPECT_EQ(to->currentText(), QStringLiteral("42"));
    child<QPushButton>("cmdOK")->click();
    ASSERT_EQ(pageCount(), 1);
    EXPECT_TRUE(pageTexts().value(0).contains(QStringLiteral("-42-")));

    // Opening the panel again lists the pages afresh, from the first.
    click(1);
    EXPECT_EQ(from->currentText(), QStringLiteral("41"));
    EXPECT_EQ(pages->count(), 2);
}

TEST_F(Printing, ThePreviewZoomIsIgnoredUnlessChosen) {
    twoPages();
    child<QCheckBox>("chkZoomHeight")->setChecked(true);
    select("cboZoom", 13);
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.5f);
    const PageLines& lines = ctl().internals().report().lines;
    ASSERT_NE(lines.pageNumberLine(), lines.unzoomedPageNumberLine());
    click(1);
    child<QPushButton>("cmdOK")->click();
    // The print at 100 % leaves the preview at 100 %, its page lines too.
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.0f);
    EXPECT_FLOAT_EQ(lines.pageNumberLine(), lines.unzoomedPageNumberLine());
    EXPECT_EQ(pageCount(), 2);
}

TEST_F(Printing, ABlackAndWhitePrinterPrintsColouredTextBlack) {
    twoPages();
    auto redPixels = [&](const char* printer) {
        click(1);
        auto* list = child<QComboBox>("cboDevicePrinter");
        list->setCurrentIndex(list->findText(QString::fromUtf8(printer)));
        emit list->activated(list->currentIndex());
        select("cboEndPage", 0);
        child<QPushButton>("cmdOK")->click();
        const QString png = m_dir.filePath(QStringLiteral("page"));
        run(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf(), png});
        const QImage page(png + QStringLiteral(".png"));
        int red = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 100 && c.blue() < 100;
            }
        return red;
    };
    EXPECT_GT(redPixels("Print to PDF"), 10);
    EXPECT_EQ(redPixels("Black and white PDF"), 0);
}

TEST_F(Printing, TheCopiesChecks) {
    twoPages();
    click(1);
    for (const char* bad : {"0", "abc", "40000"}) {
        boxes().clearLog();
        setCopies(QString::fromLatin1(bad));
        EXPECT_EQ(child<QComboBox>("cboOTEK")->currentText(), QStringLiteral("1")) << bad;
        ASSERT_EQ(boxes().log().size(), 2u) << bad;
        EXPECT_EQ(boxes().log()[1],
                  QStringLiteral("msgbox 1572864: Please write number of copies 1 or higher"));
    }
    boxes().clearLog();
    setCopies(QStringLiteral("99"));
    EXPECT_TRUE(boxes().log().empty());
    boxes().queueAnswer(MessageBoxes::AnswerYes);
    setCopies(QStringLiteral("150"));
    EXPECT_EQ(child<QComboBox>("cboOTEK")->currentText(), QStringLiteral("150"));
    EXPECT_EQ(boxes().log().back(), QStringLiteral("msgbox 1572868: Is the number of copies OK?"));
    boxes().queueAnswer(MessageBoxes::AnswerNo);
    setCopies(QStringLiteral("150"));
    EXPECT_EQ(child<QComboBox>("cboOTEK")->currentText(), QStringLiteral("1"));
}

TEST_F(Printing, ThePrintedPagePlacesEveryTextWhereThePreviewShowsIt) {
    EXPECT_EQ(ctl().let_FontSize(12), Status::Ok);
    for (int line = 0; line < 6; ++line) {
        EXPECT_EQ(ctl().let_CurrentX(800 + 300 * line), Status::Ok);
        EXPECT_EQ(text(QStringLiteral("Alpha%1").arg(line)), Status::Ok);
        EXPECT_EQ(text(QStringLiteral("Beta%1").arg(line)), Status::Ok);
        EXPECT_EQ(text(QStringLiteral("Gamma%1").arg(line), A2_JumpToNextLine), Status::Ok);
    }
    EXPECT_EQ(right(QStringLiteral("Right"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(left(QStringLiteral("Left"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const std::vector<DrawnText> drawn = ctl().internals().renderer().drawn;
    const ImageSurface& canvas = ctl().internals().canvas();
    click(1);
    child<QPushButton>("cmdOK")->click();

    // Word boxes of the printed page, in points from the paper's top-left corner.
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf(), QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"[0-9.]+\">([^<]+)</word>"));
    QHash<QString, QPointF> printed; // right end and top, twips
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        printed.insert(m.captured(4),
                       QPointF(m.captured(3).toDouble() * 20, m.captured(2).toDouble() * 20));
    }
    int compared = 0;
    for (const DrawnText& d : drawn) {
        if (!printed.contains(d.text)) continue;
        // On the canvas: the printable area starts at the page's origin, in twips.
        const double rightEnd = canvas.originX() + canvas.ScaleWidth() - d.x;
        const double top = canvas.originY() + d.y;
        EXPECT_NEAR(printed[d.text].x(), rightEnd, 1.0) << d.text.toStdString();
        EXPECT_NEAR(printed[d.text].y(), top, 1.0) << d.text.toStdString();
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

// A 64 KiB file system, mounted for the test's life; root only.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder) : m_folder(folder) {
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=64k"), QStringLiteral("tmpfs"), folder});
        m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit &&
                    mount.exitCode() == 0;
    }
    ~SmallDisk() {
        if (!m_mounted) return;
        QProcess umount;
        umount.start(QStringLiteral("umount"), {m_folder});
        umount.waitForFinished(10000);
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

TEST_F(Printing, AFullDiskIsAPrinterProblemAndKeepsThePreviousFile) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("small")));
    SmallDisk disk(path("small"));
    if (!disk.mounted()) GTEST_SKIP() << "a 64 KiB tmpfs cannot be mounted here (needs root)";
    const QString target = path("small/out.pdf");
    {
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        ASSERT_EQ(previous.write("yesterday's PDF"), 15);
    }
    m_platform.printers->setPdfOutputPath(target);
    // Pages of text in two scripts, more than the disk holds.
    for (int page = 0; page < 40; ++page) {
        for (int line = 0; line < 30; ++line)
            EXPECT_EQ(
                text(QString::fromUtf8("שורה %1 של עמוד %2 - line of page").arg(line).arg(page),
                     A2_JumpToNextLine),
                Status::Ok);
        EXPECT_EQ(ctl().printPage(), Status::Ok);
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(1);
    boxes().clearLog();
    child<QPushButton>("cmdOK")->click();
    ASSERT_FALSE(boxes().log().empty()) << "the write failed and nothing was said";
    EXPECT_TRUE(
        boxes().log().back().startsWith(QStringLiteral("msgbox 1572912: Printer problem!")));
    EXPECT_EQ(fileBytes(target), QByteArray("yesterday's PDF"));
    EXPECT_EQ(QDir(path("small")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("out.pdf")});
    EXPECT_EQ(&ctl().internals().recordingSurface(), ctl().internals().report().lines.surface());
}

TEST_F(Printing, KillingThePrintingProcessLeavesThePreviousFileWhole) {
    const QString target = path("keep.pdf");
    {
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        ASSERT_EQ(previous.write("yesterday's PDF"), 15);
    }
    // A report long enough to be still printing when it is killed.
    QByteArray script = "StartPalvexPrintPreview\n";
    for (int page = 0; page < 1500; ++page)
        script += "printText \"page " + QByteArray::number(page) + " עמוד\", 2\nprintPage\n";
    script += "printLastPage\n!click cmd 1\n!click cmdOK\n";
    QFile file(path("print.pvs"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(script), script.size());
    file.close();
    QProcess runner;
    runner.setWorkingDirectory(m_dir.path());
    runner.start(QStringLiteral(PALVEX_RUN_PATH),
                 {QStringLiteral("--pdf"), target, path("print.pvs")});
    ASSERT_TRUE(runner.waitForStarted());
    // The document being written is a second, hidden file beside the target.
    const QDir folder(m_dir.path());
    bool printing = false;
    for (int wait = 0; wait < 6000 && !printing && runner.state() == QProcess::Running; ++wait) {
        printing =
            folder.entryList({QStringLiteral(".keep.pdf.*")}, QDir::Files | QDir::Hidden).size() >
                0 ||
            QFileInfo(target).size() != 15;
        if (!printing) QThread::msleep(5);
    }
    ASSERT_TRUE(printing) << "the print was not seen to start";
    runner.kill();
    runner.waitForFinished();
    EXPECT_EQ(fileBytes(target), QByteArray("yesterday's PDF"));
}

// PrintReport: the panel's job from code, on the current printer, with no panel shown.
TEST_F(Printing, PrintReportPrintsTheRangeOnTheCurrentPrinterWithoutThePanel) {
    int32_t notYet = 0;
    EXPECT_EQ(ctl().PrintReport(), Status::BadFileName); // no report until printLastPage
    twoPages();
    QSignalSpy printed(&ctl(), &Palvex::printed);
    const int16_t copies = 2;
    ASSERT_EQ(ctl().PrintReport(nullptr, nullptr, &copies), Status::Ok);
    EXPECT_TRUE(child<QGroupBox>("fraPrinter")->isHidden());
    EXPECT_EQ(pageCount(), 4); // page by page, each copy whole
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0][0].toInt(), 2);
    EXPECT_EQ(&ctl().internals().recordingSurface(), ctl().internals().report().lines.surface());

    const int32_t second = 2;
    ASSERT_EQ(ctl().PrintReport(&second, &second), Status::Ok);
    ASSERT_EQ(pageCount(), 1);
    EXPECT_TRUE(pageTexts().value(0).contains(QString::fromUtf8("שני")));

    const int16_t none = 0;
    const int32_t beyond = 3;
    EXPECT_EQ(ctl().PrintReport(nullptr, nullptr, &none), Status::InvalidProcedureCall);
    EXPECT_EQ(ctl().PrintReport(&beyond), Status::SubscriptOutOfRange);
    EXPECT_EQ(ctl().PrintReport(&notYet), Status::SubscriptOutOfRange);
    EXPECT_EQ(printed.size(), 2);
}

TEST_F(Printing, WithoutPrintersThePanelAndPrintReportReportTheProblem) {
    m_control.reset();
    m_platform = testPlatform({});
    m_control = std::make_unique<Palvex>(m_platform);
    start();
    EXPECT_EQ(text(QStringLiteral("x")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(1);
    EXPECT_TRUE(child<QGroupBox>("fraPrinter")->isHidden());
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[1],
              QStringLiteral("msgbox 1572912: Printer problem!\\nPlease check if a printer is "
                             "connected to the computer\\nand that it is online"));
    EXPECT_EQ(ctl().PrintReport(), Status::PrinterError);
}

// ExportPdf: the same job on the PDF device, without the panel and without touching the preview.
TEST_F(Printing, ExportPdfWritesTheReportOrARangeCountedFromTheFirstPageNumber) {
    int16_t first = 41;
    ASSERT_EQ(ctl().fxNumberOfFirstPage(first), Status::Ok);
    twoPages();
    select("cboZoom", 13);
    const float pageNumberLine = ctl().internals().report().lines.pageNumberLine();

    ASSERT_EQ(ctl().ExportPdf(pdf()), Status::Ok);
    const PdfCheck check = qpdfCheck(pdf());
    EXPECT_TRUE(check.clean()) << qPrintable(check.output);
    EXPECT_TRUE(child<QGroupBox>("fraPrinter")->isHidden());
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.5f); // the preview keeps its zoom
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(), pageNumberLine);
    EXPECT_EQ(&ctl().internals().recordingSurface(), ctl().internals().report().lines.surface());
    ASSERT_EQ(pageCount(), 2);
    QStringList pages = pageTexts();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QString::fromUtf8("ראשון")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("-41-")));
    EXPECT_TRUE(pages[1].contains(QString::fromUtf8("שני")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("-42-")));
    // A4, the page the report was recorded on.
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {pdf()}).contains(QStringLiteral("(A4)")));

    int32_t from = 42, to = 42;
    ASSERT_EQ(ctl().ExportPdf(pdf(), &from, &to), Status::Ok);
    ASSERT_EQ(pageCount(), 1);
    pages = pageTexts();
    EXPECT_TRUE(pages.value(0).contains(QString::fromUtf8("שני")));
    EXPECT_FALSE(pages.value(0).contains(QString::fromUtf8("ראשון")));
    from = 41; // to the last page when ToPage is omitted
    ASSERT_EQ(ctl().ExportPdf(pdf(), &from), Status::Ok);
    EXPECT_EQ(pageCount(), 2);
}

// The print job and the export only read the report: the preview, zoomed to 150 % in width and
// height, keeps its page lines and printed width through an export, a print from code and a
// print from the panel at the preview's zoom.
TEST_F(Printing, PrintsAndExportsLeaveTheReportByteForByteAsItWas) {
    twoPages();
    child<QCheckBox>("chkZoomWidth")->setChecked(true);
    child<QCheckBox>("chkZoomHeight")->setChecked(true);
    select("cboZoom", 13);
    ASSERT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.5f);
    const ReportState& report = ctl().internals().report();
    ASSERT_NE(report.lines.pageNumberLine(), report.lines.unzoomedPageNumberLine());
    const QByteArray before = reportBytes(report);

    ASSERT_EQ(ctl().ExportPdf(pdf()), Status::Ok);
    EXPECT_EQ(reportBytes(report), before) << "ExportPdf";
    ASSERT_EQ(ctl().PrintReport(), Status::Ok);
    EXPECT_EQ(reportBytes(report), before) << "PrintReport";
    click(1);
    select("cboZoomPrinting", 1);
    child<QPushButton>("cmdOK")->click();
    ASSERT_EQ(pageCount(), 2);
    EXPECT_EQ(reportBytes(report), before) << "the panel at 150 %";
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.5f);
}

TEST_F(Printing, ExportPdfRefusalsLeaveTheExistingFileAsItWas) {
    {
        QFile previous(pdf());
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        ASSERT_EQ(previous.write("yesterday's PDF"), 15);
    }
    EXPECT_EQ(text(QStringLiteral("not ended")), Status::Ok);
    EXPECT_EQ(ctl().ExportPdf(pdf()), Status::BadFileName); // no report until printLastPage
    EXPECT_EQ(ctl().printPage(), Status::Ok);
    EXPECT_EQ(text(QStringLiteral("second")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    struct Range {
        int32_t from, to;
    };
    for (Range r : {Range{0, 2}, Range{1, 3}, Range{2, 1}, Range{-1, 1}}) {
        EXPECT_EQ(ctl().ExportPdf(pdf(), &r.from, &r.to), Status::SubscriptOutOfRange)
            << r.from << ".." << r.to;
    }
    int32_t beyond = 3;
    EXPECT_EQ(ctl().ExportPdf(pdf(), &beyond), Status::SubscriptOutOfRange);
    EXPECT_EQ(ctl().ExportPdf(QString()), Status::PathFileAccessError);
    EXPECT_EQ(ctl().ExportPdf(path("missing/out.pdf")), Status::PathFileAccessError);
    EXPECT_EQ(ctl().ExportPdf(m_dir.path()), Status::PathFileAccessError);
    EXPECT_EQ(fileBytes(pdf()), QByteArray("yesterday's PDF"));
    EXPECT_EQ(
        QDir(m_dir.path()).entryList({QStringLiteral("*out.pdf?*")}, QDir::Files | QDir::Hidden),
        QStringList());
    EXPECT_EQ(ctl().internals().report().lines.surface(), &ctl().internals().recordingSurface());
}

TEST_F(Printing, ExportPdfByDispatchAndFromAScript) {
    twoPages();
    Dispatch dispatch(ctl());
    const DispId id = dispatch.idOfName("ExportPdf");
    ASSERT_NE(id, UnknownDispId);
    std::vector<Variant> args{Variant(pdf()), Variant(int32_t(2))};
    ASSERT_EQ(dispatch.invoke(id, InvokeKind::Method, args, nullptr), Status::Ok);
    EXPECT_EQ(pageCount(), 1);
    args = {Variant(pdf()), Variant(int32_t(3))};
    EXPECT_EQ(dispatch.invoke(id, InvokeKind::Method, args, nullptr), Status::SubscriptOutOfRange);

    QFile script(path("export.pvs"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    const QByteArray lines = "StartPalvexPrintPreview\nprintText \"אחד\", 2\nprintPage\n"
                             "printText \"two\", 2\nprintPage\nprintText \"three\", 2\n"
                             "printLastPage\nExportPdf \"script.pdf\", 2, 3\n";
    ASSERT_EQ(script.write(lines), lines.size());
    script.close();
    QProcess runner;
    runner.setWorkingDirectory(m_dir.path());
    runner.start(QStringLiteral(PALVEX_RUN_PATH), {path("export.pvs")});
    ASSERT_TRUE(runner.waitForFinished(60000));
    EXPECT_EQ(runner.exitCode(), 0);
    EXPECT_EQ(runner.readAllStandardOutput(), QByteArray()); // no error line
    const QString text =
        run(QStringLiteral("pdftotext"), {path("script.pdf"), QStringLiteral("-")});
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("two")));
    EXPECT_TRUE(text.contains(QStringLiteral("three")));
    EXPECT_FALSE(text.contains(QString::fromUtf8("אחד")));
}

} // namespace
} // namespace palvex::test
