// palvex_invoke_batch: a buffer of calls runs as the same calls one by one would, stops at the
// first refusal with that call's status and words, and a buffer that is not whole runs nothing
// and is never read past its end (run these under ASan: every buffer here is its own
// allocation of exactly its size).

#include "PalvexPrivate.h"
#include "recording/ReportStore.h"
#include <palvex/Palvex.h>
#include <palvex/palvex_c.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace palvex::test {
namespace {

// A buffer of calls in the layout palvex_c.h gives, built field by field.
class Calls {
public:
    Calls& call(int32_t id, int kind, std::vector<palvex_variant> args) {
        number(uint32_t(id), 4);
        m_bytes.push_back(uint8_t(kind));
        m_bytes.push_back(uint8_t(args.size()));
        for (const palvex_variant& arg : args) {
            m_bytes.push_back(uint8_t(arg.type));
            switch (arg.type) {
            case PALVEX_BOOL:
                m_bytes.push_back(uint8_t(arg.v.b));
                break;
            case PALVEX_I16:
                number(uint16_t(arg.v.i16), 2);
                break;
            case PALVEX_I32:
                number(uint32_t(arg.v.i32), 4);
                break;
            case PALVEX_SINGLE:
                number(std::bit_cast<uint32_t>(arg.v.f32), 4);
                break;
            case PALVEX_DOUBLE:
                number(std::bit_cast<uint64_t>(arg.v.f64), 8);
                break;
            case PALVEX_STRING: {
                const size_t length = std::strlen(arg.v.str);
                number(length, 4);
                m_bytes.insert(m_bytes.end(), arg.v.str, arg.v.str + length);
                break;
            }
            default:
                break;
            }
        }
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    void number(uint64_t value, int width) {
        for (int i = 0; i < width; ++i)
            m_bytes.push_back(uint8_t(value >> (8 * i)));
    }
    std::vector<uint8_t> m_bytes;
};

// `bytes` in an allocation of exactly their size, so reading one byte past it is caught.
std::unique_ptr<uint8_t[]> exactCopy(const std::vector<uint8_t>& bytes, size_t size) {
    auto copy = std::make_unique<uint8_t[]>(size);
    std::memcpy(copy.get(), bytes.data(), size);
    return copy;
}

class CBatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(palvex_app_ensure(0, nullptr), PALVEX_OK);
        for (palvex_control*& control : m_controls) {
            ASSERT_EQ(palvex_create(&control), PALVEX_OK);
            ASSERT_EQ(put(control, "MessagesToHost", palvex_bool(1)), PALVEX_OK);
        }
    }
    void TearDown() override {
        for (palvex_control* control : m_controls)
            EXPECT_EQ(palvex_destroy(control), PALVEX_OK);
    }

    int32_t id(const char* name) {
        int32_t found = -1;
        EXPECT_EQ(palvex_id_of_name(m_controls[0], name, &found), PALVEX_OK) << name;
        return found;
    }
    static int put(palvex_control* control, const char* name, palvex_variant value) {
        return palvex_invoke(control, name, PALVEX_PROPERTY_PUT, &value, 1, nullptr);
    }
    void start(palvex_control* control, const QTemporaryDir& dir) {
        const QByteArray folder = QDir(dir.path()).absolutePath().toUtf8();
        ASSERT_EQ(put(control, "WorkingFolder", palvex_string(folder.constData())), PALVEX_OK);
        ASSERT_EQ(
            palvex_invoke(control, "StartPalvexPrintPreview", PALVEX_METHOD, nullptr, 0, nullptr),
            PALVEX_OK);
    }
    int run(palvex_control* control, const std::vector<uint8_t>& bytes, size_t* done) {
        const auto copy = exactCopy(bytes, bytes.size());
        return palvex_invoke_batch(control, copy.get(), bytes.size(), done);
    }
    std::string detail(palvex_control* control) { return palvex_last_error_detail(control); }

