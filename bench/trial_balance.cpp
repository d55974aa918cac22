// The yardstick, the report the peers print: a Hebrew trial balance of N pages of 50 rows,
// recorded by a host through the automation interface (by dispatch identifier; the host ends
// each page and PrintHeader repeats the titles), then printed to the PDF device. Recording and
// printing are timed and their peak memory measured apart; each N runs in a process of its own,
// cell by cell in Windows-1255 and UTF-8, and as table rows (one TableRow call a row, the
// control breaking the pages and repeating the column titles).
//   bench-trial-balance [N...]                          (default 10 100 1000 10000)
//   bench-trial-balance --one N [CODEPAGE] [cells|table] [tagged|untagged]
//                                                       one run; untagged: the PDF without its
//                                                       structure, to measure what that costs
//   bench-trial-balance --script N                      the same report as a palvex-run script
//                                                       (see bench/script_vs_dispatch)

#include "BenchControls.h"
#include "PalvexPrivate.h"
#include "core/CodePage.h"
#include "platform/PdfSurface.h"
#include <palvex/Dispatch.h>
#include <palvex/MemberTable.h>
#include <palvex/Palvex.h>

#include <QComboBox>
#include <QLocale>
#include <QPushButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace palvex;

namespace {

constexpr int RowsPerPage = 50;

// Starts a new peak: what printing needs is measured from what recording left.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double secondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A host's view of the control: members by name, looked up once, called by identifier. Without a
// control it writes each call as a script statement instead.
class Host {
public:
    explicit Host(Palvex& control) : m_dispatch(std::in_place, control) {}
    explicit Host(std::FILE* script) : m_script(script) {}

    DispId id(const char* name) {
        const MemberInfo* member = findMember(std::string_view(name));
        if (!member) {
            std::fprintf(stderr, "no member %s\n", name);
            std::exit(1);
        }
        return member->id;
    }
    void call(DispId id, std::vector<Variant> args = {}) {
        if (!m_dispatch) return write(id, args, " ");
        if (const Status s = m_dispatch->invoke(id, InvokeKind::Method, args, nullptr);
            s != Status::Ok) {
            std::fprintf(stderr, "call %d failed with %d\n", int(id), int(s));
            std::exit(1);
        }
    }
    void set(DispId id, Variant value) {
        std::vector<Variant> args{std::move(value)};
        if (!m_dispatch) return write(id, args, " = ");
        if (m_dispatch->invoke(id, InvokeKind::PropertyPut, args, nullptr) != Status::Ok) {
            std::fprintf(stderr, "property %d refused\n", int(id));
            std::exit(1);
        }
    }

private:
    void write(DispId id, const std::vector<Variant>& args, const char* separator) {
        QString line = QString::fromLatin1(findMember(id)->name.data(),
                                           qsizetype(findMember(id)->name.size()));
        for (size_t i = 0; i < args.size(); ++i)
            line += QLatin1String(i == 0 ? separator : ", ") + args[i].toDisplayText();
        std::fprintf(m_script, "%s\n", line.toUtf8().constData());
    }

