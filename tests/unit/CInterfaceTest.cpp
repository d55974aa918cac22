// The C interface: values between the tagged union and the dispatch layer, who owns the strings
// that cross, the status of every refusal, and the event loop a C host runs.

#include "capi/CVariant.h"
#include "capi/Handle.h"
#include "core/Guarded.h"
#include "platform/DisplayPlatform.h"
#include "platform/MessageBoxes.h"
#include <palvex/palvex_c.h>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace palvex::test {
namespace {

const char* const Shalom = "שלום";

QWidget* widgetOf(palvex_control* control) {
    void* widget = nullptr;
    return palvex_widget(control, &widget) == PALVEX_OK ? static_cast<QWidget*>(widget) : nullptr;
}

Status conversionStatus(const palvex_variant& value, std::optional<ValueType> declared) {
    return guarded([&] { capi::fromC(value, declared); });
}

// ---- Values ------------------------------------------------------------------------------------

TEST(CValues, HebrewCrossesBothWaysAndTheLibrarysCopyIsOwned) {
    EXPECT_EQ(capi::fromC(palvex_string(Shalom), ValueType::String),
              Variant(QString::fromUtf8(Shalom)));
    palvex_variant out = palvex_empty();
    capi::toC(Variant(QString::fromUtf8(Shalom)), out);
    ASSERT_EQ(out.type, PALVEX_STRING);
    EXPECT_EQ(out.flags & PALVEX_OWNED, PALVEX_OWNED);
    EXPECT_STREQ(out.v.str, Shalom);
    palvex_variant_clear(&out);
    EXPECT_EQ(out.type, PALVEX_EMPTY);
    EXPECT_EQ(out.v.str, nullptr);

    // A borrowed string is only forgotten, never freed: clearing a literal must not crash.
    palvex_variant borrowed = palvex_string(Shalom);
    palvex_variant_clear(&borrowed);
    EXPECT_EQ(borrowed.type, PALVEX_EMPTY);
    palvex_variant_clear(nullptr);
    EXPECT_EQ(capi::fromC(palvex_string(nullptr), ValueType::String), Variant(QString()));
}

TEST(CValues, EmptyIsTheDeclaredTypesZeroAndOmittedStaysOmitted) {
    EXPECT_EQ(capi::fromC(palvex_empty(), ValueType::Boolean), Variant(false));
    EXPECT_EQ(capi::fromC(palvex_empty(), ValueType::Integer), Variant(int16_t(0)));
    EXPECT_EQ(capi::fromC(palvex_empty(), ValueType::Enumeration), Variant(int32_t(0)));
    EXPECT_EQ(capi::fromC(palvex_empty(), ValueType::Single), Variant(0.0f));
    EXPECT_EQ(capi::fromC(palvex_empty(), ValueType::String), Variant(QString()));
    EXPECT_TRUE(capi::fromC(palvex_empty(), std::nullopt).isMissing());
    EXPECT_TRUE(capi::fromC(palvex_missing(), ValueType::Integer).isMissing());
    EXPECT_EQ(conversionStatus(palvex_empty(), ValueType::Font), Status::TypeMismatch);
    palvex_variant unknown = palvex_i16(1);
    unknown.type = 99;
    EXPECT_EQ(conversionStatus(unknown, ValueType::Integer), Status::TypeMismatch);
}

TEST(CValues, TrueComesBackAsOneNothingAsEmptyAndAFontIsRefused) {
    palvex_variant out = palvex_empty();
    capi::toC(Variant(true), out);
    EXPECT_EQ(out.type, PALVEX_BOOL);
    EXPECT_EQ(out.v.b, 1); // not the automation runtime's -1
    capi::toC(Variant::missing(), out);
    EXPECT_EQ(out.type, PALVEX_EMPTY);

    out = palvex_i16(5);
    EXPECT_EQ(guarded([&] { capi::toC(Variant(QFont()), out); }), Status::TypeMismatch);
    EXPECT_EQ(out.type, PALVEX_I16); // untouched
}

// ---- Calls -------------------------------------------------------------------------------------

class CCalls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(palvex_app_ensure(0, nullptr), PALVEX_OK); // the test's own application
        ASSERT_EQ(palvex_create(&m_control), PALVEX_OK);
        ASSERT_NE(m_control, nullptr);
        // A warning would otherwise wait in a message box for someone to press OK.
        ASSERT_EQ(put("MessagesToHost", palvex_bool(1)), PALVEX_OK);
    }
    void TearDown() override { EXPECT_EQ(palvex_destroy(m_control), PALVEX_OK); }

    int put(const char* name, palvex_variant value) {
        return palvex_invoke(m_control, name, PALVEX_PROPERTY_PUT, &value, 1, nullptr);
    }
    void startRecording() {
        const QByteArray folder = QDir(m_dir.path()).absolutePath().toUtf8();
        ASSERT_EQ(put("WorkingFolder", palvex_string(folder.constData())), PALVEX_OK);
        ASSERT_EQ(
            palvex_invoke(m_control, "StartPalvexPrintPreview", PALVEX_METHOD, nullptr, 0, nullptr),
            PALVEX_OK);
    }

    QTemporaryDir m_dir;
    palvex_control* m_control = nullptr;
};

