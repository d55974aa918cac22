#pragma once

// A control recording into a fresh temporary directory, with scripted message boxes and the
// built-in PDF printer, so page sizes and messages are the same on every machine.

#include "PalvexPrivate.h"
#include "platform/ImageSurface.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/TextMetrics.h"
#include "preview/PageRenderer.h"
#include "recording/ReportStore.h"
#include <palvex/Dispatch.h>
#include <palvex/Palvex.h>

#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace palvex::test {

// A Hebrew or mixed literal, as the tests write them.
inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline Platform testPlatform(QList<PrinterDevice> printers = {Printers::pdfDevice()},
                             float screenWidth = 9600) {
    Platform platform;
    platform.screen = std::make_shared<Screen>(screenWidth, 7200.0f);
    platform.messageBoxes = std::make_shared<ScriptedMessageBoxes>();
    platform.printers = std::make_shared<FixedPrinters>(std::move(printers));
    return platform;
}

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path().toStdString());
        m_control = makeControl();
    }
    void TearDown() override {
        m_control.reset();
        std::filesystem::current_path(m_previous);
    }

    virtual std::unique_ptr<Palvex> makeControl(Ambient ambient = {}) {
        m_platform = testPlatform();
        return std::make_unique<Palvex>(m_platform, ambient);
    }

    Palvex& ctl() { return *m_control; }
    ScriptedMessageBoxes& boxes() {
        return static_cast<ScriptedMessageBoxes&>(*m_platform.messageBoxes);
    }
    const ReportStore& store() { return m_control->internals().reportStore(); }
    PrintItem item(int32_t n) { return store().read(n); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void start() { ASSERT_EQ(ctl().StartPalvexPrintPreview(), Status::Ok); }
    // A report stored in UTF-8, in Liberation Sans 10 pt: the layout tests' Hebrew and English.
    void startInUtf8() {
        ASSERT_EQ(ctl().let_CodePage(65001), Status::Ok);
        start();
        ASSERT_EQ(ctl().let_FontName(QStringLiteral("Liberation Sans")), Status::Ok);
        ASSERT_EQ(ctl().let_FontSize(10), Status::Ok);
    }

    // Recording calls with literal arguments.
    Status text(const QString& s, int32_t entr = A1_StayWhereYouAre) {
        QString t = s;
        auto e = AfterPrintType(entr);
        return ctl().printText(t, e);
    }
    Status right(const QString& s, int32_t entr = A1_StayWhereYouAre) {
        QString t = s;
        auto e = AfterPrintType(entr);
        return ctl().RightIT(t, e);
    }
    Status left(const QString& s, int32_t entr = A1_StayWhereYouAre) {
        QString t = s;
        return ctl().LeftIT(t, AfterPrintType(entr));
    }
    Status center(const QString& s, int32_t entr = A1_StayWhereYouAre) {
        QString t = s;
        auto e = AfterPrintType(entr);
        return ctl().centerIT(t, e);
    }
    // A table's columns, each right-aligned, with its header text ("" for none).
    void tableColumns(std::initializer_list<std::pair<float, const char*>> cols) {
        ASSERT_EQ(ctl().TableClear(), Status::Ok);
        for (const auto& [width, header] : cols)
            ASSERT_EQ(ctl().TableAddColumn(width, 1, u(header)), Status::Ok);
    }
    float textWidth(const QString& s) {
        float w = 0;
        EXPECT_EQ(ctl().TextWidth(s, out(w)), Status::Ok);
        return w;
    }
    // The preview's child controls, as a person would use them.
    template <class W> W* child(const char* name) {
        return ctl().findChild<W*>(QString::fromLatin1(name));
    }
    QPushButton* button(int index) {
        for (QPushButton* b : ctl().findChildren<QPushButton*>(QStringLiteral("cmd")))
            if (b->property("index").toInt() == index) return b;
        return nullptr;
    }
    void click(int index) { button(index)->click(); }
    // Selects a list entry and raises the list's click event.
    void select(const char* list, int index) {
        auto* c = child<QComboBox>(list);
        c->setCurrentIndex(index);
        emit c->activated(index);
    }

    // `count` pages of `lines` lines each, then the report's end.
    void pages(int count, int lines = 3) {
        for (int p = 0; p < count; ++p) {
            for (int l = 0; l < lines; ++l)
                ASSERT_EQ(text(QStringLiteral("page %1 line %2").arg(p + 1).arg(l + 1),
                               A2_JumpToNextLine),
                          Status::Ok);
            if (p + 1 < count) {
                ASSERT_EQ(ctl().printPage(), Status::Ok);
            }
        }
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    }

    // Searches the shown report as a user does: the search panel's text and its Search button.
    void search(const QString& text) {
        child<QLineEdit>("txtSearch")->setText(text);
        child<QPushButton>("cmdSearch")->click();
    }
    // The canvas pixels, in a drawn text's box on the page as drawn, of which `is` holds.
    int pixelsIn(const DrawnText& drawn, const std::function<bool(const QColor&)>& is) {
        const QImage& page = ctl().internals().canvasImage();
        const ImageSurface& canvas = ctl().internals().canvas();
        const double sx = page.width() / double(canvas.Width());
        const double sy = page.height() / double(canvas.Height());
        const double right = canvas.originX() + canvas.ScaleWidth() - drawn.x;
        const int left = std::max(0, int((right - drawn.width) * sx)),
                  last = std::min(page.width() - 1, int(right * sx));
        const int top = std::max(0, int((canvas.originY() + drawn.y) * sy));
        const int bottom = std::min(page.height() - 1,
                                    int((canvas.originY() + drawn.y + lineHeightOf(drawn)) * sy));
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= last; ++x)
                count += is(page.pixelColor(x, y));
        return count;
    }
    static bool isMagenta(const QColor& c) {
        return c.red() > 200 && c.blue() > 200 && c.green() < 80;
    }
    static bool isInk(const QColor& c) { return c.lightness() < 128; }
    // The drawn text items of the page shown whose text contains `part`.
    std::vector<DrawnText> drawnWith(const QString& part) {
        std::vector<DrawnText> found;
        for (const DrawnText& d : ctl().internals().renderer().drawn)
            if (d.text.contains(part)) found.push_back(d);
        return found;
    }

    float lineHeight() {
        float h = 0;
        EXPECT_EQ(ctl().TextHeight(QString(), out(h)), Status::Ok);
        return h;
    }

    static double lineHeightOf(const DrawnText& drawn) {
        return TextMetrics::lineHeight(drawn.font);
    }

    Platform m_platform;
    QTemporaryDir m_dir;
    std::filesystem::path m_previous;
    std::unique_ptr<Palvex> m_control;
};

} // namespace palvex::test
