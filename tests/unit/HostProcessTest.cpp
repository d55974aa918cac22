// The script host as a process, where only a process shows the fault: a file-size limit, and two
// hosts starting reports in one folder at the same moment.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif

namespace {

struct Finished {
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray output;
};

class HostProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString writeScript(const QString& name, const QByteArray& text) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_EQ(f.write(text), text.size());
        return path;
    }
    // Starts palvex-run on `script` in `folder`, through bash when a shell prefix is given.
    static void start(QProcess& p, const QString& folder, const QString& script,
                      const QString& shellPrefix = QString()) {
        p.setWorkingDirectory(folder);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        if (shellPrefix.isEmpty())
            p.start(QStringLiteral(PALVEX_RUN_PATH), {script});
        else
            p.start(QStringLiteral("bash"),
                    {QStringLiteral("-c"), shellPrefix + QStringLiteral(" && exec \"$0\" \"$1\""),
                     QStringLiteral(PALVEX_RUN_PATH), script});
    }
    static Finished finish(QProcess& p) {
        Finished r;
        EXPECT_TRUE(p.waitForFinished(120000));
        r.exitStatus = p.exitStatus();
        r.exitCode = p.exitCode();
        r.output = p.readAllStandardOutput();
        return r;
    }
    QString folder(const char* name) {
        EXPECT_TRUE(QDir(m_dir.path()).mkpath(QString::fromLatin1(name)));
        return m_dir.filePath(QString::fromLatin1(name));
    }

    QTemporaryDir m_dir;
};

TEST_F(HostProcess, AFileSizeLimitIsADiskFullErrorNotTheEndOfTheProcess) {
    // 64 KiB hold 256 items of the store; the rest must each fail with 61 and the script go on.
    QByteArray script = "StartPalvexPrintPreview\n";
    for (int i = 0; i < 400; ++i)
        script += "printText \"row " + QByteArray::number(i) + "\", 2\n";
    script += "? CurrentY\n";
    const QString path = writeScript(QStringLiteral("limit.pvs"), script);
    QProcess p;
    start(p, folder("limited"), path, QStringLiteral("ulimit -f 64"));
    const Finished r = finish(p);
    ASSERT_EQ(r.exitStatus, QProcess::NormalExit) << "killed by the file-size limit";
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains("error 61: printText")) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("CurrentY = ")) << "the script ran to its end";
}

TEST_F(HostProcess, TwoHostsStartingInOneFolderNeverShareAReportStore) {
    // Each host starts twenty reports with its own texts and lists every one; run side by side
    // in one folder, each must list exactly what it lists when it runs alone.
    auto scriptOf = [](char who) {
        QByteArray s;
        for (int report = 0; report < 20; ++report) {
            s += "StartPalvexPrintPreview\n";
            for (int line = 0; line < 6; ++line)
                s += QByteArray("printText \"") + who + ' ' + QByteArray::number(report) + '.' +
                     QByteArray::number(line) + "\", 2\n";
            s += "!items\n";
        }
        return s;
    };
    const QString a = writeScript(QStringLiteral("a.pvs"), scriptOf('A'));
    const QString b = writeScript(QStringLiteral("b.pvs"), scriptOf('B'));

    QProcess aloneA, aloneB;
    start(aloneA, folder("aloneA"), a);
    const Finished expectedA = finish(aloneA);
    start(aloneB, folder("aloneB"), b);
    const Finished expectedB = finish(aloneB);
    ASSERT_EQ(expectedA.exitCode, 0);
    ASSERT_EQ(expectedA.output.count("items: 6"), 20);

    const QString shared = folder("shared");
    for (int round = 0; round < 5; ++round) {
        QProcess pa, pb;
        start(pa, shared, a);
        start(pb, shared, b);
        const Finished ra = finish(pa), rb = finish(pb);
        ASSERT_EQ(ra.output, expectedA.output) << "round " << round;
        ASSERT_EQ(rb.output, expectedB.output) << "round " << round;
        EXPECT_EQ(ra.exitCode, 0);
        EXPECT_EQ(rb.exitCode, 0);
    }
}

} // namespace