    std::optional<Dispatch> m_dispatch;
    std::FILE* m_script = nullptr;
};

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Twenty words an account's name is made of, three at a time.
// The peers' trial balance: A4 portrait, margins 12 mm left and right and 10 mm above and below
// the paper's edges; on every page the company, the title and the column titles from right to
// left, 50 rows, and the page number; the last page adds the totals. N pages of rows are N pages.
// The control counts the margins (but the bottom one) and every x from the printable area, which
// on the PDF device starts 360 twips in from the paper's edges.
constexpr float PrintableEdge = 360;
constexpr float MarginSide = 680 - PrintableEdge, MarginTop = 567 - PrintableEdge,
                MarginBottom = 567; // twips: 12 mm and 10 mm from the paper
// Where each column's text ends, in twips from the printable area's right edge: account, name,
// code, debit, credit (numbers end on their column's edge, so their decimal points line up).
constexpr float ColumnX[] = {MarginSide, MarginSide + 1400, MarginSide + 5800, MarginSide + 7000,
                             MarginSide + 8800};

// Twenty account names and five branches: a hundred names over the report.
const QString* accountNames() {
    static const QString names[] = {
        q("קופה ראשית"), q("בנק לאומי"),    q("בנק הפועלים"), q("לקוחות"),    q("ספקים"),
        q("מלאי"),       q("רכוש קבוע"),    q("פחת נצבר"),    q("הון מניות"),  q("עודפים"),
        q("מכירות"),     q("קניות"),        q("שכר עבודה"),   q("שכר דירה"),   q("חשמל ומים"),
        q("תקשורת"),     q("פרסום"),        q("ביטוח"),       q("הוצאות רכב"), q("מע״מ עסקאות")};
    return names;
}
const QString* branches() {
    static const QString names[] = {q("תל אביב"), q("ירושלים"), q("חיפה"), q("באר שבע"),
                                    q("אילת")};
    return names;
}

// An amount of agorot as the peers print it: #,##0.00.
QString money(int64_t agorot) {
    return QStringLiteral("%1.%2")
        .arg(QLocale(QLocale::English).toString(qlonglong(agorot / 100)))
        .arg(int(agorot % 100), 2, 10, QLatin1Char('0'));
}

// Row i of the report, the same in every recording.
struct Account {
    QString number, name, code;
    int64_t agorot;
    bool debit;
};

Account account(long i) {
    return {QString::number(100000 + i),
            accountNames()[i % 20] + QStringLiteral(" - ") + branches()[(i / 20) % 5],
            QString::number(i % 9000), int64_t((int64_t(i) * 7919) % 1000000), i % 2 == 0};
}

// The company, the title and (for the host's own columns) the column titles as page headers.
void pageHeaders(Host& host, bool columnTitles) {
    const DispId nameHeader = host.id("fxNameHeader"), sizeHeader = host.id("fxFontsizeHeader"),
                 boldHeader = host.id("fxFontBoldHeader"),
                 underlineHeader = host.id("fxFontUnderlineHeader"),
                 alignHeader = host.id("fxAlignHeader"), curXHeader = host.id("fxCurXHeader"),
                 enterHeader = host.id("fxEnterAfterHeader");
    host.set(host.id("Header"), true);
    struct Title {
        QString text;
        float x;       // -1: centred
        int16_t after; // line ends after it
    };
    const Title titles[] = {{q("א.ב. מסחר והפצה בע״מ - AB Trading Ltd"), -1, 1},
                            {q("מאזן בוחן - Trial balance"), -1, 2},
                            {q("מס׳ חשבון"), ColumnX[0], 0},
                            {q("שם חשבון"), ColumnX[1], 0},
                            {q("קוד"), ColumnX[2], 0},
                            {q("חובה"), ColumnX[3], 0},
                            {q("זכות"), ColumnX[4], 1}};
    const int16_t count = columnTitles ? 7 : 2;
    for (int16_t i = 0; i < count; ++i) {
        const Title& t = titles[i];
        const auto n = int16_t(i + 1);
        host.call(nameHeader, {Variant(n), Variant(t.text)});
        host.call(sizeHeader, {Variant(n), Variant(i == 0 ? 14.0f : i == 1 ? 12.0f : 10.0f)});
        host.call(boldHeader, {Variant(n), Variant(i != 1)});
        host.call(underlineHeader, {Variant(n), Variant(i == 1)});
        if (t.x < 0)
            host.call(alignHeader, {Variant(n), Variant(int32_t(AlignCenter))});
        else
            host.call(curXHeader, {Variant(n), Variant(t.x)});
        host.call(enterHeader, {Variant(n), Variant(t.after)});
    }
    host.call(host.id("PrintHeader"));
}

void startReport(Host& host, int32_t codePage) {
    host.set(host.id("CodePage"), Variant(codePage));
    host.call(host.id("StartPalvexPrintPreview"));
    host.call(host.id("SetMargins"), {Variant(MarginSide), Variant(MarginTop), Variant(MarginSide),
                                      Variant(MarginBottom)});
}

void record(Host& host, int pages, int32_t codePage) {
    const DispId fontName = host.id("FontName"), fontSize = host.id("FontSize"),
                 fontBold = host.id("FontBold"), currentX = host.id("CurrentX"),
                 printText = host.id("printText"), printPage = host.id("printPage"),
                 printHeader = host.id("PrintHeader"), printLastPage = host.id("printLastPage");
    startReport(host, codePage);
    pageHeaders(host, true);
    host.set(fontName, q("Liberation Sans"));
    host.set(fontSize, 10.0f);
    host.set(fontBold, false);

    const Variant stay{int32_t(A1_StayWhereYouAre)}, next{int32_t(A2_JumpToNextLine)};
    int64_t debit = 0, credit = 0;
    const long rows = long(pages) * RowsPerPage;
    for (long i = 0; i < rows; ++i) {
        // A page of rows is a page: the host ends it, and the titles come again.
        if (i > 0 && i % RowsPerPage == 0) {
            host.call(printPage);
            host.call(printHeader);
        }
        const Account a = account(i);
        (a.debit ? debit : credit) += a.agorot;
        host.set(currentX, ColumnX[0]);
        host.call(printText, {Variant(a.number), stay});
        host.set(currentX, ColumnX[1]);
        host.call(printText, {Variant(a.name), stay});
        host.set(currentX, ColumnX[2]);
        host.call(printText, {Variant(a.code), stay});
        host.set(currentX, a.debit ? ColumnX[3] : ColumnX[4]);
        host.call(printText, {Variant(money(a.agorot)), next});
    }
    host.set(fontBold, true);
    host.set(currentX, ColumnX[1]);
    host.call(printText, {Variant(q("סה״כ - Total")), stay});
    host.set(currentX, ColumnX[3]);
    host.call(printText, {Variant(money(debit)), stay});
    host.set(currentX, ColumnX[4]);
    host.call(printText, {Variant(money(credit)), next});
    host.call(printLastPage);
}

// The same accounts as a table: the company and the title are the page headers, the column
// titles the table's header row, and the control breaks the pages between rows (each a
// TableRow call, its cells separated by tabs).
void recordTable(Host& host, int pages, int32_t codePage) {
    const DispId addColumn = host.id("TableAddColumn"), tableRow = host.id("TableRow"),
                 fontBold = host.id("FontBold");
    startReport(host, codePage);
    pageHeaders(host, false);
    host.set(host.id("FontName"), q("Liberation Sans"));
    host.set(host.id("FontSize"), 10.0f);
    host.set(fontBold, false);
    // The host's columns as a table's, every text right-aligned in its column.
    struct Column {
        float width;
        const char* title;
    };
    const Column columns[] = {{ColumnX[1] - ColumnX[0], "מס׳ חשבון"},
                              {ColumnX[2] - ColumnX[1], "שם חשבון"},
                              {ColumnX[3] - ColumnX[2], "קוד"},
                              {ColumnX[4] - ColumnX[3], "חובה"},
                              {1740, "זכות"}};
    for (const Column& c : columns)
        host.call(addColumn, {Variant(c.width), Variant(int16_t(1)), Variant(q(c.title))});
    host.set(host.id("CurrentX"), ColumnX[0]);
    host.call(host.id("TableBegin"));
    const QChar tab = QLatin1Char('\t');
    int64_t debit = 0, credit = 0;
    const long rows = long(pages) * RowsPerPage;
    for (long i = 0; i < rows; ++i) {
        const Account a = account(i);
        (a.debit ? debit : credit) += a.agorot;
        const QString amount = money(a.agorot);
        host.call(tableRow, {Variant(a.number + tab + a.name + tab + a.code + tab +
                                     (a.debit ? amount + tab : tab + amount))});
    }
    host.set(fontBold, true);
    host.call(tableRow, {Variant(tab + q("סה״כ - Total") + tab + tab + money(debit) + tab +
                                 money(credit))});
    host.call(host.id("TableEnd"));
    host.call(host.id("printLastPage"));
}

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, p))
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

