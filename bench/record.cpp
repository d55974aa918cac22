// Recording throughput and memory of the control, against the cost of measuring the same text.
//
//   bench-record [N] [--only=typed|utf8|dispatch|floor] [--no-memory] [--keep]
//
// N (default 1,000,000) text items are recorded in a ledger-like layout: five items a line
// (account number, Hebrew account name, English description, amount, balance), column
// positions set through CurrentX, some lines bold, a blank line every ten lines and CurrentY
// put back to the top margin every fifty lines, so that the cursor stays on a sane page without
// page breaks. The same item sequence is recorded through the typed members and, by a second
// control, through Dispatch by identifier; the floor only measures each item's text with
// TextMetrics::width in the item's FontSpec.
//
// Memory growth is taken from a child process that records through the typed members and
// does nothing else (VmHWM after 1,000 items and after N). --only runs one phase in this
// process, for profilers (valgrind --tool=callgrind --toggle-collect='*TypedHost::run*');
// --no-memory skips the child; --keep leaves the working directory behind.

#include "PalvexPrivate.h"
#include "core/CodePage.h"
#include "platform/TextMetrics.h"
#include "recording/PrintItem.h"
#include "recording/ReportStore.h"
#include <palvex/Dispatch.h>
#include <palvex/Palvex.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/resource.h>

using namespace palvex;

namespace {

// ---- Targets ----------------------------------------------------------------------------------

constexpr double TargetItemsPerSecond = 150'000;
constexpr double TargetFloorRatio = 1.5;
constexpr double TargetBytesPerItem = 4;
constexpr int64_t MemoryBaseItems = 1'000;
constexpr int64_t BlockItems = 10'000; // items each phase records before the next one runs

// ---- Deterministic pseudo-random numbers ------------------------------------------------------

uint64_t mix(uint64_t x) { // splitmix64 finaliser: a fixed, cheap hash of an index
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t next() { return mix(m_state++); }
    int below(int n) { return int(next() % uint64_t(n)); }

private:
    uint64_t m_state;
};

// ---- The text a ledger report prints ----------------------------------------------------------

const std::array<const char16_t*, 20> HebrewWords{
    u"חשבון", u"לקוחות", u"ספקים",   u"הכנסות", u"הוצאות", u"מכירות",  u"רכישות",
    u"קופה",  u"בנק",    u"מזומנים", u"שכר",    u"עובדים", u"מסים",    u"ריבית",
    u"עמלות", u"פחת",    u"ציוד",    u"משרדי",  u"רכב",    u"הלוואות",
};

const std::array<const char*, 24> EnglishWords{
    "Invoice",  "Payment", "Balance",  "Transfer", "Deposit",    "Refund",  "Credit", "Debit",
    "Opening",  "Closing", "Journal",  "Entry",    "Adjustment", "Salary",  "Rent",   "Insurance",
    "Interest", "Fees",    "Supplies", "Travel",   "Cheque",     "Receipt", "VAT",    "Discount",
};

QString hebrewName(Rng& rng) {
    QString s;
    const int words = 2 + rng.below(3);
    for (int w = 0; w < words; ++w) {
        if (w) s += QLatin1Char(' ');
        s += QString::fromUtf16(HebrewWords[size_t(rng.below(int(HebrewWords.size())))]);
    }
    if (rng.below(4) == 0) s += QLatin1Char(' ') + QString::number(1 + rng.below(99)); // "בנק 12"
    return s;
}

QString englishDescription(Rng& rng) {
    QString s;
    const int words = 1 + rng.below(3);
    for (int w = 0; w < words; ++w) {
        if (w) s += QLatin1Char(' ');
        s += QLatin1String(EnglishWords[size_t(rng.below(int(EnglishWords.size())))]);
    }
    if (rng.below(3) == 0) s += QStringLiteral(" Ref ") + QString::number(10000 + rng.below(90000));
    return s;
}

// "1,234.50", "-12,000.00": cents spread over seven decades.
QString amount(Rng& rng) {
    int64_t cents = 1 + rng.below(100);
    for (int decades = rng.below(7); decades > 0; --decades)
        cents = cents * 10 + rng.below(10);
    const bool negative = rng.below(6) == 0;
    const std::string digits = std::to_string(cents / 100);
    QString text = negative ? QStringLiteral("-") : QString();
    for (size_t d = 0; d < digits.size(); ++d) {
        if (d > 0 && (digits.size() - d) % 3 == 0) text += QLatin1Char(',');
        text += QLatin1Char(digits[d]);
    }
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%02d", int(cents % 100));
    return text + QLatin1String(fraction);
}

QString accountNumber(Rng& rng) {
    char text[24];
    if (rng.below(2))
        std::snprintf(text, sizeof text, "%02d-%06d", 10 + rng.below(90), rng.below(1'000'000));
    else
        std::snprintf(text, sizeof text, "%04d/%03d", 1000 + rng.below(9000), rng.below(1000));
    return QString::fromLatin1(text);
}

QString title(Rng& rng) {
    return QStringLiteral("מאזן בוחן - ") + hebrewName(rng) + QStringLiteral(" 2024");
}

struct Corpus {
    std::vector<QString> accounts, hebrew, english, amounts, titles;

