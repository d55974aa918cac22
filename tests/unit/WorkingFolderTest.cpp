// WorkingFolder: where a start creates the report store and the definitions file, and the
// folders it refuses.

#include "ControlFixture.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace palvex::test {
namespace {

class WorkingFolderTest : public ControlFixture {
protected:
    QString folder() {
        QString value;
        EXPECT_EQ(ctl().get_WorkingFolder(out(value)), Status::Ok);
        return value;
    }
};

TEST_F(WorkingFolderTest, TheReportFilesLandInTheFolderSet) {
    EXPECT_EQ(folder(), QString()); // the current directory, as before
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("reports")));
    ASSERT_EQ(ctl().let_WorkingFolder(QStringLiteral("reports/")), Status::Ok);
    // Made absolute when set, so a later change of directory does not move the files.
    EXPECT_EQ(folder(), path("reports"));
    start();
    ASSERT_EQ(text(QStringLiteral("in the folder")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_GT(QFileInfo(path("reports/palvex.rpt")).size(), 0);
    EXPECT_TRUE(QFile::exists(path("reports/palvex.dfn")));
    EXPECT_FALSE(QFile::exists(path("palvex.rpt")));
    EXPECT_FALSE(QFile::exists(path("palvex.dfn")));
    EXPECT_EQ(QDir(path("reports")).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "the probe file is left behind";

    // Empty goes back to the current directory for the next start.
    ASSERT_EQ(ctl().let_WorkingFolder(QString()), Status::Ok);
    start();
    EXPECT_TRUE(QFile::exists(path("palvex.rpt")));
}

TEST_F(WorkingFolderTest, AFolderThatCannotBeUsedIs75AndChangesNothing) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("good")));
    ASSERT_EQ(ctl().let_WorkingFolder(path("good")), Status::Ok);
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("locked")));
    ASSERT_TRUE(
        QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool lockedRefuses = ::access(path("locked").toLocal8Bit().constData(), W_OK) != 0;
    QStringList unusable{path("missing"), path("plain"), QStringLiteral("/proc/self")};
    if (lockedRefuses) unusable << path("locked"); // root may write anywhere
    for (const QString& bad : unusable) {
        EXPECT_EQ(ctl().let_WorkingFolder(bad), Status::PathFileAccessError) << bad.toStdString();
        EXPECT_EQ(folder(), path("good"));
    }
    start();
    EXPECT_TRUE(QFile::exists(path("good/palvex.rpt")));
    QFile::setPermissions(path("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(WorkingFolderTest, ByDispatchAndAFolderRemovedBeforeTheStart) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("gone")));
    Dispatch dispatch(ctl());
    const DispId id = dispatch.idOfName("WorkingFolder");
    ASSERT_NE(id, UnknownDispId);
    std::vector<Variant> args{Variant(path("gone"))};
    ASSERT_EQ(dispatch.invoke(id, InvokeKind::PropertyPut, args, nullptr), Status::Ok);
    Variant value;
    ASSERT_EQ(dispatch.invoke(id, InvokeKind::PropertyGet, {}, &value), Status::Ok);
    EXPECT_EQ(value, Variant(path("gone")));
    // The folder went away after it was set: the start fails, and nothing is recorded.
    ASSERT_TRUE(QDir(path("gone")).removeRecursively());
    EXPECT_EQ(ctl().StartPalvexPrintPreview(), Status::FileNotFound);
    EXPECT_EQ(text(QStringLiteral("nowhere")), Status::BadFileName);
}

} // namespace
} // namespace palvex::test
