#pragma once

// What qpdf says of a PDF we wrote: every PDF Palvex writes must pass its check without a warning.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace palvex::test {

struct PdfCheck {
    int exitCode = -1; // 0 clean, 2 errors, 3 warnings; -1 when qpdf could not run
    QString output;
    bool clean() const { return exitCode == 0; }
};

inline PdfCheck qpdfCheck(const QString& pdf) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

} // namespace palvex::test