// One N in this process, in one code page: prints one result line.
enum class Recording { Cells, Table };

int measure(int pages, int32_t codePage, Recording how, int argc, char** argv) {
    bench::BenchApplication app(argc, argv);
    // PALVEX_BENCH_PDF keeps the printed report where a person can look at it.
    const QString pdf = qEnvironmentVariableIsSet("PALVEX_BENCH_PDF")
                            ? qEnvironmentVariable("PALVEX_BENCH_PDF")
                            : app.filePath(QStringLiteral("trial-balance.pdf"));
    Platform platform = Platform::headless();
    platform.printers->setPdfOutputPath(pdf);
    Palvex control(platform);

    auto t0 = std::chrono::steady_clock::now();
    Host host(control);
    if (how == Recording::Table)
        recordTable(host, pages, codePage);
    else
        record(host, pages, codePage);
    const double recordSeconds = secondsSince(t0);
    const long recordPeak = bench::peakKilobytes();

    resetPeak();
    bench::toolbarButton(control, 1)->click(); // Print
    t0 = std::chrono::steady_clock::now();
    control.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    const double printSeconds = secondsSince(t0);
    const long printPeak = bench::peakKilobytes();

    // Paired timings check the document once, before they time it, and leave the readers out
    // of the timed runs (the peers they are paired with do not read theirs either).
    if (qEnvironmentVariableIsSet("PALVEX_BENCH_UNREAD")) return 0;
    // The PDF as a reader sees it: every page, the title, the last page number.
    const std::string file = pdf.toStdString();
    const std::string info = run("pdfinfo '" + file + "' 2>/dev/null | grep '^Pages:'");
    const int pdfPages = info.size() > 6 ? std::atoi(info.c_str() + 6) : 0;
    const std::string first = run("pdftotext -f 1 -l 1 '" + file + "' - 2>/dev/null");
    const std::string last = run("pdftotext -f " + std::to_string(pdfPages) + " -l " +
                                 std::to_string(pdfPages) + " '" + file + "' - 2>/dev/null");
    const bool titled = first.find("Trial balance") != std::string::npos &&
                        first.find("מאזן בוחן") != std::string::npos;
    const bool numbered = last.find("-" + std::to_string(pdfPages) + "-") != std::string::npos;
    const int32_t items = control.internals().reportStore().recordsInFile();
    std::printf("  %6d %5s %5d %9d | %8.2f %9.0f %9ld | %8.2f %9.0f %9ld | %8.2f | %6d %s%s\n",
                pages, how == Recording::Table ? "table" : "cells", codePage, items, recordSeconds, pdfPages / recordSeconds, recordPeak / 1024,
                printSeconds, pdfPages / printSeconds, printPeak / 1024,
                recordSeconds + printSeconds, pdfPages, titled ? "title " : "NO-TITLE ",
                numbered ? "last-number" : "NO-LAST-NUMBER");
    // For the parent: the peaks in KiB, to tell growth per item.
    std::printf("= %d %ld %ld\n", items, recordPeak, printPeak);
    std::fflush(stdout);
    // The table breaks its pages by height; the host's own rows are 50 a page.
    const int expected = how == Recording::Table ? 1 : pages;
    return (how == Recording::Table ? pdfPages >= expected : pdfPages == pages) && titled &&
                   numbered
               ? 0
               : 1;
}

