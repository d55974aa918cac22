#pragma once

#include "Export.h"

#include <QApplication>

namespace palvex {

// The Qt application of a C++ host, made as Palvex makes its own for C, Python and its
// programs:
//
//     int main(int argc, char** argv) {
//         palvex::Application app(argc, argv);
//         ...
//     }
//
// Qt ends the process when no display can be opened, which is how report jobs start on servers
// (cron, a web back end, CI). This application then starts on the offscreen platform instead,
// where reports record, export (ExportPdf), print (PrintReport) and save (SavePrint), and only a
// preview cannot be shown; withoutDisplay() tells, and standard error says so once unless
// Notice::Quiet is given or PALVEX_QUIET=1 is in the environment (Qt's warnings that the
// offscreen platform lacks a window system's features, as a host's window meets them, are
// dropped there). The platform asked for
// (-platform, QT_QPA_PLATFORM, else the display the environment names) is tried first. Where
// XDG_RUNTIME_DIR is not set, Qt is given a folder of the user's own instead of warning.
//
// The arguments are copied: argv need not outlive the application, and Qt's own options are
// taken out of arguments(), not out of argv.
class PALVEX_EXPORT Application : public QApplication {
public:
    // Whether the start without a display is said on standard error.
    enum class Notice { OnStandardError, Quiet };

    Application(int argc, char** argv, Notice notice = Notice::OnStandardError);

    // No display could be opened: the application runs offscreen.
    bool withoutDisplay() const;

private:
    struct Arguments {
        int& argc;
        char** argv;
    };
    static Arguments prepared(int argc, char** argv);
    Application(Arguments arguments, Notice notice);
};

} // namespace palvex
