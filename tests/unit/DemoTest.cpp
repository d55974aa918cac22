// The demonstration program: its data files, number pictures, example reports and forms, run
// against real controls in a temporary program folder.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "DataFiles.h"
#include "DemoHost.h"
#include "ExampleReports.h"
#include "MainForm.h"
#include "NumberFormat.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>

#include <set>

namespace palvex::demo {
namespace {

QString builtData(const QString& name) {
    return QStringLiteral(PALVEX_DEMO_DATA_DIR "/") + name;
}

TEST(DemoDataFiles, BuiltFilesHoldWholeRecordsOfTheirLayouts) {
    const qint64 tb = QFileInfo(builtData(TrialBalanceHebrewFile)).size();
    EXPECT_EQ(TrialBalanceRecord::Length, 53);
    EXPECT_EQ(StatementRecord::Length, 42);
    EXPECT_EQ(tb % 53, 0);
    EXPECT_EQ(QFileInfo(builtData(TrialBalanceEnglishFile)).size(), tb);
    EXPECT_EQ(QFileInfo(builtData(StatementFile)).size(), 17 * 42);

    const auto hebrew = readTrialBalance(builtData(TrialBalanceHebrewFile));
    const auto english = readTrialBalance(builtData(TrialBalanceEnglishFile));
    ASSERT_EQ(hebrew.size(), size_t(tb / 53));
    ASSERT_GE(hebrew.size(), 120u); // three pages and more
    double debit = 0, credit = 0;
    int zeroDebit = 0, zeroCredit = 0;
    for (size_t i = 0; i < hebrew.size(); ++i) {
        // One account, two names.
        EXPECT_EQ(hebrew[i].account, english[i].account);
        EXPECT_EQ(hebrew[i].debit, english[i].debit);
        debit += hebrew[i].debit;
        credit += hebrew[i].credit;
        zeroDebit += hebrew[i].debit == 0;
        zeroCredit += hebrew[i].credit == 0;
    }
    EXPECT_NEAR(debit, credit, 0.005) << "the books balance";
    EXPECT_GT(zeroDebit, 0);
    EXPECT_GT(zeroCredit, 0);
    EXPECT_EQ(hebrew[0].name.trimmed(), QString::fromUtf8("קופה ראשית"));

    const auto lines = readStatement(builtData(StatementFile));
    bool negative = false;
    for (const StatementRecord& r : lines)
        negative = negative || r.current < 0 || r.previous < 0;
    EXPECT_TRUE(negative);
}

TEST(DemoDataFiles, FieldsSitAtTheirOffsetsInWindows1255) {
    TrialBalanceRecord r{QStringLiteral("1010"), QString::fromUtf8("קופה"), 110, 2.5, 0};
    const QByteArray bytes = r.encode();
    ASSERT_EQ(bytes.size(), 53);
    EXPECT_EQ(bytes.mid(0, 10), QByteArray("1010      "));
    EXPECT_EQ(uchar(bytes[10]), 0xF7); // qof
    EXPECT_EQ(bytes.mid(14, 21), QByteArray(21, ' '));
    EXPECT_EQ(uchar(bytes[35]), 110);
    const TrialBalanceRecord back = TrialBalanceRecord::decode(bytes.constData());
    EXPECT_EQ(back.name.trimmed(), r.name);
    EXPECT_EQ(back.debit, 2.5);

    StatementRecord s{2, 13, QStringLiteral("Retained earnings"), 232100, -92910};
    const QByteArray line = s.encode();
    ASSERT_EQ(line.size(), 42);
    const StatementRecord again = StatementRecord::decode(line.constData());
    EXPECT_EQ(again.note, 13);
    EXPECT_EQ(again.previous, -92910);
}

TEST(DemoDataFiles, MissingFileIsAnErrorAndAPartialRecordIsNoRecord) {
    QTemporaryDir dir;
    EXPECT_THROW(readTrialBalance(dir.filePath(QStringLiteral("none.bln"))), DataFileError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("none.bln"))))
        << "reading never creates the file";
    const QString path = dir.filePath(QStringLiteral("short.bln"));
    writeRecords(path, {StatementRecord{1, 0, QStringLiteral("A"), 0, 0}.encode(), "xx"});
    EXPECT_EQ(readStatement(path).size(), 1u);
}

