// PalvexDemo: shows how a host drives the Palvex control through its automation interface.
//
//   PalvexDemo                                   the main form, on the screen
//   PalvexDemo --example NAME|all [--png DIR] [--pdf FILE] [--as-is]
//                                                record examples without a display
//   PalvexDemo --screenshots DIR                 on a display: the main form, the Hebrew trial
//                                                balance's preview, the main form again

#include "DemoHost.h"
#include "HeadlessRun.h"
#include "MainForm.h"

#include "platform/DisplayPlatform.h"
#include "platform/Platform.h"
#include <palvex/Palvex.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTextStream>

#include <cstdio>
#include <string_view>

using namespace palvex;
using namespace palvex::demo;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: PalvexDemo\n"
                 "       PalvexDemo --example NAME|all [--png DIR] [--pdf FILE] [--as-is]\n"
                 "       PalvexDemo --screenshots DIR\n"
                 "examples: %s\n",
                 qPrintable(exampleNames().join(QStringLiteral(", "))));
    return 2;
}

void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool screenshot(const QString& file) {
    wait(700);
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->grabWindow(0).save(file, "PNG");
}

// The main form, the preview of the Hebrew trial balance with the default choices, and the main
// form once the preview has closed.
int takeScreenshots(DemoHost& host, MainForm& form, const QString& directory, QTextStream& out) {
    QDir().mkpath(directory);
    const QDir dir(directory);
    bool ok = screenshot(dir.filePath(QStringLiteral("main-form.png")));
    form.findChild<QAbstractButton*>(QStringLiteral("cmdShowTrialBalanceHEB"))->click();
    ok = screenshot(dir.filePath(QStringLiteral("preview-trial-balance-hebrew.png"))) && ok;
    if (PreviewForm* preview = host.previewForm())
        for (auto* b : preview->findChildren<QAbstractButton*>(QStringLiteral("cmd")))
            if (b->property("index").toInt() == 0) b->click();
    ok = screenshot(dir.filePath(QStringLiteral("main-form-again.png"))) && ok;
    out << "screenshots in " << dir.absolutePath() << Qt::endl;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    bool headless = false;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--example") headless = true;
    if (headless) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // Pages are saved at twice the screen's resolution, sharp enough to read.
        if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) qputenv("QT_SCALE_FACTOR", "2");
    }
    Palvex::reportFileSizeLimitAsDiskFull();
    DisplayPlatform::Arguments arguments(argc, argv);
    QApplication app(arguments.argc(), arguments.argv());
    QTextStream out(stdout);

    HeadlessOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    QString screenshots;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--example") && hasValue)
            options.examples << args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (a == QLatin1String("--png") && hasValue)
            options.pngDirectory = args[++i];
        else if (a == QLatin1String("--pdf") && hasValue)
            options.pdfFile = args[++i];
        else if (a == QLatin1String("--as-is"))
            options.asIs = true;
        else if (a == QLatin1String("--screenshots") && hasValue)
            screenshots = args[++i];
        else
            return usage();
    }
    if (headless) {
        if (!options.pdfFile.isEmpty() &&
            (options.examples.size() != 1 || options.examples[0] == QLatin1String("all"))) {
            std::fprintf(stderr, "PalvexDemo: --pdf takes one example\n");
            return 2;
        }
        return runHeadless(options, out);
    }
    if (!options.pngDirectory.isEmpty() || !options.pdfFile.isEmpty() || options.asIs)
        return usage();

    if (DisplayPlatform::noteFallback()) {
        std::fprintf(stderr, "PalvexDemo: the main form needs a display; without one, "
                             "--example NAME|all --png DIR records the examples as pages\n");
        return 1;
    }
    QTextStream err(stderr);
    DemoHost host(Platform::desktop(), options.programFolder,
                  [&err](const QString& line) { err << "PalvexDemo: " << line << Qt::endl; });
    MainForm form(host);
    form.resize(form.sizeHint().expandedTo(QSize(820, 460)));
    form.show();
    form.centreOnScreen();
    if (!screenshots.isEmpty()) return takeScreenshots(host, form, screenshots, out);
    return app.exec();
}
