// Printing speed: a 1000-page trial balance printed to the PDF device, pages per second and
// peak memory against the number of pages.

#include "BenchControls.h"
#include "Palvex.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace palvex;

namespace {

long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void record(Palvex& ctl, int pages) {
    ctl.StartPalvexPrintPreview();
    ctl.let_FontSize(10);
    const QString names[] = {QString::fromUtf8("מזומנים בקופה הראשית"),
                             QString::fromUtf8("בנק הפועלים סניף 600"),
                             QString::fromUtf8("לקוחות שונים"), QString::fromUtf8("ספקים וזכאים")};
    for (int p = 0; p < pages; ++p) {
        for (int line = 0; line < 50; ++line) {
            QString number = QString::number(100000 + p * 50 + line), name = names[line % 4];
            QString amount = QStringLiteral("%1.50").arg(1000 + line * 37);
            AfterPrintType stay = A1_StayWhereYouAre, next = A2_JumpToNextLine;
            ctl.let_CurrentX(1000);
            ctl.printText(number, stay);
            ctl.let_CurrentX(2800);
            ctl.printText(name, stay);
            ctl.let_CurrentX(line % 2 ? 9300 : 7600);
            ctl.printText(amount, next);
        }
        if (p + 1 < pages) ctl.printPage();
    }
    ctl.printLastPage();
}

double printAll(Palvex& ctl) {
    bench::toolbarButton(ctl, 1)->click(); // Print
    const auto t0 = std::chrono::steady_clock::now();
    ctl.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::filesystem::current_path(dir.path().toStdString());
    std::printf("Palvex printing to the PDF device (trial balance, 150 text items a page)\n\n");
    std::printf("  %8s %10s %12s %14s\n", "pages", "seconds", "pages/s", "peak memory");
    for (int pages : {100, 1000}) {
        Platform platform = Platform::headless();
        platform.printers->setPdfOutputPath(
            dir.filePath(QStringLiteral("report-%1.pdf").arg(pages)));
        Palvex ctl(platform);
        record(ctl, pages);
        const double seconds = printAll(ctl);
        std::printf("  %8d %10.2f %12.0f %11ld kB  %s\n", pages, seconds, pages / seconds,
                    peakKilobytes(), pages / seconds >= 250 ? "PASS" : "under 250 pages/s");
    }
    return 0;
}
