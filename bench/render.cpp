// Page drawing speed: a page of 60 text items at 100 % and 200 %, and Next and Last on a
// 1000-page report (Last must cost what Next costs: no scan of the report).

#include "BenchControls.h"
#include "PalvexPrivate.h"
#include "platform/Platform.h"
#include <palvex/Palvex.h>

#include <QComboBox>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace palvex;
using bench::toolbarButton;

namespace {

// Median and minimum milliseconds of `runs` calls.
std::pair<double, double> timeIt(int runs, const std::function<void()>& body) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        body();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

// One page of 60 mixed graphics items: boxes with inside text, lines, circles and arcs,
// character runs and pictures.
void recordGraphics(Palvex& ctl, const QString& picture) {
    ctl.StartPalvexPrintPreview();
    ctl.let_FontSize(10);
    for (int i = 0; i < 12; ++i) {
        const float y = 900 + i * 1100;
        float x1 = 1000, x2 = 4000, y1 = y, y2 = y + 800, r = 400, cy = y + 400, cx = 6000;
        int32_t fill = 0xFF << (8 * (i % 3)), style = i % 5, mode = 13, fillStyle = i % 8;
        int16_t width = int16_t(1 + i % 4);
        AlignType none = A0_AlignNone;
        QString inside = QStringLiteral("Box %1").arg(i);
        ctl.printBox(x1, y1, x2, y2, fill, style, mode, width, fillStyle, none, inside);
        float lx1 = 4500, lx2 = 9000;
        ctl.printLine(lx1, y1, lx2, y2, fill, mode, style, width, none);
        int32_t outline = 0;
        float start = 0.3f, end = 2.8f, aspect = i % 2 ? 0.6f : 0.0f;
        QString circleText = QStringLiteral("C%1").arg(i);
        ctl.printCircle(cx, cy, fill, style, mode, width, fillStyle, r, none, &outline, &start,
                        &end, &circleText, &aspect);
        float a = 7000, b = 10500;
        int16_t code = i % 2 ? 61 : 45;
        DirectionOfPrintCharsType across = PrintHorizontal;
        AfterPrintType stay = A1_StayWhereYouAre;
        WhereToPrintChars defined = K0_StartAndEndPointAsDefined;
        ctl.let_CurrentY(y);
        ctl.fxPrintingChars(a, b, code, across, stay, defined);
        ctl.let_CurrentX(9500);
        ctl.let_CurrentY(y);
        QString file = picture;
        AlignPicHorizontalType h = A0_AlignPicHorizontalNone;
        AlignPicVerticalType v = A0_AlignPicVerticalNone;
        ctl.printPicture(file, h, v);
    }
    ctl.printLastPage();
}

} // namespace

int main(int argc, char** argv) {
    bench::BenchApplication dir(argc, argv);

    Palvex ctl(Platform::headless());
    const auto t0 = std::chrono::steady_clock::now();
    bench::recordTrialBalance(ctl, 1000, 20); // 60 text items a page
    const double recordMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();

    // The canvas makes its pixels when first looked at; a preview on screen has looked, so every
    // page drawn after this is drawn into pixels as it goes.
    (void)ctl.internals().canvasImage();
    QPushButton* first = toolbarButton(ctl, 2);
    QPushButton* next = toolbarButton(ctl, 4);
    QPushButton* last = toolbarButton(ctl, 5);
    auto* zoom = ctl.findChild<QComboBox*>(QStringLiteral("cboZoom"));

    std::printf("Palvex page drawing (1000 pages of 60 text items and a page number; recorded in "
                "%.0f ms)\n\n",
                recordMs);
    std::printf("  %-40s %10s %10s\n", "action", "median ms", "min ms");
    auto row = [](const char* what, std::pair<double, double> t) {
        std::printf("  %-40s %10.2f %10.2f  %s\n", what, t.first, t.second,
                    t.first <= 5.0 ? "PASS" : "over 5 ms");
    };
    row("draw page 1 at 100 % (First)", timeIt(50, [&] { first->click(); }));
    const auto nextOnly = timeIt(50, [&] { next->click(); });
    row("Next (page n to n+1)", nextOnly);
    const auto lastOnly = timeIt(50, [&] { last->click(); });
    row("Last (to page 1000)", lastOnly);
    zoom->setCurrentIndex(18);
    emit zoom->activated(18);
    row("draw page 1 at 200 % (First)", timeIt(50, [&] { first->click(); }));
    std::printf("\n  Last / Next: %.2f (target: about 1, no scan of the report)\n",
                lastOnly.first / nextOnly.first);

    // A page of 60 graphics items (12 each of boxes, lines, circles, runs and pictures).
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString picture = dir.filePath(QStringLiteral("picture.png"));
    image.save(picture);
    Palvex graphics(Platform::headless());
    recordGraphics(graphics, picture);
    (void)graphics.internals().canvasImage();
    std::printf("\n");
    const auto g = timeIt(
        50, [&] { graphics.findChild<QComboBox*>(QStringLiteral("cboPage"))->activated(0); });
    std::printf("  %-40s %10.2f %10.2f  %s\n", "draw a page of 60 graphics items, 100 %", g.first,
                g.second, g.first <= 10.0 ? "PASS" : "over 10 ms");
    return 0;
}