    // Every item the control recorded, as text: what, where, in which font.
    static std::vector<std::string> recorded(palvex_control* control) {
        void* widget = nullptr;
        EXPECT_EQ(palvex_widget(control, &widget), PALVEX_OK);
        const ReportStore& store =
            static_cast<Palvex*>(static_cast<QWidget*>(widget))->internals().reportStore();
        std::vector<std::string> items;
        for (int32_t i = 1; i <= store.itemCount(); ++i) { // numbered from 1
            const PrintItem item = store.read(i);
            items.push_back(QStringLiteral("%1 %2,%3 %4 %5 %6 %7 %8")
                                .arg(item.ItemKind)
                                .arg(item.ItemX)
                                .arg(item.ItemY)
                                .arg(item.FontName)
                                .arg(item.FontSize)
                                .arg(item.FontBold)
                                .arg(item.ForeColor)
                                .arg(item.ItemText)
                                .toStdString());
        }
        return items;
    }
    static float currentY(palvex_control* control) {
        palvex_variant y = palvex_empty();
        EXPECT_EQ(palvex_invoke(control, "CurrentY", PALVEX_PROPERTY_GET, nullptr, 0, &y),
                  PALVEX_OK);
        return y.v.f32;
    }

    QTemporaryDir m_dirs[2];
    palvex_control* m_controls[2] = {nullptr, nullptr};
};

TEST_F(CBatch, RunsAsTheSameCallsOneByOne) {
    const char* hebrew = "קופה ראשית - תל אביב";
    // Every type of value: the same arguments reach the member whichever way they come.
    const std::vector<std::pair<std::pair<const char*, int>, std::vector<palvex_variant>>> calls = {
        {{"FontName", PALVEX_PROPERTY_PUT}, {palvex_string("Liberation Sans")}},
        {{"FontSize", PALVEX_PROPERTY_PUT}, {palvex_double(11)}},
        {{"FontBold", PALVEX_PROPERTY_PUT}, {palvex_bool(1)}},
        {{"ForeColor", PALVEX_PROPERTY_PUT}, {palvex_i32(0x0000ff)}},
        {{"CurrentX", PALVEX_PROPERTY_PUT}, {palvex_single(1400)}},
        {{"printText", PALVEX_METHOD}, {palvex_string(hebrew), palvex_i32(1)}},
        {{"CurrentX", PALVEX_PROPERTY_PUT}, {palvex_i16(300)}},
        {{"printText", PALVEX_METHOD}, {palvex_string("1,234.50"), palvex_i32(2)}},
        {{"FontBold", PALVEX_PROPERTY_PUT}, {palvex_empty()}}, // the declared type's zero
        {{"RightIT", PALVEX_METHOD}, {palvex_string(""), palvex_i32(2)}},
        {{"printLine", PALVEX_METHOD},
         {palvex_single(0), palvex_single(2000), palvex_single(6000), palvex_single(2000),
          palvex_i32(0), palvex_i32(13), palvex_i32(0), palvex_i16(0), palvex_i32(2)}},
        {{"printPage", PALVEX_METHOD}, {}},
        {{"printParagraph", PALVEX_METHOD},
         {palvex_string(hebrew), palvex_single(3000), palvex_missing(), palvex_missing()}}};

    start(m_controls[0], m_dirs[0]);
    for (auto [call, args] : calls)
        ASSERT_EQ(palvex_invoke(m_controls[0], call.first, call.second, args.data(),
                                int(args.size()), nullptr),
                  PALVEX_OK)
            << call.first;

    start(m_controls[1], m_dirs[1]);
    Calls batch;
    for (const auto& [call, args] : calls)
        batch.call(id(call.first), call.second, args);
    size_t done = 99;
    ASSERT_EQ(run(m_controls[1], batch.bytes(), &done), PALVEX_OK) << detail(m_controls[1]);
    EXPECT_EQ(done, calls.size());

    EXPECT_GT(recorded(m_controls[0]).size(), 4u);
    EXPECT_EQ(recorded(m_controls[1]), recorded(m_controls[0]));
    EXPECT_EQ(currentY(m_controls[1]), currentY(m_controls[0]));
    // Nothing at all is nothing to do.
    EXPECT_EQ(palvex_invoke_batch(m_controls[1], nullptr, 0, &done), PALVEX_OK);
    EXPECT_EQ(done, 0u);
}

