// The script host palvex-run as a user runs it: statements read and run one at a time, and the
// exit status that tells a script's mistake from a run to its end.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef PALVEX_RUN_PATH
#define PALVEX_RUN_PATH "palvex-run"
#endif
#ifndef PALVEX_VERSION
#define PALVEX_VERSION "0.0.0"
#endif

namespace {

struct Finished {
    int status = -1;
    QString output, errors;
};

class ScriptHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_host.setWorkingDirectory(m_dir.path());
    }
    void start(const QStringList& args = {QStringLiteral("-")}) {
        m_host.start(QStringLiteral(PALVEX_RUN_PATH), args);
        ASSERT_TRUE(m_host.waitForStarted());
    }
    // The script through standard input, to the end.
    Finished run(const QByteArray& script) {
        start();
        m_host.write(script);
        m_host.closeWriteChannel();
        return finish();
    }
    Finished finish() {
        Finished f;
        if (!m_host.waitForFinished(60000)) return f;
        f.status = m_host.exitStatus() == QProcess::NormalExit ? m_host.exitCode() : -1;
        f.output = QString::fromUtf8(m_host.readAllStandardOutput());
        f.errors = QString::fromUtf8(m_host.readAllStandardError());
        return f;
    }

    // A three-page report in the preview, on its first page.
    static constexpr const char* Preview = "StartPalvexPrintPreview\n"
                                           "printText \"one\", 2\nprintPage\n"
                                           "printText \"two\", 2\nprintPage\n"
                                           "printText \"three\", 2\nprintLastPage\n";
    static constexpr int PreviewLines = 7;

    QTemporaryDir m_dir;
    QProcess m_host;
};

TEST_F(ScriptHostTest, AStatementRunsAsSoonAsItsLineArrives) {
    start();
    m_host.write("StartPalvexPrintPreview\n? CurrentX\n");
    QByteArray output;
    while (!output.contains("CurrentX = 0\n") && m_host.waitForReadyRead(20000))
        output += m_host.readAllStandardOutput();
    EXPECT_EQ(output, QByteArray("CurrentX = 0\n"));
    // The script goes on with what arrives next.
    m_host.write("printText \"later\", 2\n? CurrentX\n");
    m_host.closeWriteChannel();
    const Finished f = finish();
    EXPECT_EQ(f.status, 0) << f.errors.toStdString();
    EXPECT_EQ(f.output, QStringLiteral("CurrentX = 0\n"));
}

TEST_F(ScriptHostTest, ASyntaxErrorStopsTheScriptWhereItIsAfterRunningWhatCameBefore) {
    const Finished f =
        run("StartPalvexPrintPreview\n? CurrentX\nprintText \"unterminated\n? CurrentY\n");
    EXPECT_EQ(f.status, 2);
    EXPECT_EQ(f.output, QStringLiteral("CurrentX = 0\n"));
    EXPECT_TRUE(f.errors.contains(QStringLiteral("line 3: unterminated string")))
        << f.errors.toStdString();
}

TEST_F(ScriptHostTest, StringsJoinWithTheCharactersALineCannotHold) {
    const Finished f = run("ForeColor = &HFF\n? ForeColor\n"
                           "PageNumberFormat = \"{page}\" & tab & \"a\"\"b\" & CrLf & RowSeparator\n"
                           "? PageNumberFormat\nPageNumberFormat = Lf\n? PageNumberFormat\n"
                           "printText \"x\" & 5\n");
    EXPECT_EQ(f.status, 2);
    // A hexadecimal number is still a number; the joined text arrives whole.
    EXPECT_EQ(f.output, QStringLiteral("ForeColor = 255\nPageNumberFormat = \"{page}\ta\"\"b\r\n\x1e\"\n"
                                       "PageNumberFormat = \"\n\"\n"));
    EXPECT_TRUE(f.errors.contains(QStringLiteral("line 7: not a string to join: 5")))
        << f.errors.toStdString();
}