TEST(DemoNumberFormat, PicturesOfTheReports) {
    EXPECT_EQ(formatNumber(5782407.289, u"#,##0.00"), QStringLiteral("5,782,407.29"));
    EXPECT_EQ(formatNumber(0.004, u"#,##0.00"), QStringLiteral("0.00"));
    EXPECT_EQ(formatNumber(999.995, u"#,##0.00"), QStringLiteral("1,000.00"));
    EXPECT_EQ(formatNumber(110, u"####"), QStringLiteral("110"));
    EXPECT_EQ(formatNumber(0, u"####"), QString());
    EXPECT_EQ(formatNumber(92910, u"(#,###)"), QStringLiteral("(92,910)"));
    EXPECT_EQ(formatNumber(1186420, u"#,###"), QStringLiteral("1,186,420"));
    EXPECT_EQ(formatNumber(-5, u"#,###"), QStringLiteral("-5"));
    EXPECT_EQ(formatNumber(7, u"##"), QStringLiteral("7"));
}

// A program folder with the built data files; the report store lives there too.
class DemoFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const QString& f :
             {TrialBalanceHebrewFile, TrialBalanceEnglishFile, StatementFile, PictureFile})
            ASSERT_TRUE(QFile::copy(builtData(f), m_dir.filePath(f)));
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path().toStdString());
        m_host = std::make_unique<DemoHost>(test::testPlatform(), m_dir.path());
        m_host->settings().clock = [] { return QDateTime(QDate(2001, 2, 3), QTime(9, 5, 7)); };
    }
    void TearDown() override {
        m_host.reset();
        std::filesystem::current_path(m_previous);
    }

    Palvex& control() { return m_host->previewForm()->Palvex1(); }
    const ReportStore& store() { return control().internals().reportStore(); }
    std::vector<PrintItem> items() {
        std::vector<PrintItem> all;
        for (int32_t n = 1; n <= store().itemCount(); ++n)
            all.push_back(store().read(n));
        return all;
    }
    static QString text(const PrintItem& item) {
        QString t = item.ItemText.trimmed();
        t.remove(QChar(0x200E));
        return t;
    }
    float width(const QString& s) {
        float w = 0;
        EXPECT_EQ(control().TextWidth(s, out(w)), Status::Ok);
        return w;
    }
    ScriptedMessageBoxes& boxes() {
        return static_cast<ScriptedMessageBoxes&>(*m_host->platform().messageBoxes);
    }
    // Closes the preview as its Close button does and lets the form unload.
    void closePreview() {
        for (auto* b : m_host->previewForm()->findChildren<QAbstractButton*>(QStringLiteral("cmd")))
            if (b->property("index").toInt() == 0) b->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    QTemporaryDir m_dir;
    std::filesystem::path m_previous;
    std::unique_ptr<DemoHost> m_host;
};

