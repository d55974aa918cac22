// The record file and the report store on disk, each test in its own temporary directory.

#include "recording/ReportStore.h"
#include "core/CodePage.h"
#include "core/Guarded.h"
#include "recording/RecordFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <limits>
#include <sys/resource.h>

namespace palvex::test {
namespace {

constexpr std::array<double, 4> kMargins{1.5, 1.5, 1.5, 3.5};

const CodePage& cp() {
    static const CodePage page(1255);
    return page;
}

Status statusOf(const std::function<void()>& body) {
    return guarded(body);
}

PrintItem itemWithText(const QString& text, int16_t kind = KindText) {
    PrintItem item;
    item.FontName = QStringLiteral("David");
    item.FontSize = 14;
    item.ItemText = text;
    item.ItemKind = kind;
    return item;
}

// Lets files grow to `bytes` only, while it lives; the signal would otherwise end the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    struct rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
};

class StoreOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string dir() const { return m_dir.path().toStdString(); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    qint64 sizeOf(const char* name) const { return QFileInfo(path(name)).size(); }
    QByteArray contents(const char* name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const char* name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir m_dir;
};

// ---- RecordFile --------------------------------------------------------------------------------

using RecordFileOnDisk = StoreOnDisk;

TEST_F(RecordFileOnDisk, RecordsAreNumberedFromOneAtFixedOffsets) {
    RecordFile file;
    file.open(path("r.dat").toStdString(), 4, RecordFile::Mode::Recreate);
    const unsigned char a[4] = {'a', 'a', 'a', 'a'}, b[4] = {'b', 'b', 'b', 'b'};
    file.write(1, a);
    file.write(3, b);
    EXPECT_EQ(file.recordCount(), 3);
    EXPECT_EQ(file.sizeInBytes(), 12);
    unsigned char got[4];
    file.read(2, got); // the gap reads as zeros
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(got), 4), QByteArray(4, '\0'));
    file.close();
    EXPECT_EQ(contents("r.dat"), QByteArray("aaaa\0\0\0\0bbbb", 12));
}

TEST_F(RecordFileOnDisk, BeyondTheEndReadsZerosAndAPartialRecordIsZeroFilled) {
    writeFile("r.dat", QByteArray("abcdef"));
    RecordFile file;
    file.open(path("r.dat").toStdString(), 4, RecordFile::Mode::KeepContents);
    EXPECT_EQ(file.recordCount(), 1);
    unsigned char got[4];
    file.read(2, got);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(got), 4), QByteArray("ef\0\0", 4));
    file.read(9, got);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(got), 4), QByteArray(4, '\0'));
    EXPECT_EQ(file.readPartial(2, got, 4), 2);
}

TEST_F(RecordFileOnDisk, BadNumbersAndMissingDirectoriesAreErrors) {
    RecordFile file;
    const unsigned char record[4] = {};
    EXPECT_EQ(statusOf([&] { file.write(1, record); }), Status::BadFileName); // not open
    EXPECT_NE(statusOf([&] {
                  file.open(path("missing/r.dat").toStdString(), 4, RecordFile::Mode::Recreate);
              }),
              Status::Ok);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(statusOf([&] { file.open("", 4, RecordFile::Mode::Recreate); }), Status::BadFileName);

    file.open(path("r.dat").toStdString(), 4, RecordFile::Mode::Recreate);
    EXPECT_EQ(statusOf([&] { file.write(0, record); }), Status::BadFileName);
    unsigned char got[4];
    EXPECT_EQ(statusOf([&] { file.read(0, got); }), Status::BadFileName);
    EXPECT_EQ(file.sizeInBytes(), 0);
}

// ---- ReportStore -------------------------------------------------------------------------------

using ReportStoreOnDisk = StoreOnDisk;

TEST_F(ReportStoreOnDisk, OpeningCreatesAnEmptyStoreAndInitialDefinitions) {
    ReportStore store(cp());
    store.OpenReportStore(dir(), {0.5, 1.0, 2.0, 3.0});
    EXPECT_TRUE(store.isOpen());
    EXPECT_TRUE(store.definitionsOpen());
    EXPECT_EQ(store.itemCount(), 0);
    EXPECT_EQ(sizeOf("palvex.rpt"), 0);
    EXPECT_EQ(sizeOf("palvex.dfn"), 1024);
    const Definitions d = store.readDefinitions();
    EXPECT_EQ(d.DefReals[0], 0.5);
    EXPECT_EQ(d.DefReals[3], 3.0);
    EXPECT_EQ(d.DefFlags[0], 1);
    EXPECT_EQ(d.DefLongs[0], Definitions::DefaultBackColor);
}