    Corpus() {
        Rng rng(20240601);
        auto fill = [&](std::vector<QString>& pool, size_t n, QString (*make)(Rng&)) {
            pool.reserve(n);
            for (size_t i = 0; i < n; ++i)
                pool.push_back(make(rng));
        };
        fill(accounts, 3000, accountNumber);
        fill(hebrew, 3000, hebrewName);
        fill(english, 1000, englishDescription);
        fill(amounts, 5000, amount);
        fill(titles, 64, title);
    }
    template <class F> void forEach(F&& f) const {
        for (const auto* pool : {&accounts, &hebrew, &english, &amounts, &titles})
            for (const QString& s : *pool)
                f(s);
    }
};

// ---- The item sequence ------------------------------------------------------------------------

enum class Op : uint8_t { TextStay, TextNewLine, RightStay, LeftNewLine, CenterNewLine };

constexpr int ItemsPerLine = 5;
constexpr int64_t BlankLineEvery = 10; // lines
constexpr int64_t TopAgainEvery = 50;  // lines

struct Item {
    const QString* text;
    Op op;
    bool bold;       // the font this item is measured in
    bool boldOn;     // FontBold is set before the item
    bool boldOff;    // FontBold is cleared after the item
    float columnX;   // CurrentX set before the item, < 0 for none
    bool blankAfter; // JumpToNextLine after the item
    bool topAfter;   // CurrentY back to the top margin after the item
};

// Item `i` of the sequence, the same for every phase.
Item itemAt(const Corpus& c, int64_t i) {
    const int64_t line = i / ItemsPerLine;
    const int pos = int(i % ItemsPerLine);
    const uint64_t h = mix(uint64_t(i));
    const bool boldLine = line % 4 == 3; // amounts of every fourth line in bold
    auto pick = [&](const std::vector<QString>& pool) { return &pool[size_t(h % pool.size())]; };
    Item it{nullptr, Op::TextStay, false, false, false, -1, false, false};
    switch (pos) {
    case 0:
        it.text = pick(c.accounts);
        it.op = line % 2 == 0 ? Op::RightStay : Op::TextStay; // the line starts at CurrentX 0
        break;
    case 1:
        it.text = pick(c.hebrew), it.columnX = 1400;
        break;
    case 2:
        it.text = pick(c.english), it.columnX = 5200;
        break;
    case 3:
        it.text = pick(c.amounts), it.columnX = 8200;
        it.bold = it.boldOn = boldLine;
        break;
    default:
        it.bold = it.boldOff = boldLine;
        if (line % 16 == 15)
            it.text = pick(c.titles), it.op = Op::CenterNewLine;
        else if (line % 8 == 7)
            it.text = pick(c.amounts), it.op = Op::LeftNewLine;
        else
            it.text = pick(c.amounts), it.op = Op::TextNewLine, it.columnX = 9800;
        it.blankAfter = line % BlankLineEvery == BlankLineEvery - 1;
        it.topAfter = line % TopAgainEvery == TopAgainEvery - 1;
        break;
    }
    return it;
}

// ---- Measurement helpers ----------------------------------------------------------------------

struct Clock {
    std::chrono::steady_clock::time_point wall;
    double user, sys;

