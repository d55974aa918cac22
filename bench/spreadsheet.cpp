// A report's tables into a spreadsheet: a statement of N table rows over many pages (the header
// row repeated on each), and the line-by-line trial balance of the same rows, exported with
// ExportXlsx and ExportCsv. Rows per second of each export, and the process's peak memory after
// each size (the workbook is written a row at a time, so it should not grow with the rows).
//   bench-spreadsheet [N...]            (default 10000 100000)

#include "BenchControls.h"
#include "platform/Platform.h"

#include <palvex/Palvex.h>

#include <QFileInfo>
#include <QLocale>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <vector>

using namespace palvex;

namespace {

double secondsOf(const std::function<void()>& body) {
    const auto t0 = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

long peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void recordStatement(Palvex& ctl, int rows) {
    ctl.let_CodePage(65001);
    ctl.StartPalvexPrintPreview();
    ctl.let_FontName(QStringLiteral("Liberation Sans"));
    ctl.let_FontSize(9);
    ctl.TableClear();
    const std::pair<float, const char*> columns[] = {
        {1300, "תאריך"}, {1000, "אסמכתא"}, {2600, "פרטים"}, {1400, "סכום"}, {1400, "יתרה"}};
    for (const auto& [width, header] : columns)
        ctl.TableAddColumn(width, 1, QString::fromUtf8(header));
    bool repeat = true;
    ctl.TableBegin(&repeat);
    const QLocale english(QLocale::English);
    for (int r = 0; r < rows; ++r) {
        const double amount = (r % 7 + 1) * 1234.5;
        ctl.TableRow(
            QStringLiteral("%1/%2/2026\t%3\t").arg(r % 28 + 1).arg(r % 12 + 1).arg(70000 + r) +
            QString::fromUtf8("תנועה ") + QString::number(r) + QLatin1Char('\t') +
            english.toString(amount, 'f', 2) + (r % 3 ? QString() : QStringLiteral("-")) +
            QLatin1Char('\t') + english.toString(r * 17.25, 'f', 2));
    }
    ctl.TableEnd();
    ctl.printLastPage();
}

void exportBoth(Palvex& ctl, const char* what, int rows, const bench::BenchApplication& dir) {
    const QString xlsx = dir.filePath(QStringLiteral("bench.xlsx"));
    const QString csv = dir.filePath(QStringLiteral("bench.csv"));
    const double x = secondsOf([&] {
        if (ctl.ExportXlsx(xlsx) != Status::Ok) std::exit(1);
    });
    const double c = secondsOf([&] {
        if (ctl.ExportCsv(csv) != Status::Ok) std::exit(1);
    });
    std::printf("  %-16s %7d rows  xlsx %6.2f s (%7.0f rows/s, %6.1f MiB)  csv %6.2f s (%7.0f "
                "rows/s)  peak %ld MiB\n",
                what, rows, x, rows / x, QFileInfo(xlsx).size() / 1048576.0, c, rows / c,
                peakMiB());
}

} // namespace

int main(int argc, char** argv) {
    bench::BenchApplication dir(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};
    std::printf("Palvex spreadsheet export\n\n");
    for (int rows : sizes) {
        {
            Palvex ctl(Platform::headless());
            recordStatement(ctl, rows);
            exportBoth(ctl, "table rows", rows, dir);
        }
        {
            Palvex ctl(Platform::headless());
            bench::recordTrialBalance(ctl, rows / 50, 50);
            exportBoth(ctl, "lines of text", rows, dir);
        }
    }
    return 0;
}
