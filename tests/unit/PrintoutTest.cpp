// The printout text file: what a report writes when the control ends, and how a later report
// reads it back.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "core/NumberText.h"
#include "recording/ItemWriter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace palvex::test {
namespace {

class PrintoutTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        start();
    }

    void savePrint(const QString& name, bool expectCancel = false) {
        QString n = name;
        bool cancel = !expectCancel;
        ASSERT_EQ(ctl().SavePrint(n, cancel), Status::Ok);
        EXPECT_EQ(cancel, expectCancel);
    }
    // Ends the control, which writes the printout, and returns the file's lines.
    QStringList endAndReadLines(const QString& name) {
        m_control.reset();
        return fileLines(name);
    }
    static QByteArray fileBytes(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QStringList fileLines(const QString& name) {
        const QByteArray bytes = fileBytes(name);
        QStringList lines = CodePage::system().decode(bytes).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
        return lines;
    }
    static void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void setY(float y) { ASSERT_EQ(ctl().let_CurrentY(y), Status::Ok); }
    void setX(float x) { ASSERT_EQ(ctl().let_CurrentX(x), Status::Ok); }
    void font(const char* name, float size, bool bold = false) {
        ASSERT_EQ(ctl().let_FontName(QString::fromLatin1(name)), Status::Ok);
        ASSERT_EQ(ctl().let_FontSize(size), Status::Ok);
        ASSERT_EQ(ctl().let_FontBold(bold), Status::Ok);
    }
    Status readPrint(const QString& name) {
        QString n = name;
        return ctl().ReadPrint(n);
    }
    Status readLines(const QByteArray& bytes) {
        writeFile(path("in.prn"), bytes);
        return readPrint(path("in.prn"));
    }
    void specialCenter(float x1, float x2, const QString& text, float y1, float y2) {
        QString t = text;
        auto entr = AfterPrintType(A1_StayWhereYouAre);
        ASSERT_EQ(ctl().SpecialCenter(x1, x2, t, entr, y1, &y2), Status::Ok);
    }
};

TEST_F(PrintoutTest, FirstItemWritesEveryPropertyAndASecondOnlyWhatChanged) {
    savePrint(path("out.prn"));
    font("Liberation Sans", 10);
    setY(0);
    ASSERT_EQ(text(QStringLiteral("first")), Status::Ok);
    const float x2 =
        ctl().internals().reportStore().read(1).ItemX + textWidth(QStringLiteral("first"));
    ASSERT_EQ(text(QStringLiteral("second")), Status::Ok);
    EXPECT_EQ(endAndReadLines(path("out.prn")),
              (QStringList{QStringLiteral("2100"), QStringLiteral("23Liberation Sans"),
                           QStringLiteral("2410"), QStringLiteral("25f"), QStringLiteral("26f"),
                           QStringLiteral("27f"), QStringLiteral("29f"), QStringLiteral("1 first"),
                           QStringLiteral("210") + formatSingle(x2), QStringLiteral("1 second")}));
}

TEST_F(PrintoutTest, ZoomScalesPositionsAndSizesOnce) {
    savePrint(path("out.prn"));
    font("Liberation Sans", 10);
    setX(1000);
    setY(2000);
    ASSERT_EQ(text(QStringLiteral("zoomed")), Status::Ok);
    specialCenter(1000, 5000, QStringLiteral("centred"), 2000, 2400);
    select("cboZoom", 13); // 150 %
    ASSERT_TRUE(child<QCheckBox>("chkZoomCurrentx")->isChecked());
    const QStringList lines = endAndReadLines(path("out.prn"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("2101500"));
    EXPECT_EQ(lines[1], QStringLiteral("223000"));
    EXPECT_TRUE(lines.contains(QStringLiteral("2415")));
    const QString centred = lines.filter(QStringLiteral("3 ")).value(0);
    ASSERT_EQ(centred.size(), 143) << centred.toStdString();
    EXPECT_EQ(centred.mid(2, 100).trimmed(), QStringLiteral("centred"));
    // y scaled once; x too while the zoom reaches horizontal positions (the default)
    EXPECT_EQ(centred.mid(102, 40), QStringLiteral("      1500      7500      3000      3600"));
}

TEST_F(PrintoutTest, ItemsKeptFromThePageNumberLineAreWrittenWhereTheyStand) {
    savePrint(path("out.prn"));
    setY(15000);
    auto relative = Proporional_CurrentY(P1_Proporional_To_currentYofPageNumber);
    ASSERT_EQ(ctl().fxProporional_CurrentY(relative), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("above the page number")), Status::Ok);
    ASSERT_EQ(item(1).YRelative, 1);
    ASSERT_NE(item(1).ItemY, 15000.0f);
    EXPECT_TRUE(endAndReadLines(path("out.prn")).contains(QStringLiteral("2215000")));
}

