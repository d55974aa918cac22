// Paragraph layout speed: one paragraph of N characters (Hebrew with English words and amounts,
// Liberation Sans 10 pt) wrapped by printParagraph into a box 9000 twips wide, breaking and
// recording together; characters per second against N. Layout linear in the paragraph's length
// keeps the figures flat.
//
//   bench-paragraph [N...]   (default 10000 100000 1000000)

#include "BenchControls.h"
#include "PalvexPrivate.h"
#include "platform/Platform.h"
#include <palvex/Palvex.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

using namespace palvex;

namespace {

constexpr float BoxWidth = 9000;
constexpr double FlatWithin = 2;   // the slowest size against the fastest
constexpr double LeastSeconds = 1; // short paragraphs are laid out again until this much passed

// A paragraph of exactly `length` characters, its words drawn by `seed`: every run lays out
// lines never measured before, as a report's paragraphs are.
QString paragraphOf(qsizetype length, unsigned seed) {
    const QString words[] = {
        QString::fromUtf8("חשבונית"), QString::fromUtf8("לקוח"), QString::fromUtf8("תשלום"),
        QString::fromUtf8("יתרה"),    QString::fromUtf8("מע״מ"), QString::fromUtf8("הנהלת"),
        QString::fromUtf8("חשבונות"), QStringLiteral("invoice"), QString::fromUtf8("של"),
        QStringLiteral("Ltd."),       QString::fromUtf8("סניף"), QString::fromUtf8("בנק"),
        QString::fromUtf8("הועבר"),   QString::fromUtf8("ב-"),   QString::fromUtf8("ספקים"),
        QStringLiteral("report"),
    };
    std::minstd_rand draw(seed);
    QString text;
    text.reserve(length + 32);
    while (text.size() < length) {
        const unsigned n = unsigned(draw());
        if (n % 8 == 0) // an amount or a date now and then
            text += n % 3 ? QStringLiteral("%1.%2").arg(n / 8 % 100000).arg(n / 7 % 90 + 10)
                          : QStringLiteral("%1/%2/2024").arg(n / 8 % 28 + 1).arg(n / 5 % 12 + 1);
        else
            text += words[n / 8 % std::size(words)];
        text += n % 13 == 12 ? QStringLiteral(", ") : QStringLiteral(" ");
    }
    text.truncate(length);
    return text;
}

// The process's CPU seconds: the machine the benchmarks run on is shared, and the figures are
// compared with one another.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Run {
    double seconds = 0, cpu = 0; // all runs together
    int times = 0;
    int32_t pages = 0; // of one paragraph
};

Run layOut(qsizetype length) {
    Palvex ctl(Platform::headless());
    auto check = [](Status status, const char* what) {
        if (status != Status::Ok) {
            std::fprintf(stderr, "%s failed: status %d\n", what, int(status));
            std::exit(1);
        }
    };
    check(ctl.StartPalvexPrintPreview(), "StartPalvexPrintPreview");
    check(ctl.let_FontName(QStringLiteral("Liberation Sans")), "let_FontName");
    check(ctl.let_FontSize(10), "let_FontSize");
    Run run;
    while (run.seconds < LeastSeconds) {
        const QString text = paragraphOf(length, unsigned(run.times) + 1);
        check(ctl.let_CurrentX(1000), "let_CurrentX");
        const auto t0 = std::chrono::steady_clock::now();
        const double cpu0 = cpuSeconds();
        check(ctl.printParagraph(text, BoxWidth), "printParagraph");
        run.cpu += cpuSeconds() - cpu0;
        run.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (run.times++ == 0) run.pages = ctl.internals().report().pagesEnded + 1;
    }
    return run;
}

} // namespace

int main(int argc, char** argv) {
    bench::BenchApplication dir(argc, argv);
    std::vector<qsizetype> lengths;
    for (int i = 1; i < argc; ++i)
        lengths.push_back(std::atoll(argv[i]));
    if (lengths.empty()) lengths = {10'000, 100'000, 1'000'000};

    std::printf("Palvex printParagraph: one paragraph, Liberation Sans 10 pt, %g twips wide\n\n",
                double(BoxWidth));
    std::printf("  %10s %5s %6s %9s %12s %12s\n", "characters", "pages", "runs", "seconds",
                "chars/s", "chars/CPU s");
    std::vector<double> rates;
    for (qsizetype length : lengths) {
        const Run run = layOut(length);
        const double chars = double(length) * run.times;
        rates.push_back(chars / run.cpu);
        std::printf("  %10lld %5d %6d %9.3f %12.0f %12.0f\n", static_cast<long long>(length),
                    run.pages, run.times, run.seconds / run.times, chars / run.seconds,
                    chars / run.cpu);
        std::fflush(stdout);
    }
    const auto [slowest, fastest] = std::minmax_element(rates.begin(), rates.end());
    if (rates.size() > 1)
        std::printf("\n  fastest / slowest (CPU) %.2f  %s\n", *fastest / *slowest,
                    *fastest / *slowest <= FlatWithin ? "PASS" : "not flat within 2x");
    return 0;
}
