#pragma once

// What poppler and qpdf say of a PDF we wrote: every PDF Palvex writes must pass qpdf's check
// without a warning, and its text and fonts are read back with poppler's tools.

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

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

// What a poppler tool prints for the PDF (pdftotext's text on standard output, pdffonts' table).
inline QString popplerOutput(const QString& tool, QStringList args) {
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString pdfText(const QString& pdf, const QStringList& options = {}) {
    return popplerOutput(QStringLiteral("pdftotext"), QStringList(options)
                                                          << pdf << QStringLiteral("-"));
}

// `area` of the PDF's first page (in pixels at `dpi`, from the paper's top-left corner) as
// pdftoppm renders it; a null image when it cannot.
inline QImage renderedArea(const QString& pdf, int dpi, const QRect& area) {
    const QString png = pdf + QStringLiteral(".area");
    popplerOutput(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-x"),
                   QString::number(area.x()), QStringLiteral("-y"), QString::number(area.y()),
                   QStringLiteral("-W"), QString::number(area.width()), QStringLiteral("-H"),
                   QString::number(area.height()), QStringLiteral("-png"),
                   QStringLiteral("-singlefile"), pdf, png});
    return QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace palvex::test
