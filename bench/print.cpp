// Printing speed: a 1000-page trial balance printed to the PDF device, pages per second and
// peak memory against the number of pages.

#include "BenchControls.h"
#include "platform/Platform.h"
#include <palvex/Palvex.h>

#include <QComboBox>
#include <QPushButton>

#include <chrono>
#include <cstdio>

using namespace palvex;

namespace {

double printAll(Palvex& ctl) {
    bench::toolbarButton(ctl, 1)->click(); // Print
    const auto t0 = std::chrono::steady_clock::now();
    ctl.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    bench::BenchApplication dir(argc, argv);
    std::printf("Palvex printing to the PDF device (trial balance, 150 text items a page)\n\n");
    std::printf("  %8s %10s %12s %14s\n", "pages", "seconds", "pages/s", "peak memory");
    for (int pages : {100, 1000}) {
        Platform platform = Platform::headless();
        platform.printers->setPdfOutputPath(
            dir.filePath(QStringLiteral("report-%1.pdf").arg(pages)));
        Palvex ctl(platform);
        bench::recordTrialBalance(ctl, pages, 50);
        const double seconds = printAll(ctl);
        std::printf("  %8d %10.2f %12.0f %11ld kB  %s\n", pages, seconds, pages / seconds,
                    bench::peakKilobytes(), pages / seconds >= 250 ? "PASS" : "under 250 pages/s");
    }
    return 0;
}
