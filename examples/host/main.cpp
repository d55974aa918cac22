// A host program: a main window with the preview control embedded in a tab.
//
//   palvex-host-example                      the window, for a person
//   palvex-host-example --export FILE.pdf    record the invoice, export it, print the page
//                                            count and leave (for scripts and CI)
//   palvex-host-example --screenshot FILE.png   the window with the invoice shown, as a PNG
//
// Without a display (a server) the application runs offscreen: --export and --screenshot work
// there, the window for a person cannot.

#include "InvoiceWindow.h"

#include <palvex/Application.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    palvex::Application app(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    options.addOption({QStringLiteral("export"), QStringLiteral("Export the invoice to FILE."),
                       QStringLiteral("FILE")});
    options.addOption({QStringLiteral("screenshot"),
                       QStringLiteral("Save the window with the invoice to FILE."),
                       QStringLiteral("FILE")});
    options.process(app);
    const bool unattended =
        options.isSet(QStringLiteral("export")) || options.isSet(QStringLiteral("screenshot"));
    if (!unattended && app.withoutDisplay()) {
        std::fprintf(stderr, "palvex-host-example: the window needs a display; without one, "
                             "--export FILE.pdf records the invoice and exports it\n");
        return 1;
    }

    InvoiceWindow window;
    window.resize(QSize(1000, 700).boundedTo(window.screen()->availableSize()));
    window.show();
    if (!unattended) return app.exec();

    // Unattended: the same calls a person's clicks make, then the outcome on stdout.
    int status = 0;
    QTimer::singleShot(0, &window, [&] {
        if (!window.recordInvoice()) status = 1;
        int32_t pages = 0;
        (void)window.control().get_PageCount(palvex::out(pages));
        const QString pdf = options.value(QStringLiteral("export"));
        if (status == 0 && !pdf.isEmpty() && !window.exportPdf(pdf)) status = 2;
        const QString png = options.value(QStringLiteral("screenshot"));
        if (status == 0 && !png.isEmpty()) {
            QApplication::processEvents();
            if (!window.grab().save(png)) status = 3;
        }
        std::printf("pages: %d\n", pages);
        if (status != 0) std::fprintf(stderr, "failed (%d)\n", status);
        QApplication::exit(status);
    });
    return app.exec();
}
