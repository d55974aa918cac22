// Page drawing speed: a page of 60 text items at 100 % and 200 %, and Next and Last on a
// 1000-page report (Last must cost what Next costs: no scan of the report).

#include "Palvex.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

using namespace palvex;

namespace {

QPushButton* toolbarButton(Palvex& ctl, int index) {
    for (QPushButton* b : ctl.findChildren<QPushButton*>(QStringLiteral("cmd")))
        if (b->property("index").toInt() == index) return b;
    return nullptr;
}

// Median and minimum milliseconds of `runs` calls.
std::pair<double, double> timeIt(int runs, const std::function<void()>& body) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        body();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

void record(Palvex& ctl, int pages) {
    const QString names[] = {QString::fromUtf8("מזומנים בקופה הראשית"), QString::fromUtf8("בנק הפועלים סניף 600"),
                             QString::fromUtf8("לקוחות שונים - Customers"), QString::fromUtf8("ספקים וזכאים")};
    ctl.StartPalvexPrintPreview();
    ctl.let_FontSize(10);
    for (int p = 0; p < pages; ++p) {
        for (int line = 0; line < 20; ++line) {
            QString number = QString::number(100000 + p * 20 + line);
            QString name = names[line % 4];
            QString amount = QStringLiteral("%L1").arg(1234.5 * (line + 1), 0, 'f', 2);
            AfterPrintType stay = A1_StayWhereYouAre, next = A2_JumpToNextLine;
            ctl.let_CurrentX(1000);
            ctl.printText(number, stay);
            ctl.let_CurrentX(2800);
            ctl.printText(name, stay);
            ctl.let_CurrentX(7600);
            ctl.printText(amount, next);
        }
        if (p + 1 < pages) ctl.printPage();
    }
    ctl.printLastPage();
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::filesystem::current_path(dir.path().toStdString());

    Palvex ctl(Platform::headless());
    const auto t0 = std::chrono::steady_clock::now();
    record(ctl, 1000);
    const double recordMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();

    QPushButton* first = toolbarButton(ctl, 2);
    QPushButton* next = toolbarButton(ctl, 4);
    QPushButton* last = toolbarButton(ctl, 5);
    auto* zoom = ctl.findChild<QComboBox*>(QStringLiteral("cboZoom"));

    std::printf("Palvex page drawing (1000 pages of 60 text items and a page number; recorded in %.0f ms)\n\n",
                recordMs);
    std::printf("  %-40s %10s %10s\n", "action", "median ms", "min ms");
    auto row = [](const char* what, std::pair<double, double> t) {
        std::printf("  %-40s %10.2f %10.2f  %s\n", what, t.first, t.second, t.first <= 5.0 ? "PASS" : "over 5 ms");
    };
    row("draw page 1 at 100 % (First)", timeIt(50, [&] { first->click(); }));
    const auto nextOnly = timeIt(50, [&] { next->click(); });
    row("Next (page n to n+1)", nextOnly);
    const auto lastOnly = timeIt(50, [&] { last->click(); });
    row("Last (to page 1000)", lastOnly);
    zoom->setCurrentIndex(18);
    emit zoom->activated(18);
    row("draw page 1 at 200 % (First)", timeIt(50, [&] { first->click(); }));
    std::printf("\n  Last / Next: %.2f (target: about 1, no scan of the report)\n", lastOnly.first / nextOnly.first);
    return 0;
}