// The report of `measure` as a palvex-run script, printed through the toolbar as it prints.
int writeScript(int pages) {
    std::printf("# bench-trial-balance --script %d\n", pages);
    Host host(stdout);
    record(host, pages, CodePage::Default);
    std::printf("!click cmd 1\n!click cmdOK\n");
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // A last word tagged or untagged says whether the PDF keeps its structure.
    if (argc >= 4 && std::string(argv[1]) == "--one" &&
        (std::string(argv[argc - 1]) == "tagged" || std::string(argv[argc - 1]) == "untagged")) {
        PdfSurface::setTaggedForMeasuring(std::string(argv[argc - 1]) == "tagged");
        argv[--argc] = nullptr;
    }
    if (argc >= 3 && argc <= 5 && std::string(argv[1]) == "--one")
        return measure(std::atoi(argv[2]), argc >= 4 ? std::atoi(argv[3]) : CodePage::Default,
                       argc == 5 && std::string(argv[4]) == "table" ? Recording::Table
                                                                     : Recording::Cells,
                       argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--script") return writeScript(std::atoi(argv[2]));
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10, 100, 1000, 10000};
    std::printf("Trial balance: record through the automation interface, print to the PDF device\n"
                "(50 × N rows; pages/s counts the pages printed; memory is the peak resident size, "
                "MiB)\n\n");
    std::printf("  %6s %5s %5s %9s | %8s %9s %9s | %8s %9s %9s | %8s | %s\n", "N", "rows",
                "page", "items",
                "record s", "pages/s", "peak", "print s", "pages/s", "peak", "total s", "PDF");
    std::fflush(stdout);
    struct Peaks {
        long items = 0, recordKiB = 0, printKiB = 0;
    };
    std::vector<Peaks> peaks;
    int failed = 0;
    // Each N cell by cell in Windows-1255 and, beside it, in UTF-8 and as table rows.
    struct Run {
        int32_t page;
        const char* how;
    };
    const Run runs[] = {{CodePage::Default, "cells"}, {CodePage::Utf8, "cells"},
                        {CodePage::Default, "table"}};
    for (int pages : sizes)
        for (const auto& [page, how] : runs) {
            FILE* child = popen((std::string(argv[0]) + " --one " + std::to_string(pages) + " " +
                                 std::to_string(page) + " " + how)
                                    .c_str(),
                                "r");
            if (!child) return 1;
            char line[512];
            while (std::fgets(line, sizeof line, child)) {
                Peaks p;
                if (std::sscanf(line, "= %ld %ld %ld", &p.items, &p.recordKiB, &p.printKiB) == 3) {
                    if (page == CodePage::Default && std::string(how) == "cells")
                        peaks.push_back(p);
                } else {
                    std::fputs(line, stdout);
                }
            }
            std::fflush(stdout);
            failed |= pclose(child);
        }
    // Memory must not grow with the report: the two largest runs tell how much it does.
    if (peaks.size() >= 2) {
        const Peaks& a = peaks[peaks.size() - 2];
        const Peaks& b = peaks.back();
        const double items = double(b.items - a.items);
        std::printf(
            "\nPeak growth from %ld to %ld items: record %+.2f, print %+.2f bytes per item\n",
            a.items, b.items, (b.recordKiB - a.recordKiB) * 1024.0 / items,
            (b.printKiB - a.printKiB) * 1024.0 / items);
    }
    return failed ? 1 : 0;
}
