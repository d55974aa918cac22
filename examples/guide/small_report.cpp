// The small report of docs/guide.md through the C++ API: small_report OUT.pdf
// The report store and definitions file go to the current folder.
#include <palvex/Application.h>
#include <palvex/Out.h>
#include <palvex/Palvex.h>

#include <cstdio>

namespace {

struct Failed {
    palvex::Status status;
    const char* call;
};

// Every member returns a Status; the first one that is not Ok ends the report.
void check(palvex::Status status, const char* call) {
    if (status != palvex::Status::Ok) throw Failed{status, call};
}

// Records the report, exports it and gives its number of pages.
int32_t record(palvex::Palvex& r, const QString& pdf) {
    using namespace palvex;
    // A warning goes to LastMessage instead of a box that waits for a person.
    check(r.let_MessagesToHost(true), "MessagesToHost");
    check(r.StartPalvexPrintPreview(), "StartPalvexPrintPreview");
    check(r.let_FontName(QStringLiteral("David CLM")), "FontName");
    check(r.let_FontSize(16), "FontSize");
    check(r.let_FontBold(true), "FontBold");
    check(r.centerIT(QStringLiteral("דוח קטן"), A2_JumpToNextLine), "centerIT");
    check(r.let_FontSize(12), "FontSize");
    check(r.let_FontBold(false), "FontBold");
    check(r.RightIT(QStringLiteral("שלום, זו השורה הראשונה של הדוח."), A2_JumpToNextLine),
          "RightIT");
    check(r.RightIT(QStringLiteral("בשורה הזאת מילה אחת באנגלית: Palvex"), A2_JumpToNextLine),
          "RightIT");
    check(r.printLine(0, 2000, 6000, 2000, 0, 13, 0, 1, A2_AlignCenter), "printLine");
    check(r.let_CurrentY(2100), "CurrentY");
    check(r.RightIT(QStringLiteral("הכנסות: 1,234.50"), A1_StayWhereYouAre), "RightIT");
    check(r.LeftIT(QStringLiteral("הוצאות: 987.65"), A2_JumpToNextLine), "LeftIT");
    check(r.printLastPage(), "printLastPage");
    check(r.ExportPdf(pdf), "ExportPdf");
    // A property's value, like a function's result, is written through palvex::out.
    int32_t pages = 0;
    check(r.get_PageCount(palvex::out(pages)), "PageCount");
    return pages;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.pdf\n", argv[0]);
        return 2;
    }
    // A QApplication that starts offscreen where no display can be opened, as on a server.
    palvex::Application app(argc, argv);
    palvex::Palvex report;
    try {
        const int32_t pages = record(report, QString::fromLocal8Bit(argv[1]));
        std::printf("%s: %d page(s)\n", argv[1], int(pages));
    } catch (const Failed& failed) {
        // The control's own words for why, naming the member ("ExportPdf: ...").
        std::fprintf(stderr, "%s: %d %s\n", failed.call, int(failed.status),
                     qPrintable(report.lastErrorDetail()));
        return 1;
    }
    return 0;
}