TEST_F(CBatch, StopsAtTheFirstRefusalWithThatCallsStatusAndWords) {
    palvex_control* r = m_controls[0];
    start(r, m_dirs[0]);
    const int32_t printText = id("printText");
    const auto recordedBefore = recorded(r).size();
    struct Case {
        std::vector<palvex_variant> refused;
        int status;
        std::string words;
    };
    const std::vector<Case> cases = {
        {{palvex_string("x")},
         PALVEX_ARGUMENT_NOT_OPTIONAL,
         "printText: argument Entr is not optional"},
        {{palvex_string("x"), palvex_string("later")},
         PALVEX_TYPE_MISMATCH,
         "printText: argument Entr: \"later\" is not a number"},
        {{palvex_string("caf\xe9"), palvex_i32(1)}, PALVEX_TYPE_MISMATCH, ""},
    };
    for (const Case& c : cases) {
        // The words the call gets alone.
        std::vector<palvex_variant> alone = c.refused;
        ASSERT_EQ(
            palvex_invoke_id(r, printText, PALVEX_METHOD, alone.data(), int(alone.size()), nullptr),
            c.status);
        const std::string aloneWords = detail(r);
        if (!c.words.empty()) {
            EXPECT_EQ(aloneWords, c.words);
        }
        ASSERT_EQ(put(r, "CodePage", palvex_i32(77777)), 380); // other words in between

        Calls batch;
        batch.call(printText, PALVEX_METHOD, {palvex_string("first"), palvex_i32(1)})
            .call(printText, PALVEX_METHOD, c.refused)
            .call(printText, PALVEX_METHOD, {palvex_string("never"), palvex_i32(2)});
        size_t done = 99;
        EXPECT_EQ(run(r, batch.bytes(), &done), c.status);
        EXPECT_EQ(done, 1u);
        EXPECT_EQ(detail(r), aloneWords);
    }
    // Only each batch's first call ran.
    const auto items = recorded(r);
    ASSERT_EQ(items.size(), recordedBefore + cases.size());
    for (size_t i = recordedBefore; i < items.size(); ++i)
        EXPECT_NE(items[i].find(" first"), std::string::npos) << items[i];

    // A member the library has not, or a kind that is none, is refused as palvex_invoke_id
    // refuses it, in the middle of a buffer too.
    Calls unknown;
    unknown.call(printText, PALVEX_METHOD, {palvex_string("a"), palvex_i32(1)})
        .call(-7, PALVEX_METHOD, {})
        .call(printText, 3, {});
    size_t done = 99;
    EXPECT_EQ(run(r, unknown.bytes(), &done), PALVEX_NO_SUCH_MEMBER);
    EXPECT_EQ(done, 1u);
    EXPECT_EQ(detail(r), "palvex_invoke: no member has the identifier -7");
}

TEST_F(CBatch, ABufferThatIsNotWholeRunsNothingAndIsNotReadPastItsEnd) {
    palvex_control* r = m_controls[0];
    start(r, m_dirs[0]);
    const int32_t printText = id("printText");
    Calls whole;
    whole.call(printText, PALVEX_METHOD, {palvex_string("שלום"), palvex_i32(1)})
        .call(id("CurrentX"), PALVEX_PROPERTY_PUT, {palvex_double(100)})
        .call(printText, PALVEX_METHOD, {palvex_string("end"), palvex_i32(2)});
    const std::vector<uint8_t>& bytes = whole.bytes();
    const size_t firstCallEnds = 4 + 1 + 1 + (1 + 4 + std::strlen("שלום")) + (1 + 4);
    const size_t secondCallEnds = firstCallEnds + 4 + 1 + 1 + 1 + 8;

    // Every cut but those between calls leaves a call unfinished: nothing of it runs, not even
    // the whole calls before the cut.
    for (size_t size = 1; size < bytes.size(); ++size) {
        if (size == firstCallEnds || size == secondCallEnds) continue;
        const auto copy = exactCopy(bytes, size);
        size_t done = 99;
        ASSERT_EQ(palvex_invoke_batch(r, copy.get(), size, &done), PALVEX_INVALID_CALL) << size;
        EXPECT_EQ(done, 0u);
        EXPECT_EQ(detail(r).rfind("palvex_invoke_batch: call ", 0), 0u) << detail(r);
    }
    EXPECT_TRUE(recorded(r).empty());
    const size_t size = bytes.size();
    EXPECT_EQ(detail(r), "palvex_invoke_batch: call 2 ends past the buffer's " +
                             std::to_string(size - 1) + " bytes: a Long at byte " +
                             std::to_string(size - 4) + " needs 4");

    auto refusedWhole = [&](std::vector<uint8_t> bad, const std::string& words) {
        size_t done = 99;
        EXPECT_EQ(run(r, bad, &done), PALVEX_INVALID_CALL) << words;
        EXPECT_EQ(done, 0u);
        EXPECT_EQ(detail(r), words);
    };
    // A type that is none: what follows it cannot be read.
    std::vector<uint8_t> badType = bytes;
    badType[secondCallEnds + 6] = 8;
    refusedWhole(badType, "palvex_invoke_batch: call 2: 8 at byte " +
                              std::to_string(secondCallEnds + 6) + " is not a value type (0 to 7)");
    // A text's length that runs far past the end, so far an addition would wrap around.
    std::vector<uint8_t> huge = bytes;
    for (size_t i = 0; i < 4; ++i)
        huge[secondCallEnds + 7 + i] = 0xff;
    refusedWhole(huge, "palvex_invoke_batch: call 2 ends past the buffer's " +
                           std::to_string(size) + " bytes: a text at byte " +
                           std::to_string(secondCallEnds + 11) + " needs 4294967295");
    // A NUL inside a text would cut it short as a C string.
    std::vector<uint8_t> nul = bytes;
    nul[secondCallEnds + 12] = 0;
    refusedWhole(nul, "palvex_invoke_batch: call 2: the text at byte " +
                          std::to_string(secondCallEnds + 6) + " holds a NUL character");
    EXPECT_TRUE(recorded(r).empty());

    size_t done = 99;
    EXPECT_EQ(palvex_invoke_batch(r, nullptr, 10, &done), PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_invoke_batch(nullptr, bytes.data(), bytes.size(), &done), PALVEX_INVALID_CALL);
    // The whole buffer, at last, runs; done may be left out.
    EXPECT_EQ(run(r, bytes, nullptr), PALVEX_OK);
    EXPECT_EQ(recorded(r).size(), 2u);
}

