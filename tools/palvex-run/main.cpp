// palvex-run: runs a script of automation calls and window actions against one control.

#include "ScriptHost.h"
#include "ScriptParser.h"
#include "ScriptReader.h"
#include "platform/DisplayPlatform.h"
#include "platform/Platform.h"
#include <palvex/MemberTable.h>

#include <QApplication>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

using namespace palvex;

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: palvex-run [--screen WxH] [--printer NAME] [--no-printers] [--pdf FILE]\n"
        "                  [--answer N,N,...] [--show] [--design-mode] [--properties FILE]\n"
        "                  [--layout] SCRIPT|-\n"
        "       palvex-run --list-members\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool show = false;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--show") show = true;
    // Headless unless the window is wanted on screen; then on the display, or offscreen where
    // none can be opened.
    if (!show && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Platform::reportFileSizeLimitAsDiskFull();
    DisplayPlatform::Arguments arguments(argc, argv);
    QApplication app(arguments.argc(), arguments.argv());
    if (show) DisplayPlatform::noteFallback();

    QTextStream out(stdout);
    script::Options options;
    QString scriptPath;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size()) {
                usage();
                std::exit(2);
            }
            return args[++i];
        };
        if (a == QLatin1String("--list-members")) {
            out << QString::fromStdString(memberListing());
            return 0;
        } else if (a == QLatin1String("--screen")) {
            const QStringList wh = value().split(QLatin1Char('x'));
            if (wh.size() != 2 || wh[0].toDouble() <= 0 || wh[1].toDouble() <= 0) return usage();
            options.screen = QSizeF(wh[0].toDouble(), wh[1].toDouble());
        } else if (a == QLatin1String("--printer")) {
            options.printer = value();
        } else if (a == QLatin1String("--no-printers")) {
            options.noPrinters = true;
        } else if (a == QLatin1String("--pdf")) {
            options.pdf = value();
        } else if (a == QLatin1String("--answer")) {
            for (const QString& n : value().split(QLatin1Char(','), Qt::SkipEmptyParts))
                options.answers.push_back(n.trimmed().toInt());
        } else if (a == QLatin1String("--show")) {
            options.show = true;
        } else if (a == QLatin1String("--design-mode")) {
            options.designMode = true;
        } else if (a == QLatin1String("--layout")) {
            options.layout = true;
        } else if (a == QLatin1String("--properties")) {
            options.propertiesFile = value();
        } else if (a.startsWith(QLatin1String("--")) || !scriptPath.isEmpty()) {
            return usage();
        } else {
            scriptPath = a;
        }
    }
    if (scriptPath.isEmpty()) return usage();

    script::ScriptReader reader(scriptPath);
    if (!reader.isOpen()) {
        std::fprintf(stderr, "palvex-run: cannot read %s\n", qPrintable(scriptPath));
        return 1;
    }

    // Each statement runs as soon as its line is read, so a script of any length runs in the
    // memory of one statement and a statement typed into a pipe runs at once. A syntax error
    // stops the script there, after the statements before it have run.
    script::ScriptHost host(options, out);
    int line = 0;
    while (const std::optional<QString> text = reader.nextLine()) {
        std::optional<script::ParseError> stop;
        try {
            stop = host.run(script::parseLine(*text, ++line));
        } catch (const script::ParseError& error) {
            stop = error;
        }
        if (stop) {
            out.flush();
            std::fprintf(stderr, "palvex-run: line %d: %s\n", stop->line,
                         qPrintable(stop->message));
            return 2;
        }
    }
    if (reader.failed()) {
        out.flush();
        std::fprintf(stderr, "palvex-run: cannot read %s after line %d\n", qPrintable(scriptPath),
                     line);
        return 1;
    }
    host.waitForWindow();
    return 0;
}