TEST_F(CCalls, AHebrewFolderNameComesBackAsTheLibrarysOwnString) {
    const std::string folder = m_dir.path().toStdString() + "/" + Shalom;
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    ASSERT_EQ(put("WorkingFolder", palvex_string(folder.c_str())), PALVEX_OK);
    palvex_variant result = palvex_i32(1);
    ASSERT_EQ(palvex_invoke(m_control, "workingfolder", PALVEX_PROPERTY_GET, nullptr, 0, &result),
              PALVEX_OK);
    ASSERT_EQ(result.type, PALVEX_STRING);
    EXPECT_TRUE(result.flags & PALVEX_OWNED);
    EXPECT_EQ(std::string(result.v.str).rfind(Shalom), folder.size() - std::strlen(Shalom));
    palvex_variant_clear(&result);
}

TEST_F(CCalls, AByReferenceArgumentComesBackInTheDeclaredTypeOnlyWhenChanged) {
    startRecording();
    // printText's text is a String by reference: a number passed there returns as its text.
    palvex_variant text[2] = {palvex_i32(42), palvex_i32(2)};
    ASSERT_EQ(palvex_invoke(m_control, "printText", PALVEX_METHOD, text, 2, nullptr), PALVEX_OK);
    ASSERT_EQ(text[0].type, PALVEX_STRING);
    EXPECT_STREQ(text[0].v.str, "42");
    EXPECT_EQ(text[0].flags, PALVEX_OWNED | PALVEX_WRITTEN);
    EXPECT_EQ(text[1].type, PALVEX_I32); // Long declared, unchanged: left as passed
    EXPECT_EQ(text[1].flags, 0u);
    palvex_variant_clear(&text[0]);

    // A borrowed string the member leaves as it was stays the caller's pointer.
    palvex_variant same[2] = {palvex_string(Shalom), palvex_i32(2)};
    ASSERT_EQ(palvex_invoke(m_control, "printText", PALVEX_METHOD, same, 2, nullptr), PALVEX_OK);
    EXPECT_EQ(same[0].v.str, Shalom);
    EXPECT_EQ(same[0].flags, 0u);
}

TEST_F(CCalls, ConversionFailuresAndOmissionsAreTheDispatchStatuses) {
    startRecording();
    palvex_variant line[9] = {palvex_single(0), palvex_single(0),  palvex_single(100),
                              palvex_single(0), palvex_i32(0),     palvex_i32(0),
                              palvex_i32(0),    palvex_i32(40000), palvex_i32(0)};
    EXPECT_EQ(palvex_invoke(m_control, "printLine", PALVEX_METHOD, line, 9, nullptr),
              PALVEX_OVERFLOW);
    EXPECT_EQ(line[7].type, PALVEX_I32); // nothing ran, nothing came back
    line[7] = palvex_missing();
    EXPECT_EQ(palvex_invoke(m_control, "printLine", PALVEX_METHOD, line, 9, nullptr),
              PALVEX_ARGUMENT_NOT_OPTIONAL);
    line[7] = palvex_empty(); // an uninitialised Integer: 0, raised to 1 by the member
    EXPECT_EQ(palvex_invoke(m_control, "printLine", PALVEX_METHOD, line, 9, nullptr), PALVEX_OK);
    EXPECT_EQ(line[7].type, PALVEX_I16);
    EXPECT_EQ(line[7].v.i16, 1);
}