TEST_F(ReportStoreOnDisk, AppendNumbersFromOneAndReadsBackByNumber) {
    ReportStore store(cp());
    store.OpenReportStore(dir(), kMargins);
    EXPECT_EQ(store.append(itemWithText(QString::fromUtf8("אחד"))), 1);
    EXPECT_EQ(store.append(itemWithText(QStringLiteral("two"), KindTextNewLine)), 2);
    EXPECT_EQ(store.append(itemWithText(QString::fromUtf8("שלוש"))), 3);
    EXPECT_EQ(store.itemCount(), 3);
    store.sync(); // space is reserved ahead while recording
    EXPECT_EQ(sizeOf("palvex.rpt"), 3 * 256);

    EXPECT_EQ(store.read(1).ItemText.trimmed(), QString::fromUtf8("אחד"));
    EXPECT_EQ(store.read(2).ItemText.trimmed(), QStringLiteral("two"));
    EXPECT_EQ(store.read(2).ItemKind, KindTextNewLine);
    EXPECT_EQ(store.read(3).ItemText.trimmed(), QString::fromUtf8("שלוש"));

    // Record n is the n-th block of 256 bytes, in the code page.
    const QByteArray raw = contents("palvex.rpt");
    EXPECT_EQ(raw.mid(256 + 53, 3), QByteArray("two"));
    EXPECT_EQ(raw.mid(512 + 53, 4), QByteArray("\xF9\xEC\xE5\xF9", 4));
}

TEST_F(ReportStoreOnDisk, RewriteReplacesOneRecordInPlace) {
    ReportStore store(cp());
    store.OpenReportStore(dir(), kMargins);
    for (const char* t : {"a", "b", "c"})
        store.append(itemWithText(QString::fromLatin1(t)));
    PrintItem changed = store.read(2);
    changed.ItemText = QStringLiteral("B");
    changed.CenterOffset = 99.5f;
    store.rewrite(2, changed);
    EXPECT_EQ(store.itemCount(), 3);
    store.sync();
    EXPECT_EQ(sizeOf("palvex.rpt"), 3 * 256);
    EXPECT_EQ(store.read(1).ItemText.trimmed(), QStringLiteral("a"));
    EXPECT_EQ(store.read(2).ItemText.trimmed(), QStringLiteral("B"));
    EXPECT_EQ(store.read(2).CenterOffset, 99.5f);
    EXPECT_EQ(store.read(3).ItemText.trimmed(), QStringLiteral("c"));
}

TEST_F(ReportStoreOnDisk, PageEndFlagsBelongToOneItemEach) {
    ReportStore store(cp());
    store.OpenReportStore(dir(), kMargins);
    for (int i = 0; i < 3; ++i)
        store.append(itemWithText(QStringLiteral("x")));
    store.setPageEnd(2, true);
    EXPECT_FALSE(store.pageEndsAfter(1));
    EXPECT_TRUE(store.pageEndsAfter(2));
    EXPECT_FALSE(store.pageEndsAfter(3));
    EXPECT_FALSE(store.pageEndsAfter(0));
    EXPECT_FALSE(store.pageEndsAfter(99));
    EXPECT_EQ(statusOf([&] { store.setPageEnd(4, true); }), Status::SubscriptOutOfRange);
    EXPECT_EQ(statusOf([&] { store.setPageEnd(0, true); }), Status::SubscriptOutOfRange);
    store.setPageEnd(2, false);
    EXPECT_FALSE(store.pageEndsAfter(2));

    // Forgotten items take their flags with them: a new item 2 does not end a page.
    store.setPageEnd(2, true);
    store.setItemCount(1);
    EXPECT_EQ(store.itemCount(), 1);
    EXPECT_FALSE(store.pageEndsAfter(2));
    EXPECT_EQ(store.append(itemWithText(QStringLiteral("new"))), 2);
    EXPECT_FALSE(store.pageEndsAfter(2));
    EXPECT_EQ(store.read(2).ItemText.trimmed(), QStringLiteral("new"));
}