TEST_F(CBatch, EventsArriveWhileTheBufferRunsAndTheHandlerMayCallTheControl) {
    palvex_control* r = m_controls[0];
    struct Seen {
        palvex_control* control;
        std::vector<std::string> messages;
        std::vector<size_t> itemsAtMessage;
    } seen{r, {}, {}};
    auto handler = [](void* context, int event, int32_t, const char* text) {
        auto* s = static_cast<Seen*>(context);
        if (event != PALVEX_EVENT_MESSAGE) return;
        s->messages.push_back(text);
        s->itemsAtMessage.push_back(recorded(s->control).size());
        // A call of the handler's own runs at once, between the buffer's.
        palvex_variant x = palvex_single(0);
        EXPECT_EQ(palvex_invoke(s->control, "CurrentX", PALVEX_PROPERTY_PUT, &x, 1, nullptr),
                  PALVEX_OK);
    };
    ASSERT_EQ(palvex_set_event_handler(r, handler, &seen), PALVEX_OK);
    start(r, m_dirs[0]);
    const int32_t printText = id("printText");
    Calls batch;
    batch.call(printText, PALVEX_METHOD, {palvex_string("before"), palvex_i32(2)})
        .call(id("FontSize"), PALVEX_PROPERTY_PUT, {palvex_single(-5)}) // a warning, as an event
        .call(printText, PALVEX_METHOD, {palvex_string("after"), palvex_i32(2)});
    size_t done = 0;
    ASSERT_EQ(run(r, batch.bytes(), &done), PALVEX_OK) << detail(r);
    EXPECT_EQ(done, 3u);
    ASSERT_EQ(seen.messages.size(), 1u);
    EXPECT_NE(seen.messages[0].find("FontSize"), std::string::npos);
    EXPECT_EQ(seen.itemsAtMessage[0], 1u); // raised by the second call, before the third ran
    const auto items = recorded(r);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].rfind("2 0,", 0), 0u) << items[1]; // at the x the handler set
}

TEST_F(CBatch, AHandlerThatDestroysTheControlHasTheRestOfTheBufferRefused) {
    palvex_control*& r = m_controls[0];
    auto destroyOnMessage = [](void* context, int event, int32_t, const char*) {
        if (event != PALVEX_EVENT_MESSAGE) return;
        auto** handle = static_cast<palvex_control**>(context);
        EXPECT_EQ(palvex_destroy(*handle), PALVEX_OK);
        *handle = nullptr;
    };
    ASSERT_EQ(palvex_set_event_handler(r, destroyOnMessage, &r), PALVEX_OK);
    palvex_control* const token = r;
    start(r, m_dirs[0]);
    Calls batch;
    batch.call(id("printText"), PALVEX_METHOD, {palvex_string("before"), palvex_i32(2)})
        .call(id("FontSize"), PALVEX_PROPERTY_PUT, {palvex_single(-5)}) // warns: destroyed
        .call(id("printText"), PALVEX_METHOD, {palvex_string("after"), palvex_i32(2)});
    size_t done = 0;
    EXPECT_EQ(run(token, batch.bytes(), &done), PALVEX_INVALID_CALL);
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(r, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace palvex::test