TEST_F(PrintoutTest, ItemsThatKeepTheirPlaceLeaveNoLinesAndShapesOnlyTheirProperties) {
    savePrint(path("out.prn"));
    font("Liberation Sans", 10);
    ASSERT_EQ(right(QStringLiteral("kept right")), Status::Ok);
    float x1 = 1000, y1 = 3000, x2 = 3000, y2 = 4000;
    int32_t fill = 0, style = 0, mode = 13, fillStyle = 1;
    int16_t width = 1;
    auto align = AlignType(0);
    QString inside;
    ASSERT_EQ(ctl().printBox(x1, y1, x2, y2, fill, style, mode, width, fillStyle, align, inside),
              Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok); // the page number and its footers
    const QStringList lines = endAndReadLines(path("out.prn"));
    EXPECT_FALSE(lines.isEmpty());
    for (const QString& line : lines) {
        EXPECT_TRUE(line.startsWith(u'2')) << "an item line: " << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("kept right")));
        EXPECT_FALSE(line.contains(QStringLiteral("-1-")));
    }
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^21"))).size(), 1) << "the box";
}

TEST_F(PrintoutTest, AnEmptyReportWritesAnEmptyFileAndLineBreaksInTextBecomeBlanks) {
    writeFile(path("old.prn"), "previous printout\r\n");
    savePrint(path("old.prn"));
    EXPECT_EQ(fileBytes(path("old.prn")), QByteArray("previous printout\r\n"))
        << "naming the file must not empty it before the new printout is complete";
    savePrint(path("out.prn")); // the second name replaces the first, which keeps its bytes
    ASSERT_EQ(text(QStringLiteral("one\rtwo\nthree") + QChar(0) + QStringLiteral("four")),
              Status::Ok);
    const QStringList lines = endAndReadLines(path("out.prn"));
    EXPECT_EQ(lines.back(), QStringLiteral("1 one two three four"));
    EXPECT_EQ(fileBytes(path("old.prn")), QByteArray("previous printout\r\n"));

    m_control = makeControl();
    start();
    savePrint(path("empty.prn"));
    EXPECT_EQ(endAndReadLines(path("empty.prn")), QStringList());
}