TEST_F(ScriptHostTest, AScriptFileMayHaveAByteOrderMarkAndCarriageReturns) {
    QFile script(m_dir.filePath(QStringLiteral("dos.pvs")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("\xEF\xBB\xBF"
                 "StartPalvexPrintPreview\r\nprintText \"a\", 1\r\n? FontName\r\n");
    script.close();
    start({script.fileName()});
    const Finished f = finish();
    EXPECT_EQ(f.status, 0) << f.errors.toStdString();
    EXPECT_EQ(f.output, QStringLiteral("FontName = \"Ms Sans Serif\"\n"));
}

TEST_F(ScriptHostTest, AMissingScriptIsAFailure) {
    start({m_dir.filePath(QStringLiteral("absent.pvs"))});
    const Finished f = finish();
    EXPECT_EQ(f.status, 1);
    EXPECT_TRUE(f.errors.contains(QStringLiteral("cannot read"))) << f.errors.toStdString();
}

// "!click cmd 4.0" used to read as no index at all and click the first button, Close.
TEST_F(ScriptHostTest, AWindowActionsIndexMustBeAWholeNumberInRange) {
    for (const char* action : {"!click cmd 4.0", "!click cmd 4x", "!click cmd -1",
                               "!click cmd 99999999999", "!click cmd 40000", "!select cboZoom 1.5",
                               "!select cboPage -2", "!key 34.0", "!key 34 8", "!keypress x p1"}) {
        SCOPED_TRACE(action);
        m_host.close();
        const Finished f = run(QByteArray(Preview) + action + "\n!state\n");
        EXPECT_EQ(f.status, 2);
        EXPECT_EQ(f.output, QString()); // nothing after the bad statement ran
        EXPECT_TRUE(f.errors.contains(QStringLiteral("line %1: ").arg(PreviewLines + 1)))
            << f.errors.toStdString();
    }
}

TEST_F(ScriptHostTest, AnIndexNoControlCarriesStopsTheScript) {
    const Finished f = run(QByteArray(Preview) + "!click cmd 8\n!state\n");
    EXPECT_EQ(f.status, 2);
    EXPECT_EQ(f.output, QString());
    EXPECT_TRUE(
        f.errors.contains(QStringLiteral("line %1: no cmd has index 8").arg(PreviewLines + 1)))
        << f.errors.toStdString();
}

TEST_F(ScriptHostTest, AGoodIndexStillActs) {
    const Finished f = run(QByteArray(Preview) + "!click cmd 4\n!state\n!key 34 0\n");
    EXPECT_EQ(f.status, 0) << f.errors.toStdString();
    EXPECT_TRUE(f.output.startsWith(QStringLiteral("page=2 "))) << f.output.toStdString();
    EXPECT_FALSE(f.output.contains(QStringLiteral("error"))) << f.output.toStdString();
}

// The command line, after the GNU conventions: help and the version, asked for, are the program's
// output and a success; a command line it cannot run is a mistake, told on standard error.

TEST_F(ScriptHostTest, HelpIsTheUsageOnStandardOutput) {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        SCOPED_TRACE(option.toStdString());
        m_host.close();
        start({option});
        const Finished f = finish();
        EXPECT_EQ(f.status, 0);
        EXPECT_TRUE(f.output.startsWith(QStringLiteral("usage: palvex-run ")))
            << f.output.toStdString();
        EXPECT_TRUE(f.output.contains(QStringLiteral("--version"))) << f.output.toStdString();
        EXPECT_EQ(f.errors, QString());
    }
}

TEST_F(ScriptHostTest, HelpAnswersBeforeAnyScriptRuns) {
    start({QStringLiteral("-"), QStringLiteral("--help")});
    m_host.write("StartPalvexPrintPreview\n? CurrentX\n");
    m_host.closeWriteChannel();
    const Finished f = finish();
    EXPECT_EQ(f.status, 0);
    EXPECT_TRUE(f.output.startsWith(QStringLiteral("usage: palvex-run ")))
        << f.output.toStdString();
    EXPECT_FALSE(f.output.contains(QStringLiteral("CurrentX"))) << f.output.toStdString();
}

TEST_F(ScriptHostTest, VersionNamesTheProgramItsPackageAndTheirLicence) {
    start({QStringLiteral("--version")});
    const Finished f = finish();
    EXPECT_EQ(f.status, 0);
    EXPECT_TRUE(f.output.startsWith(QStringLiteral("palvex-run (Palvex) " PALVEX_VERSION "\n")))
        << f.output.toStdString();
    EXPECT_TRUE(f.output.contains(QStringLiteral("MIT licence"))) << f.output.toStdString();
    EXPECT_EQ(f.errors, QString());
}

TEST_F(ScriptHostTest, ACommandLineThatCannotRunIsTheUsageOnStandardErrorWithStatusTwo) {
    const QList<QStringList> commandLines = {
        {},                                                 // no script
        {QStringLiteral("--bogus")},                        // an option there is not
        {QStringLiteral("-x")},                             // an option, not a script's name
        {QStringLiteral("a.pvs"), QStringLiteral("b.pvs")}, // two scripts
        {QStringLiteral("-"), QStringLiteral("--pdf")}};    // an option without its value
    for (const QStringList& args : commandLines) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        m_host.close();
        start(args);
        m_host.closeWriteChannel();
        const Finished f = finish();
        EXPECT_EQ(f.status, 2);
        EXPECT_EQ(f.output, QString());
        EXPECT_TRUE(f.errors.contains(QStringLiteral("usage: palvex-run ")))
            << f.errors.toStdString();
    }
}

TEST_F(ScriptHostTest, AnAnswerThatCannotBeWrittenIsAFailure) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full here";
    m_host.setStandardOutputFile(QStringLiteral("/dev/full"));
    start({QStringLiteral("--version")});
    const Finished f = finish();
    EXPECT_EQ(f.status, 1);
    EXPECT_TRUE(f.errors.contains(QStringLiteral("cannot write"))) << f.errors.toStdString();
}

} // namespace
