// A recorded report into a spreadsheet through the control, read back by openpyxl: a table that
// crosses pages comes back once, its header row once, bold and frozen; a column of quantities
// becomes numbers and a column of amounts one number format; a report printed line by line
// comes back as its lines in columns; CSV carries its mark; and a file that cannot be written
// is refused with the previous file left as it was.

#include "ControlFixture.h"
#include "PalvexPrivate.h"
#include "WorkbookReader.h"

#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QJsonObject>
#include <QLocale>
#include <QPushButton>

namespace palvex::test {
namespace {

class SpreadsheetExport : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        startInUtf8();
    }
    // The report's 300 movements in a table whose header row comes again on every page.
    void statement() {
        ASSERT_EQ(ctl().let_TableLines(3), Status::Ok);
        tableColumns({{1300, "תאריך"}, {900, "כמות"}, {2600, "פרטים"}, {1600, "סכום"}});
        bool repeat = true;
        ASSERT_EQ(ctl().TableBegin(&repeat), Status::Ok);
        for (int r = 0; r < Rows; ++r)
            ASSERT_EQ(ctl().TableRow(QStringLiteral("%1/03/2026\t%2\t").arg(r % 28 + 1).arg(r + 1) +
                                     u("תנועה ") + QString::number(r) + QLatin1Char('\t') +
                                     amount(r)),
                      Status::Ok);
        ASSERT_EQ(ctl().TableEnd(), Status::Ok);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
        ASSERT_GE(ctl().internals().report().pageCount(), 3) << "the table must cross pages";
    }
    // Amounts with and without a thousands' comma, some of them owed (a trailing minus).
    static QString amount(int r) {
        const QString shown = QLocale(QLocale::English).toString(r * 37.25, 'f', 2);
        return r % 5 == 0 ? shown + QLatin1Char('-') : shown;
    }
    static double value(int r) { return r % 5 == 0 && r != 0 ? -r * 37.25 : r * 37.25; }
    static constexpr int Rows = 300;
};

