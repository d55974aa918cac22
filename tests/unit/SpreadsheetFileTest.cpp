// A workbook as a spreadsheet program reads it back (openpyxl): right-to-left sheets, one a
// table, the header row bold and frozen, amounts as numbers in the format the report showed,
// dates as dates, texts as texts; and a file that cannot be written is refused, not reported
// written.

#include "platform/SpreadsheetFile.h"
#include "core/Guarded.h"

#include "WorkbookReader.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace palvex {
namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::vector<CellValue> cells(std::initializer_list<const char*> texts) {
    std::vector<CellValue> row;
    for (const char* t : texts)
        row.push_back(CellValue::of(u(t)));
    return row;
}

TEST(SpreadsheetFile, TablesComeBackAsSheetsWithNumbersDatesAndTexts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    {
        const std::unique_ptr<SpreadsheetWriter> out = SpreadsheetWriter::xlsx(path);
        out->beginTable(u("טבלה 1"), cells({"חשבון", "תאריך", "יתרה"}));
        out->row(cells({"100001", "31/12/2026", "1,234.50-"}));
        out->row(cells({"לקוח 7", "12/31/2026", "₪ 7.00"}));
        out->row(cells({"", "", "-0.5"}));
        out->beginTable(u("טבלה 2"), {});
        out->row(cells({"סה\"כ", "1,000"}));
        out->finish();
    }

    const QJsonArray sheets = test::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 2);
    const QJsonObject first = sheets[0].toObject();
    EXPECT_EQ(first[u("name")].toString(), u("טבלה 1"));
    EXPECT_TRUE(first[u("rtl")].toBool());
    EXPECT_EQ(first[u("frozen")].toString(), u("A2")) << "the header row stays in view";
    const QJsonArray rows = first[u("rows")].toArray();
    ASSERT_EQ(rows.size(), 4);
    const auto cell = [&](int r, int c) { return rows[r].toArray()[c].toObject(); };
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(cell(0, c)[u("bold")].toBool()) << c;
    EXPECT_EQ(cell(0, 0)[u("value")].toString(), u("חשבון"));
    EXPECT_FALSE(cell(1, 0)[u("bold")].toBool());
    // An account number stays the text it was.
    EXPECT_EQ(cell(1, 0)[u("value")].toString(), u("100001"));
    EXPECT_EQ(cell(1, 1)[u("value")].toString(), u("date 2026-12-31"));
    EXPECT_EQ(cell(1, 1)[u("format")].toString(), u("dd/mm/yyyy"));
    EXPECT_DOUBLE_EQ(cell(1, 2)[u("value")].toDouble(), -1234.5);
    EXPECT_EQ(cell(1, 2)[u("format")].toString(), u("#,##0.00;#,##0.00-"));
    EXPECT_EQ(cell(2, 1)[u("value")].toString(), u("12/31/2026"));
    EXPECT_DOUBLE_EQ(cell(2, 2)[u("value")].toDouble(), 7);
    EXPECT_EQ(cell(2, 2)[u("format")].toString(), u("\"₪ \"0.00"));
    EXPECT_TRUE(cell(3, 0)[u("value")].isNull()) << "an empty cell is left empty";
    EXPECT_DOUBLE_EQ(cell(3, 2)[u("value")].toDouble(), -0.5);

    const QJsonObject second = sheets[1].toObject();
    EXPECT_EQ(second[u("name")].toString(), u("טבלה 2"));
    EXPECT_TRUE(second[u("frozen")].isNull()) << "no header row, nothing frozen";
    const QJsonArray totalRow = second[u("rows")].toArray()[0].toArray();
    EXPECT_EQ(totalRow[0].toObject()[u("value")].toString(), u("סה\"כ"));
    EXPECT_FALSE(totalRow[0].toObject()[u("bold")].toBool());
    EXPECT_DOUBLE_EQ(totalRow[1].toObject()[u("value")].toDouble(), 1000);
}

TEST(SpreadsheetFile, AFileThatCannotBeWrittenIsRefusedWithTheReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/report.xlsx"));
    try {
        SpreadsheetWriter::xlsx(path)->finish();
        FAIL() << "a workbook in a missing folder was reported written";
    } catch (const Refusal& refusal) {
        EXPECT_EQ(refusal.status, Status::PathFileAccessError);
        EXPECT_TRUE(refusal.reason.contains(path)) << refusal.reason.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SpreadsheetFile, ATableLongerThanASheetGoesOnInASheetOfItsOwnWithItsHeader) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.xlsx"));
    constexpr int SheetRows = 1048576; // a worksheet's rows, the header row among them
    {
        const std::unique_ptr<SpreadsheetWriter> out = SpreadsheetWriter::xlsx(path);
        out->beginTable(u("ארוך"), cells({"מספר"}));
        const std::vector<CellValue> row = cells({"1.50"});
        for (int r = 0; r < SheetRows; ++r) // one more than the first sheet holds
            out->row(row);
        out->finish();
    }
    // The sheets' names and extents as the workbook's own parts give them (openpyxl would take
    // minutes over a million rows).
    QProcess python;
    python.start(QStringLiteral(PALVEX_PYTHON3), {QStringLiteral("-c"), QString::fromUtf8(R"py(
import re, sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print(re.findall(r'<sheet name="([^"]*)"', z.read('xl/workbook.xml').decode()))
for n in (1, 2):
    part = z.open(f'xl/worksheets/sheet{n}.xml').read(2000).decode()
    print(re.search(r'<dimension ref="([^"]*)"', part).group(1), 'pane' in part)
)py"),
                                                  path});
    ASSERT_TRUE(python.waitForFinished(120000));
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()),
              u("['ארוך', 'ארוך (2)']\nA1:A1048576 True\nA1:A2 True\n"))
        << python.readAllStandardError().toStdString();
}

} // namespace
} // namespace palvex
