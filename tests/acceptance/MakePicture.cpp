// Makes a picture an acceptance script names in a "# picture:" line, in the folder it runs in:
//   palvex-test-picture scan NAME DPI            an A4 page scanned at DPI
//   palvex-test-picture huge NAME WIDTH HEIGHT   a PNG whose header claims WIDTH x HEIGHT pixels

#include "TestPictures.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts for the scan's text
    const QStringList args = app.arguments();
    bool made = false;
    if (args.size() == 4 && args[1] == QStringLiteral("scan"))
        made = palvex::test::writeScannedPage(args[2], args[3].toInt()).width > 0;
    else if (args.size() == 5 && args[1] == QStringLiteral("huge"))
        made = palvex::test::writeHugeHeaderPng(args[2], args[3].toUInt(), args[4].toUInt());
    if (!made) std::fprintf(stderr, "palvex-test-picture: could not make the picture\n");
    return made ? 0 : 1;
}