TEST_F(SpreadsheetExport, ATableAcrossPagesComesBackOnceWithItsHeaderBoldAndFrozen) {
    statement();
    const QString file = path("statement.xlsx");
    ASSERT_EQ(ctl().ExportXlsx(file), Status::Ok) << ctl().lastErrorDetail().toStdString();
    const QJsonArray sheets = readWorkbook(file);
    ASSERT_EQ(sheets.size(), 1);
    const QJsonObject sheet = sheets[0].toObject();
    EXPECT_TRUE(sheet[u("rtl")].toBool());
    EXPECT_EQ(sheet[u("frozen")].toString(), u("A2"));
    const QJsonArray rows = sheet[u("rows")].toArray();
    ASSERT_EQ(rows.size(), Rows + 1) << "every row once, the header once";
    const auto cell = [&](int r, int c) { return rows[r].toArray()[c].toObject(); };
    EXPECT_EQ(cell(0, 2)[u("value")].toString(), u("פרטים"));
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(cell(0, c)[u("bold")].toBool()) << c;
    for (int r = 0; r < Rows; ++r) {
        const int row = r + 1;
        ASSERT_EQ(cell(row, 0)[u("value")].toString(),
                  QStringLiteral("date 2026-03-%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0')))
            << r;
        ASSERT_EQ(cell(row, 1)[u("value")].toDouble(), r + 1) << "a quantity is a number";
        ASSERT_EQ(cell(row, 2)[u("value")].toString(), u("תנועה ") + QString::number(r));
        ASSERT_DOUBLE_EQ(cell(row, 3)[u("value")].toDouble(), value(r)) << r;
        // One format down the column, small amounts grouped as the large ones are.
        ASSERT_EQ(cell(row, 3)[u("format")].toString(), u("#,##0.00;#,##0.00-")) << r;
        ASSERT_FALSE(cell(row, 0)[u("bold")].toBool()) << r;
    }
}

TEST_F(SpreadsheetExport, AReportPrintedLineByLineComesBackAsItsLinesInColumns) {
    ASSERT_EQ(ctl().let_Header(true), Status::Ok);
    int16_t one = 1;
    QString title = u("יומן {page}");
    ASSERT_EQ(ctl().fxNameHeader(one, title), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    const auto line = [&](const QString& account, const QString& name, const QString& sum) {
        ASSERT_EQ(ctl().let_CurrentX(0), Status::Ok);
        ASSERT_EQ(text(account), Status::Ok);
        ASSERT_EQ(ctl().let_CurrentX(1500), Status::Ok);
        ASSERT_EQ(text(name), Status::Ok);
        ASSERT_EQ(ctl().let_CurrentX(5000), Status::Ok);
        ASSERT_EQ(text(sum, A2_JumpToNextLine), Status::Ok);
    };
    line(u("100001"), u("קופה ראשית"), u("1,250.00"));
    line(u("100002"), u("בנק"), u("75.50-"));
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    line(u("100003"), u("לקוחות"), u("12,000.00"));
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    const QString file = path("lines.xlsx");
    ASSERT_EQ(ctl().ExportXlsx(file), Status::Ok) << ctl().lastErrorDetail().toStdString();
    const QJsonArray sheets = readWorkbook(file);
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_TRUE(sheets[0].toObject()[u("rtl")].toBool());
    const QJsonArray rows = sheets[0].toObject()[u("rows")].toArray();
    // The page's title once (from the first page), then the three lines, each in three columns.
    ASSERT_EQ(rows.size(), 4) << QJsonDocument(rows).toJson().toStdString();
    EXPECT_EQ(rows[0].toArray()[0].toObject()[u("value")].toString(), u("יומן 1"));
    const auto cell = [&](int r, int c) -> QJsonValue {
        return rows[r].toArray()[c].toObject().value(u("value"));
    };
    EXPECT_EQ(cell(1, 1).toString(), u("קופה ראשית"));
    EXPECT_DOUBLE_EQ(cell(2, 2).toDouble(), -75.5);
    EXPECT_EQ(cell(3, 0).toString(), u("100003")) << "beside a title, account numbers stay text";
    EXPECT_DOUBLE_EQ(cell(3, 2).toDouble(), 12000);
}

TEST_F(SpreadsheetExport, CsvIsUtf8WithItsMarkAndNumbersAReaderTakesAsNumbers) {
    tableColumns({{1500, "פרטים"}, {1500, "סכום"}});
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(u("ספק \"אלון\", בע״מ\t1,234.50-")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(text(u("בין הטבלאות"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(u("31/12/2026\t7")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString file = path("report.csv");
    ASSERT_EQ(ctl().ExportCsv(file), Status::Ok) << ctl().lastErrorDetail().toStdString();
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(csv.readAll()), u("\xEF\xBB\xBF"
                                                  "פרטים,סכום\r\n"
                                                  "\"ספק \"\"אלון\"\", בע״מ\",-1234.50\r\n"
                                                  "\r\n"
                                                  "פרטים,סכום\r\n"
                                                  "2026-12-31,7\r\n"));
}

TEST_F(SpreadsheetExport, AFileThatCannotBeWrittenIsRefusedAndThePreviousOneKept) {
    // Before the report ends there is nothing whole to export.
    ASSERT_EQ(text(u("שורה"), A2_JumpToNextLine), Status::Ok);
    EXPECT_NE(ctl().ExportXlsx(path("early.xlsx")), Status::Ok);
    EXPECT_FALSE(QFile::exists(path("early.xlsx")));
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    const QString kept = path("kept.xlsx");
    {
        QFile previous(kept);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("the previous workbook");
    }
    for (const QString& target :
         {QString(), path("."), path("no-such-folder/report.xlsx"), kept + QStringLiteral("/x")}) {
        EXPECT_EQ(ctl().ExportXlsx(target), Status::PathFileAccessError) << target.toStdString();
        EXPECT_FALSE(ctl().lastErrorDetail().isEmpty());
        EXPECT_EQ(ctl().ExportCsv(target), Status::PathFileAccessError) << target.toStdString();
    }
    QFile previous(kept);
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), QByteArray("the previous workbook"));
    // Nothing half-written is left behind, hidden or not.
    const QStringList left = QDir(path(".")).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : left)
        EXPECT_FALSE(name.contains(QStringLiteral(".xlsx.")) ||
                     name.contains(QStringLiteral(".csv.")))
            << name.toStdString();
    // And an export that can be written replaces it whole.
    EXPECT_EQ(ctl().ExportXlsx(kept), Status::Ok);
    EXPECT_EQ(readWorkbook(kept).size(), 1);
}

// The printer panel's Export, as a user uses it: the file dialog names the file and its kind.
TEST_F(SpreadsheetExport, ThePreviewExportsToTheFileAndKindTheDialogChose) {
    statement();
    auto& dialogs = static_cast<ScriptedDialogs&>(*m_platform.dialogs);
    const auto exportFromThePanel = [&](std::optional<ExportTarget> answer) {
        click(1); // Print: the printer panel
        EXPECT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());
        dialogs.queueExport(std::move(answer));
        child<QPushButton>("cmdExport")->click();
    };
    exportFromThePanel(ExportTarget{path("from-preview.xlsx"), ExportKind::Xlsx});
    EXPECT_TRUE(child<QGroupBox>("fraPrinter")->isHidden()) << "written: the panel closes";
    ASSERT_EQ(readWorkbook(path("from-preview.xlsx")).size(), 1);
    exportFromThePanel(ExportTarget{path("from-preview.pdf"), ExportKind::Pdf});
    QFile pdf(path("from-preview.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    exportFromThePanel(ExportTarget{path("from-preview.csv"), ExportKind::Csv});
    EXPECT_TRUE(QFile::exists(path("from-preview.csv")));

    // Cancelled: nothing written, the panel still open for printing.
    boxes().clearLog();
    exportFromThePanel(std::nullopt);
    EXPECT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());
    EXPECT_TRUE(boxes().log().empty());
    // Not written: the user is told why, and the panel stays open to try another name.
    exportFromThePanel(ExportTarget{path("no-such-folder/x.xlsx"), ExportKind::Xlsx});
    EXPECT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());
    ASSERT_FALSE(boxes().log().empty());
    EXPECT_TRUE(boxes().log().back().contains(QStringLiteral("no-such-folder")))
        << boxes().log().back().toStdString();
}

} // namespace
} // namespace palvex::test