TEST_F(DemoFixture, TrialBalanceRepeatsTitlesOnEveryPageAndTotals) {
    ASSERT_TRUE(m_host->runHebrew(HebrewChoice::TrialBalance, false));
    const auto all = items();
    const auto records = readTrialBalance(builtData(TrialBalanceHebrewFile));
    const QStringList titles{QString::fromUtf8("מספר חשבון"), QString::fromUtf8("שם החשבון"),
                             QString::fromUtf8("קוד"), QString::fromUtf8("חובה"),
                             QString::fromUtf8("זכות")};
    std::map<int, int> titlesOnPage;
    std::set<int> pages;
    for (const PrintItem& item : all) {
        pages.insert(item.PageNumber);
        if (titles.contains(text(item))) ++titlesOnPage[item.PageNumber];
    }
    ASSERT_GE(pages.size(), 3u);
    for (int page : pages)
        EXPECT_EQ(titlesOnPage[page], 5) << "page " << page;

    // The first row of each page follows the titles: it starts right under the headers.
    double debit = 0, credit = 0;
    for (const TrialBalanceRecord& r : records) {
        debit += r.debit;
        credit += r.credit;
    }
    const QString debitTotal = formatNumber(debit, u"#,##0.00");
    int found = 0;
    for (const PrintItem& item : all)
        if (text(item) == debitTotal && item.FontBold) ++found;
    EXPECT_EQ(found, 2) << "both totals, bold, equal in balanced books";

    // A row with nothing on its debit side leaves that column empty.
    const auto zero = std::find_if(records.begin(), records.end(),
                                   [](const auto& r) { return r.debit == 0 && r.credit == 0; });
    ASSERT_NE(zero, records.end());
    for (size_t i = 0; i + 1 < all.size(); ++i)
        if (text(all[i]) == zero->account.trimmed() && all[i].ItemX == 2000) {
            // number, name, code; the next item is the next row's number.
            EXPECT_EQ(all[i + 3].ItemX, 2000) << "no amount in that row";
            EXPECT_GT(all[i + 3].ItemY, all[i].ItemY);
        }
}

TEST_F(DemoFixture, BracketedAmountsKeepTheirDigitsInTheColumn) {
    ASSERT_TRUE(m_host->runEnglish(EnglishChoice::BalanceSheet, false));
    const auto all = items();
    bool bracketed = false;
    for (const PrintItem& item : all) {
        const QString t = text(item);
        if (t == QStringLiteral("(92,910)")) {
            bracketed = true;
            // The bracket's width in the amount's own font.
            EXPECT_EQ(control().let_FontName(item.FontName.trimmed()), Status::Ok);
            EXPECT_EQ(control().let_FontSize(item.FontSize), Status::Ok);
            EXPECT_EQ(control().let_FontBold(item.FontBold != 0), Status::Ok);
            EXPECT_FLOAT_EQ(item.ItemX + width(QStringLiteral(")")), ExampleReports::PreviousYearX);
        } else if (t == QStringLiteral("250,000") || t == QStringLiteral("500,000")) {
            EXPECT_TRUE(item.ItemX == ExampleReports::CurrentYearX ||
                        item.ItemX == ExampleReports::PreviousYearX);
        }
    }
    EXPECT_TRUE(bracketed);
    // Both parts of the balance sheet end in the same totals.
    int totals = 0;
    for (const PrintItem& item : all)
        totals += text(item) == QStringLiteral("2,880,210");
    EXPECT_EQ(totals, 2);
}

TEST_F(DemoFixture, GraphicsRecordsBoxCircleLineAndPicture) {
    ASSERT_TRUE(m_host->runEnglish(EnglishChoice::Graphics, false));
    std::map<int, PrintItem> byKind;
    for (const PrintItem& item : items())
        byKind.emplace(item.ItemKind, item);
    ASSERT_EQ(byKind.count(KindBox), 1u);
    ASSERT_EQ(byKind.count(KindCircle), 1u);
    ASSERT_EQ(byKind.count(KindLine), 1u);
    ASSERT_EQ(byKind.count(KindPicture), 1u) << "the picture file is found in the folder";
    EXPECT_EQ(byKind[KindLine].ItemText.mid(10, 10).trimmed(), QStringLiteral("2500"));
    EXPECT_EQ(byKind[KindPicture].ItemY, 2700);
    EXPECT_TRUE(boxes().log().empty());
}

