// Opening a 10,000-page report in the preview with the page strip hidden and shown: recording,
// printLastPage (the first page drawn and shown), Last and First, each followed by a grab of the
// window (its whole paint, the strip's thumbnails in view included). The strip draws only the
// thumbnails in view, so the open should cost about the same either way (target: about 0.2 s
// for the open, Last and First together). Runs alternate.

#include "BenchControls.h"
#include "PalvexPrivate.h"
#include "platform/Platform.h"
#include "preview/PageRenderer.h"
#include <palvex/Palvex.h>

#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace palvex;
using bench::toolbarButton;

namespace {

double msOf(const std::function<void()>& body) {
    const auto t0 = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

struct Run {
    double record = 0, open = 0, last = 0, first = 0;
    int64_t thumbnails = 0;
    double preview() const { return open + last + first; }
};

// The report recorded up to its last page, then the preview opened and walked; every step ends
// with the window painted, as a person would see it.
Run runOnce(int pages, bool strip) {
    Palvex ctl(Platform::headless());
    ctl.let_ShowThumbnails(strip);
    Run run;
    const QString line = QString::fromUtf8("מאזן בוחן - Trial balance");
    run.record = msOf([&] {
        ctl.StartPalvexPrintPreview();
        ctl.let_FontSize(10);
        for (int p = 0; p < pages; ++p) {
            for (int l = 0; l < 10; ++l) {
                QString text = line + QString::number(p * 10 + l);
                AfterPrintType next = A2_JumpToNextLine;
                ctl.printText(text, next);
            }
            if (p + 1 < pages) ctl.printPage();
        }
    });
    run.open = msOf([&] {
        ctl.printLastPage();
        (void)ctl.grab();
    });
    run.last = msOf([&] {
        toolbarButton(ctl, 5)->click();
        (void)ctl.grab();
    });
    run.first = msOf([&] {
        toolbarButton(ctl, 2)->click();
        (void)ctl.grab();
    });
    run.thumbnails = ctl.internals().renderer().thumbnailsDrawn();
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    bench::BenchApplication dir(argc, argv);
    const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<Run> hidden, shown;
    for (int i = 0; i < runs; ++i) {
        hidden.push_back(runOnce(pages, false));
        shown.push_back(runOnce(pages, true));
    }
    std::printf(
        "Palvex preview open (%d pages of 10 lines, %d alternating runs each, median ms)\n\n",
        pages, runs);
    std::printf("  %-14s %10s %10s %10s %10s %12s %11s\n", "strip", "record", "open", "Last",
                "First", "open+L+F", "thumbnails");
    for (const auto& [name, set] : {std::pair{"hidden", &hidden}, std::pair{"shown", &shown}}) {
        auto med = [&](double Run::*part) {
            std::vector<double> v;
            for (const Run& r : *set)
                v.push_back(r.*part);
            return median(v);
        };
        std::vector<double> total;
        for (const Run& r : *set)
            total.push_back(r.preview());
        std::printf("  %-14s %10.1f %10.1f %10.1f %10.1f %12.1f %11lld\n", name, med(&Run::record),
                    med(&Run::open), med(&Run::last), med(&Run::first), median(total),
                    static_cast<long long>(set->front().thumbnails));
    }
    std::printf("\n  target: open+Last+First about 200 ms with the strip shown\n");
    return 0;
}
