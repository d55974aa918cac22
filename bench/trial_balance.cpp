// The yardstick: a Hebrew trial balance of 50 × N rows, recorded by a host through the automation
// interface (by dispatch identifier; checkMin2 after each row breaks the page and PrintHeader
// repeats the titles; at 10 pt 43 rows and the titles fit a page under the default margins), then
// printed to the PDF device. Recording and printing are timed and their peak memory measured
// apart; each N runs in a process of its own, cell by cell in Windows-1255 and UTF-8, and as
// table rows (one TableRow call a row, the control breaking the pages and repeating the column
// titles). `bench-trial-balance [N...]` (default 10 100 1000 10000); one run:
// `bench-trial-balance --one N [CODEPAGE] [cells|table]`. `bench-trial-balance --script N` writes the same report, printed the same way, as a
// palvex-run script on standard output instead (see bench/script_vs_dispatch).

#include "BenchControls.h"
#include "PalvexPrivate.h"
#include "core/CodePage.h"
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
const QString* accountWords() {
    static const QString words[] = {
        q("הוצאות"), q("הכנסות"), q("מכירות"), q("רכישות"), q("משכורות"), q("שכר דירה"), q("חשמל"),
        q("מים"),    q("טלפון"),  q("ביטוח"),  q("רכב"),    q("דלק"),     q("ריהוט"),    q("ציוד"),
        q("מחשבים"), q("לקוחות"), q("ספקים"),  q("בנק"),    q("קופה"),    q("מע\"מ")};
    return words;
}

// Row i of the report, the same in both recordings.
struct Account {
    QString number, name, code;
    double amount;
    bool debit;
};

Account account(long i) {
    const QString* words = accountWords();
    return {QString::number(100000 + i),
            words[i % 20] + QLatin1Char(' ') + words[(i * 7 + 3) % 20] + QLatin1Char(' ') +
                words[(i * 13 + 5) % 20],
            QString::number(i % 9000), double((i * 7919) % 1000000) / 100.0 + 10, i % 2 == 0};
}

void record(Host& host, int pages, int32_t codePage) {
    const DispId start = host.id("StartPalvexPrintPreview"), header = host.id("Header"),
                 nameHeader = host.id("fxNameHeader"), sizeHeader = host.id("fxFontsizeHeader"),
                 boldHeader = host.id("fxFontBoldHeader"),
                 underlineHeader = host.id("fxFontUnderlineHeader"),
                 alignHeader = host.id("fxAlignHeader"), curXHeader = host.id("fxCurXHeader"),
                 enterHeader = host.id("fxEnterAfterHeader"), printHeader = host.id("PrintHeader"),
                 fontName = host.id("FontName"), fontSize = host.id("FontSize"),
                 fontBold = host.id("FontBold"), currentX = host.id("CurrentX"),
                 printText = host.id("printText"), checkMin2 = host.id("checkMin2"),
                 printLastPage = host.id("printLastPage");

    host.set(host.id("CodePage"), Variant(codePage));
    host.call(start);
    host.set(header, true);
    // Headers: the company centred and bold, the title centred and underlined, five column
    // titles from right to left.
    struct Title {
        QString text;
        float x;       // 0: centred
        int16_t after; // line ends after it
    };
    const Title titles[] = {{q("חשבונאות הגליל בע\"מ"), 0, 1},
                            {q("Trial balance - מאזן בוחן"), 0, 2},
                            {q("מספר חשבון"), 10000, 0},
                            {q("שם החשבון"), 7200, 0},
                            {q("קוד"), 5600, 0},
                            {q("חובה"), 4000, 0},
                            {q("זכות"), 2000, 1}};
    for (int16_t i = 0; i < 7; ++i) {
        const Title& t = titles[i];
        const auto n = int16_t(i + 1);
        host.call(nameHeader, {Variant(n), Variant(t.text)});
        host.call(sizeHeader, {Variant(n), Variant(i == 0 ? 14.0f : 11.0f)});
        host.call(boldHeader, {Variant(n), Variant(i != 1)});
        host.call(underlineHeader, {Variant(n), Variant(i >= 1)});
        if (t.x == 0)
            host.call(alignHeader, {Variant(n), Variant(int32_t(AlignCenter))});
        else
            host.call(curXHeader, {Variant(n), Variant(t.x)});
        host.call(enterHeader, {Variant(n), Variant(t.after)});
    }
    host.call(printHeader);
    host.set(fontName, q("Liberation Sans"));
    host.set(fontSize, 10.0f);
    host.set(fontBold, false);

    const QLocale c = QLocale::c();
    const Variant stay{int32_t(A1_StayWhereYouAre)}, next{int32_t(A2_JumpToNextLine)};
    double debit = 0, credit = 0;
    const long rows = long(pages) * RowsPerPage;
    for (long i = 0; i < rows; ++i) {
        const Account a = account(i);
        (a.debit ? debit : credit) += a.amount;
        host.set(currentX, 10000.0f);
        host.call(printText, {Variant(a.number), stay});
        host.set(currentX, 7200.0f);
        host.call(printText, {Variant(a.name), stay});
        host.set(currentX, 5600.0f);
        host.call(printText, {Variant(a.code), stay});
        host.set(currentX, a.debit ? 4000.0f : 2000.0f);
        host.call(printText, {Variant(c.toString(a.amount, 'f', 2)), next});
        // The control breaks the page (and repeats the titles) when the next row would not fit.
        host.call(checkMin2);
    }
    host.set(fontBold, true);
    host.set(currentX, 7200.0f);
    host.call(printText, {Variant(q("סה\"כ - Total")), stay});
    host.set(currentX, 4000.0f);
    host.call(printText, {Variant(c.toString(debit, 'f', 2)), stay});
    host.set(currentX, 2000.0f);
    host.call(printText, {Variant(c.toString(credit, 'f', 2)), next});
    host.call(printLastPage);
}