    static Clock now() {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
        return {std::chrono::steady_clock::now(), seconds(u.ru_utime), seconds(u.ru_stime)};
    }
};

struct Timing {
    double wall = 0, user = 0, sys = 0;
    int64_t items = 0;
    int64_t calls = 0; // every member call, items included
    bool ran = false;
    double perSecond() const { return wall > 0 ? double(items) / wall : 0; }
    double nsPerItem() const { return items ? wall * 1e9 / double(items) : 0; }
};

Timing elapsed(const Clock& from, const Clock& to, int64_t items, int64_t calls) {
    return {std::chrono::duration<double>(to.wall - from.wall).count(),
            to.user - from.user,
            to.sys - from.sys,
            items,
            calls,
            true};
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
int64_t statusKb(std::string_view field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() &&
            line[field.size()] == ':')
            return std::strtoll(line.c_str() + field.size() + 1, nullptr, 10);
    return -1;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench-record: %s\n", what.c_str());
    std::exit(1);
}

void check(Status status, const char* what) {
    if (status != Status::Ok)
        fail(std::string(what) + " returned " + std::to_string(int(status)) + " (" +
             std::string(describe(status)) + ")");
}

// ---- The phases -------------------------------------------------------------------------------
//
// The phases run interleaved, a block of items each in turn, so that a machine whose speed
// drifts (other work on the same cores, frequency changes) slows every phase alike and the
// ratios stay meaningful. Each phase keeps its own control, started in its own directory.

// Puts the control in the state every recording phase starts from.
float startRecording(Palvex& ctl) {
    check(ctl.StartPalvexPrintPreview(), "StartPalvexPrintPreview");
    check(ctl.let_FontName(QStringLiteral("Ms Sans Serif")), "let_FontName");
    check(ctl.let_FontSize(10), "let_FontSize");
    check(ctl.let_FontBold(false), "let_FontBold");
    float top = 0;
    check(ctl.gtTopMargin(out(top)), "gtTopMargin");
    return top;
}

// The control's store must hold exactly the items the phase recorded, in order.
void verifyStore(const Palvex& ctl, const Corpus& corpus, int64_t n) {
    const ReportStore& store = ctl.internals().reportStore();
    if (store.itemCount() != n)
        fail("item count " + std::to_string(store.itemCount()) + ", expected " + std::to_string(n));
    for (int64_t i : {int64_t(0), int64_t(1), n / 2, n - 1}) {
        if (i < 0 || i >= n) continue;
        const PrintItem item = store.read(int32_t(i + 1));
        if (item.ItemText.trimmed() != itemAt(corpus, i).text->trimmed())
            fail("item " + std::to_string(i + 1) + " reads back as \"" +
                 item.ItemText.trimmed().toStdString() + "\"");
    }
    // After the reads every record is on disk; space reserved ahead may follow the records.
    const auto bytes = std::filesystem::file_size(store.storePath());
    if (bytes < uint64_t(n) * PrintItem::Size)
        fail("store holds " + std::to_string(bytes) + " bytes, expected " +
             std::to_string(n * PrintItem::Size));
}

// Member calls and the first failure among them.
struct Calls {
    int64_t count = 0, failures = 0;
    Status first = Status::Ok;
    void note(Status s) {
        ++count;
        if (s != Status::Ok && failures++ == 0) first = s;
    }
    void require(const char* phase) const {
        if (failures)
            check(first,
                  (std::to_string(failures) + " " + phase + " calls failed; the first").c_str());
    }
};

void add(Timing& total, const Clock& from, const Clock& to, int64_t items, int64_t calls) {
    const Timing t = elapsed(from, to, items, calls);
    total.wall += t.wall, total.user += t.user, total.sys += t.sys;
    total.items += items, total.calls += calls, total.ran = true;
}

// A host calling the typed members.
class TypedHost {
public:
    TypedHost(Palvex& ctl, const Corpus& corpus)
        : m_ctl(ctl), m_corpus(corpus), m_top(startRecording(ctl)) {}