TEST_F(PrintoutTest, ARoundTripBringsBackEveryTextInItsBytes) {
    savePrint(path("trip.prn"));
    font("Liberation Sans", 12, true);
    const QStringList texts{QStringLiteral("  מאזן בוחן"), QStringLiteral("Trial balance"),
                            QStringLiteral("1,234.50 ₪ שקל")};
    ASSERT_EQ(text(texts[0], A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(center(texts[1], A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().let_ForeColor(255), Status::Ok);
    ASSERT_EQ(text(texts[2]), Status::Ok);
    specialCenter(1000, 5000, QStringLiteral("בין נקודות"), 5000, 5400);
    float runStart = 1000, runEnd = 4000;
    int16_t code = 45;
    auto dir = DirectionOfPrintCharsType(0);
    auto entr = AfterPrintType(A1_StayWhereYouAre);
    auto where = WhereToPrintChars(0);
    ASSERT_EQ(ctl().fxPrintingChars(runStart, runEnd, code, dir, entr, where), Status::Ok);
    const int32_t count = store().itemCount();
    std::vector<PrintItem> saved;
    for (int32_t n = 1; n <= count; ++n)
        saved.push_back(item(n));
    m_control.reset();
    EXPECT_TRUE(fileBytes(path("trip.prn")).contains(CodePage::system().encode(texts[0])));

    m_control = makeControl();
    start();
    ASSERT_EQ(readPrint(path("trip.prn")), Status::Ok);
    ASSERT_EQ(store().itemCount(), count);
    for (int32_t n = 1; n <= count; ++n) {
        const PrintItem& a = saved[size_t(n - 1)];
        const PrintItem b = item(n);
        SCOPED_TRACE(n);
        EXPECT_EQ(b.ItemKind, a.ItemKind);
        EXPECT_EQ(b.ItemText, a.ItemText);
        EXPECT_EQ(b.HAlign, a.HAlign);
        EXPECT_FLOAT_EQ(b.ItemX, a.ItemX);
        EXPECT_FLOAT_EQ(b.ItemY, a.ItemY);
        EXPECT_EQ(b.FontName, a.FontName);
        EXPECT_EQ(b.FontBold, a.FontBold);
        EXPECT_EQ(b.ForeColor, a.ForeColor);
    }
    EXPECT_TRUE(boxes().log().empty());
}

TEST_F(PrintoutTest, TheFirstVerticalPositionMovesTheFileBelowTheCurrentOneNeverAbove) {
    const QByteArray file = "2100\r\n222000\r\n1 a\r\n2100\r\n222500\r\n1 b\r\n";
    setY(5000);
    ASSERT_EQ(readLines(file), Status::Ok);
    EXPECT_FLOAT_EQ(item(1).ItemY, 5000);
    EXPECT_FLOAT_EQ(item(2).ItemY, 5500);

    setY(1000);
    ASSERT_EQ(readLines(file), Status::Ok);
    EXPECT_FLOAT_EQ(item(3).ItemY, 2000);
    EXPECT_FLOAT_EQ(item(4).ItemY, 2500);
}

TEST_F(PrintoutTest, ReadingIsForgivingAboutLineEndsShortLinesAndUnknownCodes) {
    // CR, LF and CR LF ends; a bold line not ending in "t"; an unknown code; leading blanks;
    // a centred-text line cut short; a run line without its end column.
    const QByteArray file = "25t\r2100\n25x\r\nzz whatever\r\n1   kept blanks\r\n"
                            "4                  short\n1350 \n";
    ASSERT_EQ(readLines(file), Status::Ok);
    ASSERT_EQ(store().itemCount(), 3);
    EXPECT_EQ(item(1).FontBold, 0);
    EXPECT_TRUE(item(1).ItemText.startsWith(QStringLiteral("  kept blanks")));
    EXPECT_EQ(item(2).ItemKind, KindSpecialCenterNewLine);
    EXPECT_EQ(item(3).ItemKind, KindChars);
    EXPECT_TRUE(item(3).ItemText.startsWith(QStringLiteral("50")));
    EXPECT_TRUE(boxes().log().empty());
}

TEST_F(PrintoutTest, AValueOutOfRangeStopsReadingWithABeepKeepingWhatCame) {
    ASSERT_EQ(readLines("1 before\r\n221E+300\r\n1 after\r\n"), Status::Ok);
    ASSERT_EQ(store().itemCount(), 1);
    EXPECT_TRUE(item(1).ItemText.startsWith(QStringLiteral("before")));
    EXPECT_EQ(boxes().log().back(), QStringLiteral("beep"));
    // a colour beyond 32 bits stops it the same way
    ASSERT_EQ(readLines("281E+10\r\n1 never\r\n"), Status::Ok);
    EXPECT_EQ(store().itemCount(), 1);
}

TEST_F(PrintoutTest, AMissingFileIsReportedWithItsName) {
    ASSERT_EQ(readPrint(path("nowhere.prn")), Status::Ok);
    ASSERT_FALSE(boxes().log().empty());
    const QString shown = boxes().log().back();
    EXPECT_TRUE(shown.contains(QStringLiteral("but the file does not exist")));
    EXPECT_TRUE(shown.contains(QStringLiteral("the name of the file is ") + path("nowhere.prn")));
}

TEST_F(PrintoutTest, OnlyARegularFileIsReadAndReadingEndsWithIt) {
    // A device that never ends, a FIFO with no writer (whose open would block) and a folder are
    // all files that cannot be opened: the file problem, at once, and nothing recorded.
    ASSERT_EQ(::mkfifo(path("fifo").toLocal8Bit().constData(), 0600), 0);
    for (const QString& name : {QStringLiteral("/dev/zero"), path("fifo"), m_dir.path()}) {
        boxes().clearLog();
        ASSERT_EQ(readPrint(name), Status::Ok) << name.toStdString();
        ASSERT_FALSE(boxes().log().empty()) << name.toStdString();
        EXPECT_TRUE(
            boxes().log().back().contains(QStringLiteral("the name of the file is ") + name));
    }
    EXPECT_EQ(store().itemCount(), 0);

    // A line with no line end is cut at a mebibyte, not held whole, and the file's end ends it;
    // what it holds up to there is one text, however long (in a font small enough for the page
    // range).
    EXPECT_EQ(ctl().let_FontSize(1), Status::Ok);
    ASSERT_EQ(readLines("1 " + QByteArray(2 << 20, 'w')), Status::Ok);
    ASSERT_EQ(store().itemCount(), 1);
    EXPECT_EQ(trimTrailingBlanks(item(1).ItemText), QString((1 << 20) - 2, QLatin1Char('w')));
}

TEST_F(PrintoutTest, AFileThatCannotBeWrittenCancelsSavingAndClosesThePreviewLater) {
    ASSERT_EQ(text(QStringLiteral("x")), Status::Ok);
    savePrint(m_dir.path(), /*expectCancel=*/true); // a folder
    EXPECT_TRUE(boxes().log().back().contains(QStringLiteral("cannot be open For Output.")));
    EXPECT_EQ(store().itemCount(), 1) << "the host's call must return before the preview closes";
    QCoreApplication::processEvents();
    EXPECT_EQ(store().itemCount(), 0);

    // Two controls cannot save to one file.
    m_control = makeControl();
    start();
    savePrint(path("shared.prn"));
    auto other = std::make_unique<Palvex>(testPlatform());
    ASSERT_EQ(other->StartPalvexPrintPreview(), Status::Ok);
    QString name = path("shared.prn");
    bool cancel = false;
    ASSERT_EQ(other->SavePrint(name, cancel), Status::Ok);
    EXPECT_TRUE(cancel);
    other.reset();
    QCoreApplication::processEvents();
}

// A printout is written from the report being recorded: without one, naming a file is refused
// and the file keeps what it held, whenever the control ends.
TEST_F(PrintoutTest, SavePrintWithoutAnOpenReportIsRefusedAndKeepsTheFile) {
    const QByteArray kept = "2100\r\n1 yesterday's printout\r\n";
    writeFile(path("out.prn"), kept);
    auto refused = [&](const char* when) {
        QString name = path("out.prn");
        bool cancel = false;
        EXPECT_EQ(ctl().SavePrint(name, cancel), Status::BadFileName) << when;
        EXPECT_TRUE(cancel) << when;
    };

    // Before any start.
    m_control = makeControl();
    refused("before the start");
    // After the report was closed.
    start();
    ASSERT_EQ(text(QStringLiteral("a report")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    click(0); // Close
    refused("after Close");
    // After a failed SavePrint, which asks the host to start printing again: at once, before the
    // preview has closed.
    start();
    savePrint(m_dir.path(), /*expectCancel=*/true);
    refused("after a failed SavePrint");
    EXPECT_EQ(text(QStringLiteral("more")), Status::BadFileName) << "the report has ended";
    QCoreApplication::processEvents();
    refused("after the preview closed");
    // Switching saving off needs no report.
    QString none;
    bool cancel = true;
    EXPECT_EQ(ctl().SavePrint(none, cancel), Status::Ok);
    EXPECT_FALSE(cancel);
    m_control.reset();
    EXPECT_EQ(fileBytes(path("out.prn")), kept);
}

TEST_F(PrintoutTest, AReportStartedRightAfterAFailedSaveIsNotClosedByIt) {
    savePrint(m_dir.path(), /*expectCancel=*/true);
    start(); // before the event loop runs the preview's close
    QCoreApplication::processEvents();
    EXPECT_EQ(text(QStringLiteral("the new report")), Status::Ok);
    savePrint(path("new.prn"));
    EXPECT_EQ(endAndReadLines(path("new.prn")).last(), QStringLiteral("1 the new report"));
}

// Makes `folder` refuse new files while the files in it stay writable: no write permission for
// a user; immutable for root, whom permissions do not stop. False where that cannot be done.
bool refuseNewFiles(const QString& folder, bool refuse) {
    if (::geteuid() != 0)
        return QFile::setPermissions(folder, refuse ? QFile::ReadOwner | QFile::ExeOwner
                                                    : QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner);
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"),
                 {refuse ? QStringLiteral("+i") : QStringLiteral("-i"), folder});
    return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit &&
           chattr.exitCode() == 0;
}

TEST_F(PrintoutTest, AFolderThatCannotTakeTheTemporaryFileCancelsSavingAtOnce) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("closed")));
    writeFile(path("closed/keep.prn"), "1 kept\r\n");
    if (!refuseNewFiles(path("closed"), true))
        GTEST_SKIP() << "this folder cannot be made to refuse new files (chattr as root)";
    const bool refused = !QFile(path("closed/probe")).open(QIODevice::WriteOnly);
    if (refused) savePrint(path("closed/keep.prn"), /*expectCancel=*/true);
    ASSERT_TRUE(refuseNewFiles(path("closed"), false));
    if (!refused) GTEST_SKIP() << "the folder still took a new file";
    EXPECT_TRUE(boxes().log().back().contains(QStringLiteral("cannot be open For Output.")));
    QCoreApplication::processEvents();
    EXPECT_EQ(fileBytes(path("closed/keep.prn")), QByteArray("1 kept\r\n"));
    EXPECT_EQ(QDir(path("closed")).entryList(QDir::Files), QStringList{QStringLiteral("keep.prn")});
}

TEST_F(PrintoutTest, AFailedWriteAtTheEndIsReportedAndKeepsTheOldFile) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("gone")));
    savePrint(path("gone/out.prn"));
    ASSERT_EQ(text(QStringLiteral("x")), Status::Ok);
    ASSERT_TRUE(QDir(path("gone")).removeRecursively());
    auto* log = &boxes();
    m_control.reset();
    ASSERT_FALSE(log->log().empty());
    EXPECT_TRUE(log->log().back().contains(QStringLiteral("could not be saved")));
}

TEST_F(PrintoutTest, KillingTheProcessLeavesThePreviousPrintoutIntact) {
    writeFile(path("keep.prn"), "2100\r\n1 yesterday\r\n");
    QFile script(path("kill.pvs"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("StartPalvexPrintPreview\n? SavePrint \"keep.prn\", false\n"
                 "printText \"today\", 2\n!state\n");
    script.close();
    QProcess runner;
    runner.setWorkingDirectory(m_dir.path());
    runner.setProcessChannelMode(QProcess::MergedChannels);
    // --show keeps the process waiting on its window, as a host would run.
    runner.start(QStringLiteral(PALVEX_RUN_PATH), {QStringLiteral("--show"), path("kill.pvs")});
    ASSERT_TRUE(runner.waitForStarted());
    QByteArray output;
    while (!output.contains("page=") && runner.waitForReadyRead(20000))
        output += runner.readAll();
    ASSERT_TRUE(output.contains("page=")) << output.toStdString();
    runner.kill();
    runner.waitForFinished();
    EXPECT_EQ(fileBytes(path("keep.prn")), QByteArray("2100\r\n1 yesterday\r\n"));
}

} // namespace
} // namespace palvex::test