// The same accounts as a table: the company and the title are the page headers, the column
// titles the table's header row, and the control breaks the pages between rows (each a
// TableRow call, its cells separated by tabs).
void recordTable(Host& host, int pages, int32_t codePage) {
    const DispId header = host.id("Header"), nameHeader = host.id("fxNameHeader"),
                 sizeHeader = host.id("fxFontsizeHeader"), boldHeader = host.id("fxFontBoldHeader"),
                 underlineHeader = host.id("fxFontUnderlineHeader"),
                 alignHeader = host.id("fxAlignHeader"), enterHeader = host.id("fxEnterAfterHeader"),
                 addColumn = host.id("TableAddColumn"), tableRow = host.id("TableRow"),
                 fontBold = host.id("FontBold");
    host.set(host.id("CodePage"), Variant(codePage));
    host.call(host.id("StartPalvexPrintPreview"));
    host.set(header, true);
    const QString titles[] = {q("חשבונאות הגליל בע\"מ"), q("Trial balance - מאזן בוחן")};
    for (int16_t n = 1; n <= 2; ++n) {
        host.call(nameHeader, {Variant(n), Variant(titles[n - 1])});
        host.call(sizeHeader, {Variant(n), Variant(n == 1 ? 14.0f : 11.0f)});
        host.call(boldHeader, {Variant(n), Variant(n == 1)});
        host.call(underlineHeader, {Variant(n), Variant(n == 2)});
        host.call(alignHeader, {Variant(n), Variant(int32_t(AlignCenter))});
        host.call(enterHeader, {Variant(n), Variant(int16_t(n))});
    }
    host.call(host.id("PrintHeader"));
    host.set(host.id("FontName"), q("Liberation Sans"));
    host.set(host.id("FontSize"), 10.0f);
    host.set(fontBold, false);
    struct Column {
        float width;
        int16_t align;
        const char* title;
    };
    const Column columns[] = {{1600, 1, "מספר חשבון"}, {3800, 1, "שם החשבון"}, {1000, 2, "קוד"},
                              {1700, 3, "חובה"},        {1700, 3, "זכות"}};
    for (const Column& c : columns)
        host.call(addColumn, {Variant(c.width), Variant(c.align), Variant(q(c.title))});
    host.set(host.id("CurrentX"), 0.0f);
    host.call(host.id("TableBegin"));
    const QLocale c = QLocale::c();
    const QChar tab = QLatin1Char('\t');
    double debit = 0, credit = 0;
    const long rows = long(pages) * RowsPerPage;
    for (long i = 0; i < rows; ++i) {
        const Account a = account(i);
        (a.debit ? debit : credit) += a.amount;
        const QString money = c.toString(a.amount, 'f', 2);
        host.call(tableRow, {Variant(a.number + tab + a.name + tab + a.code + tab +
                                     (a.debit ? money + tab : tab + money))});
    }
    host.set(fontBold, true);
    host.call(tableRow, {Variant(tab + q("סה\"כ - Total") + tab + tab + c.toString(debit, 'f', 2) +
                                 tab + c.toString(credit, 'f', 2))});
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
    // The table fits more rows on a page than the host's 50 (its row height is its text's).
    const int expected = how == Recording::Table ? 1 : pages;
    return pdfPages >= expected && titled && numbered ? 0 : 1;
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