    // Records items [from, to); VmHWM is noted once `baseAt` items are recorded.
    [[gnu::noinline]] void run(int64_t from, int64_t to, int64_t baseAt = -1,
                               int64_t* hwmKb = nullptr) {
        const int64_t callsBefore = m_calls.count;
        const Clock start = Clock::now();
        for (int64_t i = from; i < to; ++i) {
            if (i == baseAt) *hwmKb = statusKb("VmHWM");
            const Item it = itemAt(m_corpus, i);
            if (it.boldOn) m_calls.note(m_ctl.let_FontBold(true));
            if (it.columnX >= 0) m_calls.note(m_ctl.let_CurrentX(it.columnX));
            QString text = *it.text; // the host's own variable
            AfterPrintType stay = A1_StayWhereYouAre, newLine = A2_JumpToNextLine;
            switch (it.op) {
            case Op::TextStay:
                m_calls.note(m_ctl.printText(text, stay));
                break;
            case Op::TextNewLine:
                m_calls.note(m_ctl.printText(text, newLine));
                break;
            case Op::RightStay:
                m_calls.note(m_ctl.RightIT(text, stay));
                break;
            case Op::LeftNewLine:
                m_calls.note(m_ctl.LeftIT(text, newLine));
                break;
            case Op::CenterNewLine:
                m_calls.note(m_ctl.centerIT(text, newLine));
                break;
            }
            if (it.boldOff) m_calls.note(m_ctl.let_FontBold(false));
            if (it.blankAfter) m_calls.note(m_ctl.JumpToNextLine());
            if (it.topAfter) m_calls.note(m_ctl.let_CurrentY(m_top));
        }
        add(m_timing, start, Clock::now(), to - from, m_calls.count - callsBefore);
    }
    const Timing& finish(int64_t n) {
        m_calls.require("typed");
        verifyStore(m_ctl, m_corpus, n);
        return m_timing;
    }

private:
    Palvex& m_ctl;
    const Corpus& m_corpus;
    const float m_top;
    Calls m_calls;
    Timing m_timing;
};

// A late-bound host: the same calls by dispatch identifier, with Variant arguments.
class DispatchHost {
public:
    DispatchHost(Palvex& ctl, const Corpus& corpus)
        : m_ctl(ctl), m_corpus(corpus), m_top(startRecording(ctl)), m_d(ctl),
          m_printText(id("printText")), m_rightIT(id("RightIT")), m_leftIT(id("LeftIT")),
          m_centerIT(id("centerIT")), m_jump(id("JumpToNextLine")), m_currentX(id("CurrentX")),
          m_currentY(id("CurrentY")), m_fontBold(id("FontBold")) {}

    [[gnu::noinline]] void run(int64_t from, int64_t to) {
        const int64_t callsBefore = m_calls.count;
        const Clock start = Clock::now();
        for (int64_t i = from; i < to; ++i) {
            const Item it = itemAt(m_corpus, i);
            if (it.boldOn) put(m_fontBold, Variant(true));
            if (it.columnX >= 0) put(m_currentX, Variant(it.columnX));
            switch (it.op) {
            case Op::TextStay:
                method(m_printText, *it.text, A1_StayWhereYouAre);
                break;
            case Op::TextNewLine:
                method(m_printText, *it.text, A2_JumpToNextLine);
                break;
            case Op::RightStay:
                method(m_rightIT, *it.text, A1_StayWhereYouAre);
                break;
            case Op::LeftNewLine:
                method(m_leftIT, *it.text, A2_JumpToNextLine);
                break;
            case Op::CenterNewLine:
                method(m_centerIT, *it.text, A2_JumpToNextLine);
                break;
            }
            if (it.boldOff) put(m_fontBold, Variant(false));
            if (it.blankAfter) m_calls.note(m_d.invoke(m_jump, InvokeKind::Method, {}, nullptr));
            if (it.topAfter) put(m_currentY, Variant(m_top));
        }
        add(m_timing, start, Clock::now(), to - from, m_calls.count - callsBefore);
    }
    const Timing& finish(int64_t n) {
        m_calls.require("dispatched");
        verifyStore(m_ctl, m_corpus, n);
        return m_timing;
    }

private:
    DispId id(const char* name) const {
        const DispId found = m_d.idOfName(name);
        if (found == UnknownDispId) fail(std::string("no member ") + name);
        return found;
    }
    void put(DispId member, Variant v) {
        m_value = std::move(v);
        m_calls.note(
            m_d.invoke(member, InvokeKind::PropertyPut, std::span<Variant>(&m_value, 1), nullptr));
    }
    // The host fills its argument array afresh for every call (by-reference ones come back).
    void method(DispId member, const QString& text, AfterPrintType entr) {
        m_args[0] = Variant(text);
        m_args[1] = Variant(int32_t(entr));
        m_calls.note(m_d.invoke(member, InvokeKind::Method, std::span<Variant>(m_args), nullptr));
    }

