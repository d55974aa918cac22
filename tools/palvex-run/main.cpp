// palvex-run: runs a script of automation calls and window actions against one control.

#include "ScriptHost.h"
#include "ScriptParser.h"
#include "ScriptReader.h"
#include "platform/DisplayPlatform.h"
#include <palvex/MemberTable.h>
#include <palvex/Palvex.h>

#include <QApplication>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

using namespace palvex;

namespace {

constexpr const char* Usage =
    "usage: palvex-run [--screen WxH] [--printer NAME] [--no-printers] [--pdf FILE]\n"
    "                  [--answer N,N,...] [--show] [--design-mode] [--properties FILE]\n"
    "                  [--layout] SCRIPT|-\n"
    "       palvex-run --list-members\n"
    "       palvex-run --help | --version\n";

constexpr const char* Version =
    "palvex-run (Palvex) " PALVEX_VERSION "\n"
    "Copyright (c) 2026 the Palvex developers.\n"
    "MIT licence: free to use, change and pass on; there is no warranty.\n";

// A command line the program cannot run: the usage on standard error and status 2, so a caller's
// mistake is never taken for a script that ran.
int misuse() {
    std::fputs(Usage, stderr);
    return 2;
}

// What was asked for, on standard output. An answer that could not be written (a full disk, a
// closed pipe) is a failure, not a success.
int answer(const char* text) {
    if (std::fputs(text, stdout) == EOF || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "palvex-run: cannot write to standard output: %s\n",
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

// What the command line asks for: a script to run with these options, or an exit status now.
struct CommandLine {
    script::Options options;
    QString scriptPath;
    std::optional<int> exitNow;
};

CommandLine readCommandLine(const QStringList& args, QTextStream& out) {
    CommandLine c;
    for (qsizetype i = 1; i < args.size() && !c.exitNow; ++i) {
        const QString& a = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        auto set = [&](auto& target) {
            if (const std::optional<QString> v = value())
                target = *v;
            else
                c.exitNow = misuse();
        };
        if (a == QLatin1String("--list-members")) {
            out << QString::fromStdString(memberListing());
            c.exitNow = 0;
        } else if (a == QLatin1String("--screen")) {
            const QStringList wh = value().value_or(QString()).split(QLatin1Char('x'));
            if (wh.size() != 2 || wh[0].toDouble() <= 0 || wh[1].toDouble() <= 0)
                c.exitNow = misuse();
            else
                c.options.screen = QSizeF(wh[0].toDouble(), wh[1].toDouble());
        } else if (a == QLatin1String("--printer")) {
            set(c.options.printer);
        } else if (a == QLatin1String("--no-printers")) {
            c.options.noPrinters = true;
        } else if (a == QLatin1String("--pdf")) {
            set(c.options.pdf);
        } else if (a == QLatin1String("--answer")) {
            QString answers;
            set(answers);
            for (const QString& n : answers.split(QLatin1Char(','), Qt::SkipEmptyParts))
                c.options.answers.push_back(n.trimmed().toInt());
        } else if (a == QLatin1String("--show")) {
            c.options.show = true;
        } else if (a == QLatin1String("--design-mode")) {
            c.options.designMode = true;
        } else if (a == QLatin1String("--layout")) {
            c.options.layout = true;
        } else if (a == QLatin1String("--properties")) {
            set(c.options.propertiesFile);
        } else if ((a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) ||
                   !c.scriptPath.isEmpty()) {
            // An option this program does not have ("-" alone is standard input), or a second
            // script; a script whose name begins with "-" is given as ./-name.
            c.exitNow = misuse();
        } else {
            c.scriptPath = a;
        }
    }
    if (!c.exitNow && c.scriptPath.isEmpty()) c.exitNow = misuse();
    return c;
}

// Each statement runs as soon as its line is read, so a script of any length runs in the memory
// of one statement and a statement typed into a pipe runs at once. A syntax error stops the
// script there, after the statements before it have run.
int runScript(const CommandLine& c, QTextStream& out) {
    script::ScriptReader reader(c.scriptPath);
    if (!reader.isOpen()) {
        std::fprintf(stderr, "palvex-run: cannot read %s\n", qPrintable(c.scriptPath));
        return 1;
    }
    script::ScriptHost host(c.options, out);
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
        std::fprintf(stderr, "palvex-run: cannot read %s after line %d\n", qPrintable(c.scriptPath),
                     line);
        return 1;
    }
    host.waitForWindow();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Asked for, the usage and the version are the program's output, not a mistake. They need no
    // window system, so they are answered before the application starts (which, with --show,
    // needs a display).
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == "--help" || a == "-h") return answer(Usage);
        if (a == "--version") return answer(Version);
        if (a == "--show") show = true;
    }
    // Headless unless the window is wanted on screen; then on the display, or offscreen where
    // none can be opened.
    if (!show && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Palvex::reportFileSizeLimitAsDiskFull();
    DisplayPlatform::Arguments arguments(argc, argv);
    QApplication app(arguments.argc(), arguments.argv());
    if (show) DisplayPlatform::noteFallback();

    QTextStream out(stdout);
    const CommandLine commandLine = readCommandLine(app.arguments(), out);
    if (commandLine.exitNow) return *commandLine.exitNow;
    return runScript(commandLine, out);
}