TEST_F(CCalls, RefusalsHaveStatusesAndLeaveNoResult) {
    palvex_variant result = palvex_i32(9);
    EXPECT_EQ(palvex_invoke(nullptr, "About", PALVEX_METHOD, nullptr, 0, &result),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_invoke(m_control, nullptr, PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_invoke(m_control, "printLastPage", 3, nullptr, 0, nullptr),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_invoke(m_control, "printLastPage", PALVEX_METHOD, nullptr, 1, nullptr),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_invoke(m_control, "printLastPage", PALVEX_METHOD, nullptr, -1, nullptr),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_invoke(m_control, "nothing like it", PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_NO_SUCH_MEMBER);
    EXPECT_EQ(palvex_invoke_id(m_control, -1, PALVEX_METHOD, nullptr, 0, &result),
              PALVEX_NO_SUCH_MEMBER);
    EXPECT_EQ(result.type, PALVEX_EMPTY);
    // Font has no C value: reading it is a type mismatch with nothing in the result, and its
    // own words, not those of the refusal before it.
    EXPECT_EQ(palvex_invoke(m_control, "Font", PALVEX_PROPERTY_GET, nullptr, 0, &result),
              PALVEX_TYPE_MISMATCH);
    EXPECT_EQ(result.type, PALVEX_EMPTY);
    EXPECT_EQ(
        std::string(palvex_last_error_detail(m_control)).rfind("Font: the value is a font", 0), 0u);

    int32_t id = 0;
    ASSERT_EQ(palvex_id_of_name(m_control, "FONTNAME", &id), PALVEX_OK);
    EXPECT_EQ(palvex_id_of_name(m_control, "FontName", nullptr), PALVEX_INVALID_CALL);
    ASSERT_EQ(palvex_invoke_id(m_control, id, PALVEX_PROPERTY_PUT,
                               std::array{palvex_string(Shalom)}.data(), 1, nullptr),
              PALVEX_OK);
    EXPECT_STREQ(palvex_status_text(0), "success");
    EXPECT_STREQ(palvex_status_text(12345), "");
    EXPECT_STRNE(palvex_status_text(PALVEX_NO_SUCH_MEMBER), "");
}

// A refusal says which member refused, and why, through palvex_last_error_detail.
TEST_F(CCalls, EveryRefusalSaysWhy) {
    auto detail = [&] { return std::string(palvex_last_error_detail(m_control)); };
    EXPECT_EQ(detail(), "");
    EXPECT_EQ(palvex_invoke(m_control, "ExportPdf", PALVEX_METHOD,
                            std::array{palvex_string("a.pdf")}.data(), 1, nullptr),
              52);
    EXPECT_EQ(detail().rfind("ExportPdf: there is no report; call StartPalvexPrintPreview", 0), 0u)
        << detail();
    startRecording();
    // Refusals made before the member runs name the argument at fault.
    EXPECT_EQ(palvex_invoke(m_control, "printText", PALVEX_METHOD,
                            std::array{palvex_string("x")}.data(), 1, nullptr),
              PALVEX_ARGUMENT_NOT_OPTIONAL);
    EXPECT_EQ(detail(), "printText: argument Entr is not optional");
    EXPECT_EQ(palvex_invoke(m_control, "printText", PALVEX_METHOD,
                            std::array{palvex_string("x"), palvex_string("later")}.data(), 2,
                            nullptr),
              PALVEX_TYPE_MISMATCH);
    EXPECT_EQ(detail(), "printText: argument Entr: \"later\" is not a number");
    EXPECT_EQ(put("TableLines", palvex_i32(70000)), PALVEX_OVERFLOW);
    EXPECT_EQ(detail(), "TableLines: the value 70000 is not a whole number from -32768 to 32767");
    EXPECT_EQ(palvex_invoke(m_control, "Plugh", PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_NO_SUCH_MEMBER);
    EXPECT_EQ(detail(), "palvex_invoke: the control has no member named \"Plugh\"");
    // The member's own reason.
    EXPECT_EQ(put("CodePage", palvex_i32(77777)), 380);
    EXPECT_EQ(detail().rfind("CodePage: code page 77777 is not one", 0), 0u) << detail();
    // A success leaves the last refusal's words as they were.
    EXPECT_EQ(put("CurrentX", palvex_single(100)), PALVEX_OK);
    EXPECT_EQ(detail().rfind("CodePage: ", 0), 0u);
    EXPECT_STREQ(palvex_last_error_detail(nullptr),
                 "palvex_last_error_detail: the handle is not a live control");
}

// Bytes that are not UTF-8 would become U+FFFD: another text, another title, another file.
// They are refused with the argument named, and nothing is recorded or written.
TEST_F(CCalls, TextsThatAreNotUtf8AreRefusedNotReplaced) {
    startRecording();
    const char* latin1 = "caf\xe9";         // é in Latin-1
    const char* truncated = "\xd7\xa9\xd7"; // שׁ cut inside its second letter
    for (const char* bad : {latin1, truncated}) {
        EXPECT_EQ(palvex_invoke(m_control, "printText", PALVEX_METHOD,
                                std::array{palvex_string(bad), palvex_i32(2)}.data(), 2, nullptr),
                  PALVEX_TYPE_MISMATCH);
        EXPECT_EQ(std::string(palvex_last_error_detail(m_control)),
                  "printText: argument TXT is not valid UTF-8");
        EXPECT_EQ(put("DocumentTitle", palvex_string(bad)), PALVEX_TYPE_MISMATCH);
        EXPECT_EQ(std::string(palvex_last_error_detail(m_control)),
                  "DocumentTitle: the value is not valid UTF-8");
        EXPECT_EQ(put("PageNumberFormat", palvex_string(bad)), PALVEX_TYPE_MISMATCH);
    }
    palvex_variant count = palvex_empty();
    ASSERT_EQ(palvex_invoke(m_control, "printText", PALVEX_METHOD,
                            std::array{palvex_string("x"), palvex_i32(2)}.data(), 2, nullptr),
              PALVEX_OK);
    ASSERT_EQ(palvex_invoke(m_control, "printLastPage", PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_OK);
    const std::string folder = QDir(m_dir.path()).absolutePath().toStdString();
    const std::string latinPath = folder + "/caf\xe9.pdf";
    EXPECT_EQ(palvex_invoke(m_control, "ExportPdf", PALVEX_METHOD,
                            std::array{palvex_string(latinPath.c_str())}.data(), 1, nullptr),
              PALVEX_TYPE_MISMATCH);
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("*.pdf")}), QStringList());
    ASSERT_EQ(palvex_invoke(m_control, "PageCount", PALVEX_PROPERTY_GET, nullptr, 0, &count),
              PALVEX_OK);
    EXPECT_EQ(count.v.i32, 1);
}

TEST_F(CCalls, AnotherThreadIsRefusedAndChangesNothing) {
    int created = -1, called = -1;
    palvex_control* other = nullptr;
    std::thread([&] {
        created = palvex_create(&other);
        called =
            palvex_invoke(m_control, "StartPalvexPrintPreview", PALVEX_METHOD, nullptr, 0, nullptr);
    }).join();
    EXPECT_EQ(created, PALVEX_INVALID_CALL);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(called, PALVEX_INVALID_CALL);
}

TEST_F(CCalls, AnotherThreadsReleaseDestroysTheControlOnTheApplicationsThread) {
    startRecording(); // on screen
    palvex_control* other = nullptr;
    ASSERT_EQ(palvex_create(&other), PALVEX_OK);
    QPointer<QWidget> widget = widgetOf(other);
    int released = -1;
    std::thread([&] { released = palvex_destroy(other); }).join();
    EXPECT_EQ(released, PALVEX_OK);
    ASSERT_FALSE(widget.isNull()); // not deleted on the releasing thread
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(widget.isNull());
}

TEST_F(CCalls, EveryRefusalLeavesAnEmptyResultToClear) {
    palvex_variant result;
    std::memset(&result, 0xAB, sizeof result); // an uninitialised variable
    EXPECT_EQ(palvex_invoke(m_control, "no such member", PALVEX_METHOD, nullptr, 0, &result),
              PALVEX_NO_SUCH_MEMBER);
    EXPECT_EQ(result.type, PALVEX_EMPTY);
    std::memset(&result, 0xAB, sizeof result);
    EXPECT_EQ(palvex_invoke(nullptr, "About", PALVEX_METHOD, nullptr, 0, &result),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(result.type, PALVEX_EMPTY);
    std::memset(&result, 0xAB, sizeof result);
    std::thread([&] {
        EXPECT_EQ(palvex_invoke_id(m_control, 0x68030010, PALVEX_PROPERTY_GET, nullptr, 0, &result),
                  PALVEX_INVALID_CALL);
    }).join();
    EXPECT_EQ(result.type, PALVEX_EMPTY);
    EXPECT_EQ(result.flags, 0u);
}

// Where nothing shown can be seen, no one could close a preview: the loop returns at once, as
// it does with nothing on screen anywhere. The application the host chose is not one without a
// display, so a shown preview is not refused.
TEST_F(CCalls, OffscreenTheEventLoopReturnsAtOnceEvenWithAPreviewShown) {
    if (!DisplayPlatform::screenless()) GTEST_SKIP() << "on a display";
    EXPECT_EQ(palvex_app_exec(), PALVEX_OK);
    startRecording();
    ASSERT_TRUE(widgetOf(m_control)->isVisible());
    EXPECT_EQ(palvex_app_without_display(), 0);
    EXPECT_EQ(palvex_app_exec(), PALVEX_OK);
    int showing = -1;
    EXPECT_EQ(palvex_app_exec_for(60000, &showing), PALVEX_OK);
    EXPECT_EQ(showing, 0);
}

// On a display (run under Xvfb by ctest's OnDisplay test), the loop runs while a preview is
// shown and ends when it closes.
TEST_F(CCalls, OnDisplayTheEventLoopRunsWhileAPreviewIsShownAndEndsWhenItCloses) {
    if (DisplayPlatform::screenless()) GTEST_SKIP() << "needs a display (ctest runs it under Xvfb)";
    EXPECT_EQ(palvex_app_exec(), PALVEX_OK); // nothing on screen: returns at once

    startRecording(); // the preview start shows the control as its own window
    QWidget& control = *widgetOf(m_control);
    ASSERT_TRUE(control.isVisible());
    QPushButton* close = nullptr;
    for (auto* button : control.findChildren<QPushButton*>(QStringLiteral("cmd")))
        if (button->property("index").toInt() == 0) close = button;
    ASSERT_NE(close, nullptr);

    // A loop that never ended would hang the suite: the guard ends it, and the test fails.
    bool guardFired = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        guardFired = true;
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->hide();
    });
    guard.start(10000);
    // A slice of the loop returns with the preview still shown.
    int showing = -1;
    EXPECT_EQ(palvex_app_exec_for(50, &showing), PALVEX_OK);
    EXPECT_EQ(showing, 1);
    QTimer::singleShot(0, close, &QPushButton::click);
    EXPECT_EQ(palvex_app_exec(), PALVEX_OK);
    EXPECT_FALSE(guardFired) << "the Close button did not end the loop";
    EXPECT_FALSE(control.isVisible());

    // Destroying the control whose preview is shown ends the loop as well.
    palvex_control* second = nullptr;
    ASSERT_EQ(palvex_create(&second), PALVEX_OK);
    const QByteArray folder = QDir(m_dir.path()).absolutePath().toUtf8() + "/second";
    ASSERT_TRUE(QDir().mkpath(QString::fromUtf8(folder)));
    palvex_variant value = palvex_string(folder.constData());
    ASSERT_EQ(palvex_invoke(second, "WorkingFolder", PALVEX_PROPERTY_PUT, &value, 1, nullptr),
              PALVEX_OK);
    ASSERT_EQ(palvex_invoke(second, "StartPalvexPrintPreview", PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_OK);
    QTimer::singleShot(0, [&] { palvex_destroy(second); });
    EXPECT_EQ(palvex_app_exec(), PALVEX_OK);
    EXPECT_FALSE(guardFired) << "destroying the control did not end the loop";
}

// A handle is checked, not followed: one destroyed already, NULL or made up gets status 5, a
// line on standard error, an empty result, and never a crash (the sanitizers watch this).
TEST_F(CCalls, CallsThroughADestroyedOrMadeUpHandleAreRefused) {
    palvex_control* gone = nullptr;
    ASSERT_EQ(palvex_create(&gone), PALVEX_OK);
    ASSERT_EQ(palvex_destroy(gone), PALVEX_OK);
    // A new control made since must not answer for the destroyed one.
    palvex_control* fresh = nullptr;
    ASSERT_EQ(palvex_create(&fresh), PALVEX_OK);
    EXPECT_NE(fresh, gone);
    palvex_control* madeUp = reinterpret_cast<palvex_control*>(uintptr_t(0xdeadbee0));
    for (palvex_control* handle : {gone, madeUp, static_cast<palvex_control*>(nullptr)}) {
        palvex_variant result;
        std::memset(&result, 0xAB, sizeof result);
        EXPECT_EQ(palvex_invoke(handle, "FontName", PALVEX_PROPERTY_GET, nullptr, 0, &result),
                  PALVEX_INVALID_CALL);
        EXPECT_EQ(result.type, PALVEX_EMPTY);
        EXPECT_EQ(palvex_invoke_id(handle, 0x68030010, PALVEX_PROPERTY_GET, nullptr, 0, &result),
                  PALVEX_INVALID_CALL);
        int32_t id = 0;
        EXPECT_EQ(palvex_id_of_name(handle, "About", &id), PALVEX_INVALID_CALL);
        void* widget = &id;
        EXPECT_EQ(palvex_widget(handle, &widget), PALVEX_INVALID_CALL);
        EXPECT_EQ(widget, nullptr);
        EXPECT_EQ(palvex_set_event_handler(handle, nullptr, nullptr), PALVEX_INVALID_CALL);
    }
    EXPECT_EQ(palvex_destroy(gone), PALVEX_INVALID_CALL); // twice
    EXPECT_EQ(palvex_destroy(madeUp), PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_destroy(nullptr), PALVEX_OK);
    std::thread([&] { EXPECT_EQ(palvex_destroy(gone), PALVEX_INVALID_CALL); }).join();
    palvex_variant value = palvex_string("David CLM");
    EXPECT_EQ(palvex_invoke(fresh, "FontName", PALVEX_PROPERTY_PUT, &value, 1, nullptr), PALVEX_OK);
    EXPECT_EQ(palvex_destroy(fresh), PALVEX_OK);
}

TEST_F(CCalls, AControlItsHostsWindowDestroyedRefusesCallsAndItsHandleStillReleases) {
    void* widget = nullptr;
    ASSERT_EQ(palvex_widget(m_control, &widget), PALVEX_OK);
    ASSERT_NE(widget, nullptr);
    {
        QWidget hostWindow;
        static_cast<QWidget*>(widget)->setParent(&hostWindow);
    } // the host's window takes the control with it
    EXPECT_EQ(put("FontName", palvex_string(Shalom)), PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_widget(m_control, &widget), PALVEX_INVALID_CALL);
    EXPECT_EQ(widget, nullptr);
    // TearDown's palvex_destroy must release the handle without touching the gone control.
}

TEST_F(CCalls, EventsReachTheHostsHandlerUntilItIsRemoved) {
    struct Event {
        int kind;
        int32_t number;
        std::string text;
    };
    std::vector<Event> events;
    auto record = [](void* context, int kind, int32_t number, const char* text) {
        static_cast<std::vector<Event>*>(context)->push_back({kind, number, text});
    };
    ASSERT_EQ(palvex_set_event_handler(m_control, record, &events), PALVEX_OK);
    startRecording();
    palvex_variant size = palvex_single(-5);
    ASSERT_EQ(palvex_invoke(m_control, "FontSize", PALVEX_PROPERTY_PUT, &size, 1, nullptr),
              PALVEX_OK); // refused with a warning, which MessagesToHost sends here
    ASSERT_EQ(palvex_invoke(m_control, "printLastPage", PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_OK);
    auto count = [&](int kind) {
        return std::count_if(events.begin(), events.end(),
                             [&](const Event& e) { return e.kind == kind; });
    };
    EXPECT_EQ(count(PALVEX_EVENT_MESSAGE), 1);
    for (const Event& e : events) {
        if (e.kind == PALVEX_EVENT_MESSAGE) {
            EXPECT_NE(e.text.find("FontSize"), std::string::npos);
        }
    }
    ASSERT_EQ(count(PALVEX_EVENT_PAGE_SHOWN), 1);
    EXPECT_EQ(std::find_if(events.begin(), events.end(),
                           [](const Event& e) { return e.kind == PALVEX_EVENT_PAGE_SHOWN; })
                  ->number,
              1);

    ASSERT_EQ(palvex_set_event_handler(m_control, nullptr, nullptr), PALVEX_OK);
    const size_t before = events.size();
    ASSERT_EQ(palvex_invoke(m_control, "FontSize", PALVEX_PROPERTY_PUT, &size, 1, nullptr),
              PALVEX_OK);
    EXPECT_EQ(events.size(), before);
    EXPECT_EQ(palvex_set_event_handler(nullptr, record, &events), PALVEX_INVALID_CALL);
}

TEST_F(CCalls, AHandlerMayReleaseTheControlThatSentTheEvent) {
    palvex_control* other = nullptr;
    ASSERT_EQ(palvex_create(&other), PALVEX_OK);
    QPointer<QWidget> widget = widgetOf(other);
    auto releaseOnClose = [](void* context, int event, int32_t, const char*) {
        if (event == PALVEX_EVENT_CLOSED) {
            auto** handle = static_cast<palvex_control**>(context);
            EXPECT_EQ(palvex_destroy(*handle), PALVEX_OK);
            *handle = nullptr;
        }
    };
    ASSERT_EQ(palvex_set_event_handler(other, releaseOnClose, &other), PALVEX_OK);
    const QByteArray folder = QDir(m_dir.path()).absolutePath().toUtf8();
    palvex_variant value = palvex_string(folder.constData());
    ASSERT_EQ(palvex_invoke(other, "WorkingFolder", PALVEX_PROPERTY_PUT, &value, 1, nullptr),
              PALVEX_OK);
    ASSERT_EQ(palvex_invoke(other, "StartPalvexPrintPreview", PALVEX_METHOD, nullptr, 0, nullptr),
              PALVEX_OK);
    QPushButton* close = nullptr;
    for (auto* button : widget->findChildren<QPushButton*>(QStringLiteral("cmd")))
        if (button->property("index").toInt() == 0) close = button;
    ASSERT_NE(close, nullptr);
    close->click(); // the handler releases the handle inside the control's own Close
    EXPECT_EQ(other, nullptr);
    ASSERT_FALSE(widget.isNull());
    EXPECT_FALSE(widget->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
}

// ---- What the library offers -------------------------------------------------------------------

TEST(CIntrospection, TheStatusListingNamesEveryStatusThatHasAText) {
    // describe() is the switch the compiler checks against the enumeration; the listing must
    // hold exactly the numbers it describes, in increasing order, each name once.
    std::vector<int32_t> described;
    for (int32_t number = 0; number < 65536; ++number)
        if (palvex_status_text(number)[0] != '\0') described.push_back(number);
    std::vector<int32_t> listed;
    std::set<std::string> names;
    for (int index = 0; index < palvex_status_count(); ++index) {
        int32_t number = -1;
        const char* name = nullptr;
        ASSERT_EQ(palvex_status_info(index, &number, &name), PALVEX_OK);
        ASSERT_NE(name, nullptr);
        EXPECT_TRUE(names.insert(name).second) << name;
        listed.push_back(number);
    }
    EXPECT_EQ(listed, described);
    int32_t number = -1;
    const char* name = nullptr;
    ASSERT_EQ(palvex_status_info(1, &number, &name), PALVEX_OK);
    EXPECT_EQ(number, PALVEX_INVALID_CALL);
    EXPECT_STREQ(name, "InvalidProcedureCall");
    EXPECT_EQ(palvex_status_info(-1, &number, &name), PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_status_info(palvex_status_count(), nullptr, nullptr), PALVEX_INVALID_CALL);
}

TEST(CIntrospection, MembersParametersAndEnumerationsAreTheTables) {
    ASSERT_EQ(palvex_member_count(), int(members().size()));
    bool sawLine = false, sawFont = false, sawHidden = false;
    for (int index = 0; index < palvex_member_count(); ++index) {
        const char* name = nullptr;
        int32_t id = 0;
        int kinds = 0, valueType = 0, count = 0;
        ASSERT_EQ(palvex_member_info(index, &name, &id, &kinds, &valueType, nullptr, &count),
                  PALVEX_OK);
        const MemberInfo& member = members()[size_t(index)];
        ASSERT_EQ(std::string(name), member.name);
        EXPECT_EQ(id, member.id);
        EXPECT_EQ(count, int(member.params.size()));
        sawHidden |= (kinds & PALVEX_MEMBER_HIDDEN) != 0;
        if (member.name == "printLine") {
            sawLine = true;
            EXPECT_EQ(kinds, PALVEX_METHOD);
            EXPECT_EQ(valueType, PALVEX_EMPTY);
            const char* param = nullptr;
            const char* enumName = nullptr;
            int type = 0;
            unsigned flags = 0;
            ASSERT_EQ(palvex_param_info(index, 7, &param, &type, &flags, &enumName), PALVEX_OK);
            EXPECT_STREQ(param, "lDrawWidth");
            EXPECT_EQ(type, PALVEX_I16);
            // The member raises a width below 1: its own value may come back.
            EXPECT_EQ(flags, PALVEX_PARAM_BYREF | PALVEX_PARAM_SET_BY_MEMBER);
            ASSERT_EQ(palvex_param_info(index, 0, &param, &type, &flags, &enumName), PALVEX_OK);
            EXPECT_STREQ(param, "lStartCurX");
            EXPECT_EQ(flags, PALVEX_PARAM_BYREF); // only read
            EXPECT_STREQ(enumName, "");
            ASSERT_EQ(palvex_param_info(index, 8, &param, &type, nullptr, &enumName), PALVEX_OK);
            EXPECT_EQ(type, PALVEX_I32);
            EXPECT_STREQ(enumName, "AlignType");
            EXPECT_EQ(palvex_param_info(index, 9, &param, &type, &flags, &enumName),
                      PALVEX_INVALID_CALL);
        }
        if (member.name == "Font") {
            sawFont = true;
            EXPECT_EQ(kinds, PALVEX_PROPERTY_GET | PALVEX_PROPERTY_PUTREF);
            EXPECT_EQ(valueType, PALVEX_NO_C_TYPE);
        }
    }
    EXPECT_TRUE(sawLine && sawFont && sawHidden);
    EXPECT_EQ(palvex_member_info(-1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              PALVEX_INVALID_CALL);
    EXPECT_EQ(palvex_member_info(palvex_member_count(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr),
              PALVEX_INVALID_CALL);

    ASSERT_EQ(palvex_enum_count(), int(enumerations().size()));
    const char* name = nullptr;
    int count = 0;
    int32_t number = -1;
    for (int index = 0; index < palvex_enum_count(); ++index) {
        ASSERT_EQ(palvex_enum_info(index, &name, &count), PALVEX_OK);
        if (std::string(name) != "AfterPrintType") continue;
        ASSERT_EQ(count, 2);
        ASSERT_EQ(palvex_enum_value(index, 1, &name, &number), PALVEX_OK);
        EXPECT_STREQ(name, "A2_JumpToNextLine");
        EXPECT_EQ(number, 2);
        EXPECT_EQ(palvex_enum_value(index, 2, &name, &number), PALVEX_INVALID_CALL);
    }
    EXPECT_EQ(number, 2) << "AfterPrintType was not among the enumerations";

    // A binding may load on any thread, whatever thread runs the application.
    int fromThread = -1;
    std::thread([&] {
        fromThread = palvex_member_info(0, &name, nullptr, nullptr, nullptr, nullptr, nullptr);
    }).join();
    EXPECT_EQ(fromThread, PALVEX_OK);
}

// ---- Message boxes where nobody can answer -----------------------------------------------------

TEST(HeadlessMessageBoxes, AnswerAtOnceAsTheirFirstButtonInsteadOfWaiting) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QtMessageBoxes boxes;
    EXPECT_EQ(boxes.show(QStringLiteral("שלום"), MessageBoxes::Exclamation, nullptr),
              MessageBoxes::AnswerOk);
    EXPECT_EQ(boxes.show(QStringLiteral("?"), MessageBoxes::YesNo, nullptr),
              MessageBoxes::AnswerYes);
}

} // namespace
} // namespace palvex::test