    Palvex& m_ctl;
    const Corpus& m_corpus;
    const float m_top;
    Dispatch m_d;
    const DispId m_printText, m_rightIT, m_leftIT, m_centerIT, m_jump, m_currentX, m_currentY,
        m_fontBold;
    std::array<Variant, 2> m_args;
    Variant m_value;
    Calls m_calls;
    Timing m_timing;
};

// The floor: each item's text measured once, in the font the item is recorded in.
class Floor {
public:
    explicit Floor(const FontSpec& plain, const Corpus& corpus)
        : m_plain(plain), m_bold(plain), m_corpus(corpus) {
        m_bold.bold = true;
    }
    [[gnu::noinline]] void run(int64_t from, int64_t to) {
        const Clock start = Clock::now();
        for (int64_t i = from; i < to; ++i) {
            const Item it = itemAt(m_corpus, i);
            m_sum += TextMetrics::width(it.bold ? m_bold : m_plain, *it.text);
        }
        add(m_timing, start, Clock::now(), to - from, to - from);
    }
    const Timing& timing() const { return m_timing; }
    double checksum() const { return m_sum; }

private:
    FontSpec m_plain, m_bold;
    const Corpus& m_corpus;
    double m_sum = 0;
    Timing m_timing;
};

// For reference only: Qt's own measurement, with no per-call copy and no cache lookup.
class QtFloor {
public:
    QtFloor(const FontSpec& plain, const Corpus& corpus)
        : m_device(twipDevice()), m_regular(TextMetrics::fontFor(plain), &m_device),
          m_bold(TextMetrics::fontFor(boldOf(plain)), &m_device), m_corpus(corpus) {}
    [[gnu::noinline]] void run(int64_t from, int64_t to) {
        const Clock start = Clock::now();
        for (int64_t i = from; i < to; ++i) {
            const Item it = itemAt(m_corpus, i);
            m_sum += (it.bold ? m_bold : m_regular).horizontalAdvance(*it.text);
        }
        add(m_timing, start, Clock::now(), to - from, to - from);
    }
    const Timing& timing() const { return m_timing; }
    double checksum() const { return m_sum; }

private:
    static FontSpec boldOf(FontSpec spec) {
        spec.bold = true;
        return spec;
    }
    static QImage twipDevice() {
        QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(TextMetrics::DotsPerInch / 0.0254);
        device.setDotsPerMeterX(dotsPerMeter);
        device.setDotsPerMeterY(dotsPerMeter);
        return device;
    }
    QImage m_device;
    QFontMetricsF m_regular, m_bold;
    const Corpus& m_corpus;
    double m_sum = 0;
    Timing m_timing;
};

// ---- Report -----------------------------------------------------------------------------------

const char* verdict(bool ok) {
    return ok ? "PASS" : "FAIL";
}

void printRow(const char* name, const Timing& t, const Timing& floor, bool withTarget) {
    if (!t.ran) return;
    std::printf("  %-36s %8.3f %8.3f %7.3f %10.0f %8.0f %8.2f", name, t.wall, t.user, t.sys,
                t.perSecond(), t.nsPerItem(), t.items ? double(t.calls) / double(t.items) : 0.0);
    if (floor.ran && floor.wall > 0)
        std::printf(" %7.2fx", t.wall / floor.wall);
    else
        std::printf(" %8s", "-");
    if (withTarget) {
        const bool fast = t.perSecond() >= TargetItemsPerSecond;
        const bool close = floor.ran && t.wall / floor.wall <= TargetFloorRatio;
        std::printf("   %s rate, %s ratio", verdict(fast), floor.ran ? verdict(close) : "n/a");
    }
    std::printf("\n");
}

struct Options {
    int64_t n = 1'000'000;
    std::string only; // empty: every phase
    bool keep = false;
    bool memory = true;       // measure memory in a process that records alone
    bool memoryChild = false; // that process: typed only, one machine-readable line
};

[[noreturn]] void usage() {
    fail("usage: bench-record [N] [--only=typed|utf8|dispatch|floor] [--no-memory] [--keep]");
}

Options parse(int argc, char** argv) {
    Options o;
    for (int a = 1; a < argc; ++a) {
        const std::string_view arg = argv[a];
        if (arg.substr(0, 7) == "--only=")
            o.only = std::string(arg.substr(7));
        else if (arg == "--keep")
            o.keep = true;
        else if (arg == "--no-memory")
            o.memory = false;
        else if (arg == "--memory-child")
            o.memoryChild = true, o.only = "typed";
        else if (!arg.empty() && arg[0] != '-') {
            char* end = nullptr;
            o.n = std::strtoll(argv[a], &end, 10);
            if (*end) usage();
        } else
            usage();
    }
    if (o.n < 1 || o.n > 8'000'000)
        fail("N must be between 1 and 8000000 (the store's item count is 32-bit)");
    if (!o.only.empty() && o.only != "typed" && o.only != "dispatch" && o.only != "floor" &&
        o.only != "utf8")
        usage();
    return o;
}

// What the process that records alone reports.
struct MemoryRun {
    int64_t hwmBaseKb = -1, hwmEndKb = -1, rssEndKb = -1;
    Timing typed;
};

constexpr const char* MemoryLineTag = "bench-record-memory";

std::optional<MemoryRun> memoryInChild(int64_t n) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::number(n), QStringLiteral("--memory-child")});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        std::fprintf(stderr, "bench-record: the memory run failed\n");
        return std::nullopt;
    }
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        MemoryRun m;
        long long base = 0, end = 0, rss = 0, items = 0, calls = 0;
        double wall = 0, user = 0, sys = 0;
        if (std::sscanf(line.constData(),
                        "bench-record-memory %lld %lld %lld %lld %lld %lf %lf %lf", &base, &end,
                        &rss, &items, &calls, &wall, &user, &sys) == 8) {
            m.hwmBaseKb = base, m.hwmEndKb = end, m.rssEndKb = rss;
            m.typed = {wall, user, sys, items, calls, true};
            return m;
        }
    }
    std::fprintf(stderr, "bench-record: the memory run reported nothing\n");
    return std::nullopt;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " / " + five;
}