TEST_F(ReportStoreOnDisk, ReopeningEmptiesTheStoreButKeepsTheDefinitions) {
    {
        ReportStore first(cp());
        first.OpenReportStore(dir(), kMargins);
        first.append(itemWithText(QStringLiteral("old")));
        Definitions d = first.readDefinitions();
        d.DefReals[0] = 2.37;
        d.DefLongs[0] = 0x00FF00;
        d.DefTag = QStringLiteral("kept");
        first.writeDefinitions(d);
    }
    ReportStore second(cp());
    second.OpenReportStore(dir(), {0.1, 0.1, 0.1, 0.1}); // margins of a new file only
    EXPECT_EQ(second.itemCount(), 0);
    EXPECT_EQ(sizeOf("palvex.rpt"), 0);
    const Definitions d = second.readDefinitions();
    EXPECT_EQ(d.DefReals[0], 2.37);
    EXPECT_EQ(d.DefReals[1], 1.5);
    EXPECT_EQ(d.DefLongs[0], 0x00FF00);
    EXPECT_EQ(d.DefTag.trimmed(), QStringLiteral("kept"));

    // The same store started again after marking its files closed also starts empty.
    second.append(itemWithText(QStringLiteral("x")));
    second.setPageEnd(1, true);
    second.markClosed();
    second.OpenReportStore(dir(), kMargins);
    EXPECT_EQ(second.itemCount(), 0);
    EXPECT_FALSE(second.pageEndsAfter(1));
    EXPECT_EQ(sizeOf("palvex.rpt"), 0);
    EXPECT_EQ(second.append(itemWithText(QStringLiteral("y"))), 1);
}

TEST_F(ReportStoreOnDisk, AnEmptyDefinitionsFileIsInitialised) {
    writeFile("palvex.dfn", QByteArray());
    ReportStore store(cp());
    store.OpenReportStore(dir(), {1, 2, 3, 4});
    EXPECT_EQ(sizeOf("palvex.dfn"), 1024);
    const Definitions d = store.readDefinitions();
    EXPECT_EQ(d.DefReals[1], 2.0);
    EXPECT_EQ(d.DefFlags[0], 1);
}

TEST_F(ReportStoreOnDisk, ADamagedDefinitionsFileStillReads) {
    // A short file with a NaN where the first margin belongs.
    QByteArray bytes(620, '\0');
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(bytes.data() + 610, &nan, sizeof nan);
    writeFile("palvex.dfn", bytes);
    ReportStore store(cp());
    store.OpenReportStore(dir(), kMargins);
    EXPECT_EQ(sizeOf("palvex.dfn"), 620); // kept as found
    const Definitions d = store.readDefinitions();
    EXPECT_EQ(d.DefReals[0], 1.5);
    EXPECT_EQ(d.DefReals[1], 0.0);
    EXPECT_EQ(d.DefFlags[0], 0);
}

TEST_F(ReportStoreOnDisk, AFailedAppendChangesNothing) {
    ReportStore store(cp());
    store.OpenReportStore(dir(), kMargins);
    store.append(itemWithText(QStringLiteral("one")));
    store.append(itemWithText(QStringLiteral("two")));
    store.setPageEnd(2, true);
    store.sync(); // no space reserved ahead: the next record needs more

    Status status;
    {
        const FileSizeLimit limit(2 * 256 + 100); // a third record would be cut short
        status = statusOf([&] { store.append(itemWithText(QStringLiteral("three"))); });
    }
    EXPECT_EQ(status, Status::DiskFull);
    EXPECT_EQ(store.itemCount(), 2);
    EXPECT_TRUE(store.pageEndsAfter(2));
    EXPECT_FALSE(store.pageEndsAfter(3));
    EXPECT_EQ(sizeOf("palvex.rpt"), 2 * 256);

    // With room again the next item takes the number that failed.
    EXPECT_EQ(store.append(itemWithText(QStringLiteral("again"))), 3);
    EXPECT_EQ(store.read(3).ItemText.trimmed(), QStringLiteral("again"));
    store.sync();
    EXPECT_EQ(sizeOf("palvex.rpt"), 3 * 256);
}