TEST_F(DemoFixture, SavedProfitAndLossIsAppendedByTheNextControl) {
    ASSERT_TRUE(m_host->runEnglish(EnglishChoice::ProfitAndLossSaved, true));
    ASSERT_EQ(m_host->PreviewControl()->lastStatus("SavePrint"), Status::Ok);
    closePreview(); // the control ends and writes the file
    ASSERT_EQ(m_host->previewForm(), nullptr);
    ASSERT_TRUE(QFileInfo::exists(m_dir.filePath(SavedProfitAndLossFile)));

    ASSERT_TRUE(m_host->runEnglish(EnglishChoice::BalanceSheetWithProfitAndLoss, true));
    EXPECT_EQ(m_host->PreviewControl()->lastStatus("ReadPrint"), Status::Ok);
    int balanceTitle = 0, statementTitle = 0;
    for (const PrintItem& item : items()) {
        if (text(item) == QStringLiteral("Balance Sheets")) balanceTitle = item.PageNumber;
        if (text(item) == QStringLiteral("Statements of Profit and Loss"))
            statementTitle = item.PageNumber;
    }
    EXPECT_EQ(balanceTitle, 1);
    EXPECT_EQ(statementTitle, 2);
}

TEST_F(DemoFixture, BalanceSheetWithoutSavedFileShowsTheMessageAndOnePage) {
    ASSERT_TRUE(m_host->runEnglish(EnglishChoice::BalanceSheetWithProfitAndLoss, false));
    ASSERT_EQ(m_host->PreviewControl()->lastStatus("ReadPrint"), Status::Ok);
    ASSERT_FALSE(boxes().log().empty());
    EXPECT_TRUE(boxes().log().back().contains(QStringLiteral("but the file does not exist")));
    EXPECT_EQ(control().internals().report().lastPageIndex, 0) << "the balance sheet alone";
}

TEST_F(DemoFixture, MissingDataFileIsReportedWithoutAPreview) {
    QFile::remove(m_dir.filePath(StatementFile));
    EXPECT_FALSE(m_host->runEnglish(EnglishChoice::BalanceSheet, true));
    EXPECT_EQ(m_host->previewForm(), nullptr);
    ASSERT_FALSE(boxes().log().empty());
    EXPECT_TRUE(boxes().log().back().startsWith(QStringLiteral("msgbox 48:")));
    EXPECT_TRUE(boxes().log().back().contains(StatementFile));
}

TEST_F(DemoFixture, MainFormDefaultsAndShowMeRoundTrip) {
    MainForm form(*m_host);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("MainForm - Examples of using Palvex Print "
                                                 "Preview control Right To Left direction"));
    auto radios = [&](const char* name) {
        std::vector<QRadioButton*> list(8, nullptr);
        for (auto* r : form.findChildren<QRadioButton*>(QString::fromLatin1(name)))
            list[size_t(r->property("index").toInt())] = r;
        return list;
    };
    EXPECT_TRUE(radios("optChoosePreview")[0]->isChecked());
    EXPECT_EQ(radios("optChoosePreview")[7]->text(),
              QStringLiteral("Preview Balance Sheet and add the formatted print of Profit and "
                             "Loss which was saved before"));
    EXPECT_TRUE(radios("optCenterPages")[1]->isChecked());
    EXPECT_TRUE(radios("optChoosePreview_HEB")[0]->isChecked());
    EXPECT_TRUE(radios("optCenterPagesHEB")[1]->isChecked());
    form.show();

    // Defaults: the English trial balance, all pages centred.
    form.findChild<QAbstractButton*>(QStringLiteral("cmdShow"))->click();
    EXPECT_FALSE(form.isVisible());
    ASSERT_NE(m_host->previewForm(), nullptr);
    EXPECT_EQ(m_host->previewForm()->windowTitle(), QStringLiteral("PrintPreview_RightToLeft"));
    EXPECT_TRUE(control().internals().view().centreAllPages);
    EXPECT_EQ(text(items()[4]), QStringLiteral("Account No."));
    closePreview();
    EXPECT_TRUE(form.isVisible()) << "closing the preview brings the main form back";

    // "Show as is" leaves the pages where they were recorded.
    radios("optCenterPagesHEB")[0]->setChecked(true);
    form.findChild<QAbstractButton*>(QStringLiteral("cmdShowTrialBalanceHEB"))->click();
    EXPECT_FALSE(control().internals().view().centreAllPages);
    for (const PrintItem& item : items())
        ASSERT_EQ(item.CenterOffset, 0);
    closePreview();
}

} // namespace
} // namespace palvex::demo