void printReport(const Options& o, const Corpus& corpus, const FontSpec& spec, const Timing& typed,
                 const Timing& utf8, const Timing& dispatched, const Floor& floor,
                 const QtFloor& qtFloor, const std::optional<MemoryRun>& memory,
                 const std::string& loadBefore) {
    int64_t ops[5] = {}, bold = 0, setX = 0;
    const int64_t sample = std::min<int64_t>(o.n, 400'000);
    for (int64_t i = 0; i < sample; ++i) {
        const Item it = itemAt(corpus, i);
        ++ops[int(it.op)];
        bold += it.bold;
        setX += it.columnX >= 0;
    }
    const double pct = double(sample) / 100.0;

    std::printf("\nPalvex recording benchmark: N = %" PRId64
                " text items, font \"%s\" %.0f pt (family %s)\n",
                o.n, qPrintable(spec.name), double(spec.size),
                qPrintable(TextMetrics::fontFor(spec).families().value(0)));
    std::printf("  mix: printText A1 %.1f%%, printText A2 %.1f%%, RightIT %.1f%%, LeftIT %.1f%%, "
                "centerIT %.1f%%;"
                " bold %.1f%%; let_CurrentX before %.1f%% of items\n",
                ops[0] / pct, ops[1] / pct, ops[2] / pct, ops[3] / pct, ops[4] / pct, bold / pct,
                setX / pct);
    std::printf(
        "  corpus: %zu account numbers, %zu Hebrew names (20 words), %zu English descriptions,"
        " %zu amounts, %zu titles\n",
        corpus.accounts.size(), corpus.hebrew.size(), corpus.english.size(), corpus.amounts.size(),
        corpus.titles.size());
    std::printf("  phases interleaved in blocks of %" PRId64
                " items; %d cores, load average %s before, %s after\n\n",
                BlockItems, std::max(1, QThread::idealThreadCount()), loadBefore.c_str(),
                loadAverage().c_str());

    const Timing& f = floor.timing();
    std::printf("  %-36s %8s %8s %7s %10s %8s %8s %8s\n", "phase", "wall s", "user s", "sys s",
                "items/s", "ns/item", "calls/it", "x floor");
    printRow("recorded, typed API", typed, f, true);
    printRow("recorded, typed API, UTF-8 report", utf8, f, true);
    printRow("recorded, Dispatch by identifier", dispatched, f, true);
    printRow("floor: TextMetrics::width", f, f, false);
    printRow("(ref) QFontMetricsF, no copy/lookup", qtFloor.timing(), f, false);
    if (memory) printRow("(ref) typed API, alone (memory run)", memory->typed, {}, false);
    if (typed.ran && utf8.ran)
        std::printf("  UTF-8 against the default code page: %.3fx the time (target <= 1.2x)\n",
                    utf8.wall / typed.wall);
    if (f.ran && qtFloor.timing().ran && floor.checksum() != qtFloor.checksum())
        std::printf("  WARNING: the floors disagree (%.1f vs %.1f twips)\n", floor.checksum(),
                    qtFloor.checksum());

    if (memory && memory->hwmBaseKb >= 0 && memory->hwmEndKb >= 0 && o.n > MemoryBaseItems) {
        const double perItem =
            double(memory->hwmEndKb - memory->hwmBaseKb) * 1024.0 / double(o.n - MemoryBaseItems);
        std::printf("\n  memory (typed API, recording alone): VmHWM %" PRId64 " kB after %" PRId64
                    " items, %" PRId64 " kB after %" PRId64 " items (VmRSS then %" PRId64 " kB)\n",
                    memory->hwmBaseKb, MemoryBaseItems, memory->hwmEndKb, o.n, memory->rssEndKb);
        std::printf(
            "  growth: %.3f bytes/item (target <= %.0f; resolution %.3f, one 4 kB page)   %s\n",
            perItem, TargetBytesPerItem, 4096.0 / double(o.n - MemoryBaseItems),
            verdict(perItem <= TargetBytesPerItem));
    } else if (typed.ran && o.n <= MemoryBaseItems) {
        std::printf("\n  memory: N must exceed %" PRId64 " to measure growth\n", MemoryBaseItems);
    }
    std::printf("\n  targets: >= %.0f items/s, <= %.1fx the floor's time, <= %.0f bytes/item of "
                "memory growth\n",
                TargetItemsPerSecond, TargetFloorRatio, TargetBytesPerItem);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    auto runs = [&](const char* phase) { return options.only.empty() || options.only == phase; };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string loadBefore = loadAverage();

    // Memory first, in a process of its own, so that nothing else this process does counts.
    std::optional<MemoryRun> memory;
    if (options.memory && options.only.empty() && options.n > MemoryBaseItems)
        memory = memoryInChild(options.n);

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench-record-XXXXXX"));
    if (!dir.isValid()) fail("cannot create a working directory");
    dir.setAutoRemove(!options.keep);
    const std::filesystem::path previous = std::filesystem::current_path();

    const Corpus corpus;
    // Each control records into its own directory (the store's name is fixed).
    auto controlIn = [&](const char* sub) {
        const std::filesystem::path where = std::filesystem::path(dir.path().toStdString()) / sub;
        std::filesystem::create_directories(where);
        std::filesystem::current_path(where);
        return std::make_unique<Palvex>(Platform::headless());
    };
    std::unique_ptr<Palvex> typedCtl, utf8Ctl, dispatchCtl;
    std::optional<TypedHost> typedHost, utf8Host;
    std::optional<DispatchHost> dispatchHost;
    if (runs("typed")) typedCtl = controlIn("typed"), typedHost.emplace(*typedCtl, corpus);
    // The same items through the typed API into a report stored in UTF-8.
    if (runs("utf8") && !options.memoryChild) {
        utf8Ctl = controlIn("utf8");
        check(utf8Ctl->let_CodePage(CodePage::Utf8), "let_CodePage");
        utf8Host.emplace(*utf8Ctl, corpus);
    }
    if (runs("dispatch"))
        dispatchCtl = controlIn("dispatch"), dispatchHost.emplace(*dispatchCtl, corpus);

    FontSpec spec;
    if (typedCtl || dispatchCtl) {
        spec = (typedCtl ? *typedCtl : *dispatchCtl).internals().recordingSurface().font();
    } else { // the floor alone: the font a started control records in
        auto probe = controlIn("probe");
        startRecording(*probe);
        spec = probe->internals().recordingSurface().font();
    }
    Floor floor(spec, corpus);
    QtFloor qtFloor(spec, corpus);

    // Fonts, shaping caches and glyph advances warm before anything is timed, so that every
    // phase pays the same steady-state measuring cost and the memory base includes them.
    {
        FontSpec bold = spec;
        bold.bold = true;
        double warm = 0;
        corpus.forEach([&](const QString& s) {
            warm += TextMetrics::width(spec, s) + TextMetrics::width(bold, s);
        });
        if (!(warm > 0)) fail("the corpus measures as empty");
    }

    int64_t hwmBaseKb = -1;
    const int64_t baseAt = options.n > MemoryBaseItems ? MemoryBaseItems : -1;
    std::array<std::function<void(int64_t, int64_t)>, 5> phases{
        [&](int64_t a, int64_t b) {
            if (typedHost) typedHost->run(a, b, baseAt, &hwmBaseKb);
        },
        [&](int64_t a, int64_t b) {
            if (utf8Host) utf8Host->run(a, b);
        },
        [&](int64_t a, int64_t b) {
            if (dispatchHost) dispatchHost->run(a, b);
        },
        [&](int64_t a, int64_t b) {
            if (runs("floor")) floor.run(a, b);
        },
        [&](int64_t a, int64_t b) {
            if (runs("floor") && !options.memoryChild) qtFloor.run(a, b);
        },
    };
    int64_t round = 0;
    for (int64_t from = 0; from < options.n; from += BlockItems, ++round) {
        const int64_t to = std::min(options.n, from + BlockItems);
        for (size_t k = 0; k < phases.size(); ++k)
            phases[(k + size_t(round)) % phases.size()](from, to);
    }
    const int64_t hwmEndKb = statusKb("VmHWM"), rssEndKb = statusKb("VmRSS");

    const Timing typed = typedHost ? typedHost->finish(options.n) : Timing{};
    const Timing utf8 = utf8Host ? utf8Host->finish(options.n) : Timing{};
    const Timing dispatched = dispatchHost ? dispatchHost->finish(options.n) : Timing{};
    std::filesystem::current_path(previous);

    if (options.memoryChild) {
        std::printf("%s %" PRId64 " %" PRId64 " %" PRId64 " %" PRId64 " %" PRId64
                    " %.6f %.6f %.6f\n",
                    MemoryLineTag, hwmBaseKb, hwmEndKb, rssEndKb, typed.items, typed.calls,
                    typed.wall, typed.user, typed.sys);
        return 0;
    }
    // Recording alone in this process (--only=typed): its memory marks are clean too.
    if (!memory && options.only == "typed" && hwmBaseKb >= 0)
        memory = MemoryRun{hwmBaseKb, hwmEndKb, rssEndKb, {}};
    printReport(options, corpus, spec, typed, utf8, dispatched, floor, qtFloor, memory, loadBefore);
    if (options.keep) std::printf("  working directory kept: %s\n", qPrintable(dir.path()));
    return 0;
}