// An item longer than its fields takes continuation records after its own: every reader sees it
// whole, in UTF-8 as in a single-byte page, and the items after it keep their numbers.
TEST_F(ReportStoreOnDisk, LongItemsTakeContinuationRecordsAndReadBackWhole) {
    for (const int page : {1255, CodePage::Utf8}) {
        SCOPED_TRACE(page);
        ReportStore store(CodePage::forNumber(page));
        store.OpenReportStore(dir(), kMargins);
        // 1000 Hebrew letters (2000 bytes in UTF-8), and a font name of 60 characters.
        const QString text = QString(1000, QChar(0x05E9)) + QStringLiteral(" end");
        PrintItem first = itemWithText(text);
        first.FontName = QString(60, QLatin1Char('F'));
        EXPECT_EQ(store.append(itemWithText(QStringLiteral("before"))), 1);
        EXPECT_EQ(store.append(first), 2);
        EXPECT_EQ(store.append(itemWithText(QStringLiteral("after"))), 3);
        const int bytes = page == CodePage::Utf8 ? 2004 : 1004;
        const int textRecords = (bytes - 180 + 179) / 180, fontRecords = 1;
        EXPECT_EQ(store.recordsInFile(), 3 + textRecords + fontRecords);

        EXPECT_EQ(store.read(1).ItemText.trimmed(), QStringLiteral("before"));
        EXPECT_EQ(store.read(2).ItemText.trimmed(), text);
        EXPECT_EQ(store.read(2).FontName.trimmed(), first.FontName);
        EXPECT_EQ(store.read(3).ItemText.trimmed(), QStringLiteral("after"));

        // Centring rewrites the first record only; the rest of the text stays.
        PrintItem shifted = store.read(2);
        shifted.CenterOffset = 12.5f;
        store.rewrite(2, shifted);
        EXPECT_EQ(store.read(2).ItemText.trimmed(), text);
        EXPECT_EQ(store.read(2).CenterOffset, 12.5f);

        // Scanning gives whole items too, by their numbers, also after Close forgot them.
        std::vector<QString> scanned;
        const auto collect = [&](int32_t n, const StoredItem& item) {
            scanned.push_back(QString::number(n) + QLatin1Char(' ') +
                              item.decode(store.codePage()).ItemText.trimmed());
            return true;
        };
        store.scan(2, 3, collect);
        ASSERT_EQ(scanned.size(), 2u);
        EXPECT_EQ(scanned[0], QStringLiteral("2 ") + text);
        EXPECT_EQ(scanned[1], QStringLiteral("3 after"));
        scanned.clear();
        store.setItemCount(0);
        store.scanFile(collect);
        ASSERT_EQ(scanned.size(), 3u);
        EXPECT_EQ(scanned[1], QStringLiteral("2 ") + text);
        // The next report starts numbering afresh after items were forgotten.
        store.setItemCount(1);
        EXPECT_EQ(store.append(itemWithText(QStringLiteral("replaced"))), 2);
        EXPECT_EQ(store.read(2).ItemText.trimmed(), QStringLiteral("replaced"));
        store.markClosed();
    }
}

TEST_F(ReportStoreOnDisk, AnItemThatCannotHaveAllItsRecordsHasNone) {
    ReportStore store(cp());
    store.OpenReportStore(dir(), kMargins);
    store.append(itemWithText(QStringLiteral("one")));
    store.sync();
    Status status;
    {
        const FileSizeLimit limit(2 * 256 + 100); // room for the first record, not the rest
        status = statusOf([&] { store.append(itemWithText(QString(400, QLatin1Char('x')))); });
    }
    EXPECT_EQ(status, Status::DiskFull);
    EXPECT_EQ(store.itemCount(), 1);
    EXPECT_EQ(sizeOf("palvex.rpt"), 256);
    EXPECT_EQ(store.append(itemWithText(QStringLiteral("two"))), 2);
    EXPECT_EQ(store.read(2).ItemText.trimmed(), QStringLiteral("two"));
}

TEST_F(ReportStoreOnDisk, AStoreThatCannotBeOpenedIsAnError) {
    ReportStore store(cp());
    EXPECT_NE(statusOf([&] { store.OpenReportStore(dir() + "/no/such/dir", kMargins); }),
              Status::Ok);
    EXPECT_FALSE(store.isOpen());
    EXPECT_NE(statusOf([&] { store.append(itemWithText(QStringLiteral("x"))); }), Status::Ok);
    EXPECT_EQ(store.itemCount(), 0);
}

} // namespace
} // namespace palvex::test
