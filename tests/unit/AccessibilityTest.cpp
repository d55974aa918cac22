// The preview as a screen reader reads it, through Qt's accessibility interfaces: the controls'
// names and roles in the window's language and as the host words them, the page canvas's text
// in reading order, its page and count, and where a search hit puts the caret. (The events a
// page change and a search hit send reach only a listening client: the AT-SPI test hears them.)

#include "ControlFixture.h"

#include "core/CodePage.h"
#include "core/ItemRole.h"
#include "preview/PageReading.h"
#include "texts/WindowTextSet.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

#include <vector>

namespace palvex::test {
namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    EXPECT_NE(iface, nullptr) << object->objectName().toStdString();
    return iface;
}

QString nameOf(QObject* object) {
    return accessible(object)->text(QAccessible::Name);
}

QString descriptionOf(QObject* object) {
    return accessible(object)->text(QAccessible::Description);
}

// The name of the label a screen reader reads for a list (its "labelled by" relation).
QString labelOf(QObject* object) {
    const auto labels = accessible(object)->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

class Accessibility : public ControlFixture {
protected:
    QWidget* canvas() { return child<QWidget>("p1"); }
    QAccessibleTextInterface* canvasText() { return accessible(canvas())->textInterface(); }
    QString canvasReads() {
        QAccessibleTextInterface* text = canvasText();
        return text ? text->text(0, text->characterCount()) : QString();
    }

    // Every named control says what the text set says, and the captions shown name the rest.
    void expectTheWindowSpeaks(const WindowTextSet& t) {
        for (size_t i = 0; i < ToolbarButtonCount; ++i) {
            const ToolbarButton b = t.buttons.key(i);
            QPushButton* shown = button(int(i));
            EXPECT_EQ(accessible(shown)->role(), QAccessible::Button);
            EXPECT_EQ(nameOf(shown), t.buttons[b]);
            EXPECT_EQ(descriptionOf(shown), t.accessible.buttons[b]);
        }
        EXPECT_EQ(accessible(child<QComboBox>("cboPage"))->role(), QAccessible::ComboBox);
        EXPECT_EQ(descriptionOf(child<QComboBox>("cboPage")), t.accessible.pageList);
        EXPECT_EQ(child<QComboBox>("cboPage")->accessibleName(), t.accessible.pageList);
        EXPECT_EQ(descriptionOf(child<QComboBox>("cboZoom")), t.accessible.zoomList);
        EXPECT_EQ(nameOf(child<QToolButton>("Image1")), t.toolTips[1]);
        EXPECT_EQ(nameOf(child<QToolButton>("Image2")), t.toolTips[2]);
        EXPECT_EQ(nameOf(child<QLineEdit>("txtSearch")), t.searchPrompt);
        EXPECT_EQ(nameOf(child<QGroupBox>("fraPrinter")), t.printerFrame);
        EXPECT_EQ(labelOf(child<QComboBox>("cboOTEK")), t.copies);
        EXPECT_EQ(labelOf(child<QComboBox>("cboEndPage")), t.toPage);
        EXPECT_EQ(labelOf(child<QComboBox>("cboBottomMargin")), t.margins[4]);
        EXPECT_EQ(nameOf(child<QCheckBox>("chkZoomWidth")), t.zoomOptions[4]);
        EXPECT_EQ(nameOf(child<QPushButton>("cmdCancelSearch")), t.cancel);
        EXPECT_EQ(descriptionOf(canvas()), t.accessible.pageText);
    }
};

TEST_F(Accessibility, ControlsAreNamedInTheWindowsLanguageAndAsTheHostWordsThem) {
    expectTheWindowSpeaks(englishTexts());
    ASSERT_EQ(ctl().UseHebrewTexts(), Status::Ok);
    expectTheWindowSpeaks(hebrewTexts());

    // What the host puts in place of a caption is what the reader says, shown now or next start.
    ASSERT_EQ(ctl().fxCaptionButton_Print(u("הדפסה מיידית")), Status::Ok);
    ASSERT_EQ(ctl().fxCaptionLblCopies(u("כמה עותקים")), Status::Ok);
    ASSERT_EQ(ctl().fxCaptionLblSearch(u("מה לחפש")), Status::Ok);
    ASSERT_EQ(ctl().fxToolTipsOfWindow(1, u("הגדל")), Status::Ok);
    start();
    EXPECT_EQ(nameOf(button(1)), u("הדפסה מיידית"));
    EXPECT_EQ(labelOf(child<QComboBox>("cboOTEK")), u("כמה עותקים"));
    EXPECT_EQ(nameOf(child<QLineEdit>("txtSearch")), u("מה לחפש"));
    EXPECT_EQ(nameOf(child<QToolButton>("Image1")), u("הגדל"));
}

TEST_F(Accessibility, TabGoesAlongTheToolbarToTheListsThenToThePage) {
    std::vector<QWidget*> expected;
    for (int i = 0; i < 8; ++i)
        expected.push_back(button(i));
    for (const char* name : {"cboPage", "cboZoom", "Image1", "Image2", "cboMoreOptions", "p1"})
        expected.push_back(child<QWidget>(name));
    std::vector<QWidget*> chain;
    for (QWidget* w = button(0); chain.size() < expected.size(); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
    EXPECT_EQ(chain, expected);
    // A click on a button leaves the focus on the page, where the page keys act.
    EXPECT_FALSE(button(4)->focusPolicy() & Qt::ClickFocus);
    EXPECT_EQ(canvas()->focusPolicy(), Qt::StrongFocus);
}

TEST_F(Accessibility, TheCanvasReadsThePageInTheOrderTheHostWroteIt) {
    startInUtf8();
    ASSERT_EQ(text(u("דוח מכירות"), A2_JumpToNextLine), Status::Ok);
    // One line written in two calls, the second further left, reads as one line.
    ASSERT_EQ(text(u("סה״כ")), Status::Ok);
    ASSERT_EQ(ctl().let_CurrentX(4000), Status::Ok);
    ASSERT_EQ(text(u("1,250 ש״ח"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("Total in English"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    ASSERT_EQ(text(u("עמוד שני"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    QAccessibleInterface* page = accessible(canvas());
    EXPECT_EQ(page->role(), QAccessible::Document);
    EXPECT_TRUE(page->state().focusable);
    EXPECT_TRUE(page->state().readOnly);
    EXPECT_EQ(page->text(QAccessible::Name), QStringLiteral("Page 1 of 2"));
    QAccessibleValueInterface* value = page->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 1);
    EXPECT_EQ(value->maximumValue().toInt(), 2);

    const QString lines =
        u("דוח מכירות\nסה״כ 1,250 ש״ח\n") + QStringLiteral("Total in English\n-1-");
    EXPECT_EQ(canvasReads(), lines);
    QAccessibleTextInterface* reading = canvasText();
    int start = -1, end = -1;
    const int second = int(lines.indexOf(u("1,250")));
    EXPECT_EQ(reading->textAtOffset(second, QAccessible::LineBoundary, &start, &end),
              u("סה״כ 1,250 ש״ח\n"));
    EXPECT_EQ(reading->textAtOffset(second + 1, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("1,250"));
    EXPECT_EQ(start, second);
    // A screen reader's highlight follows the line read: the box of the item on the screen.
    const QRect box = reading->characterRect(second);
    EXPECT_FALSE(box.isEmpty());
    EXPECT_EQ(reading->offsetAtPoint(box.center()), second);
}

TEST_F(Accessibility, APageChangeRenamesTheCanvasAndASearchHitMovesTheCaret) {
    start();
    pages(3);
    EXPECT_EQ(nameOf(canvas()), QStringLiteral("Page 1 of 3"));
    click(4); // Next
    EXPECT_EQ(nameOf(canvas()), QStringLiteral("Page 2 of 3"));
    EXPECT_EQ(accessible(canvas())->valueInterface()->currentValue().toInt(), 2);
    EXPECT_EQ(canvasReads(), QStringLiteral("page 2 line 1\npage 2 line 2\npage 2 line 3\n-2-"));

    search(QStringLiteral("3 line 2"));
    EXPECT_EQ(nameOf(canvas()), QStringLiteral("Page 3 of 3"));
    const QString read = canvasReads();
    const int at = int(read.indexOf(QStringLiteral("3 line 2")));
    ASSERT_GT(at, 0);
    QAccessibleTextInterface* reading = canvasText();
    EXPECT_EQ(reading->cursorPosition(), at);
    ASSERT_EQ(reading->selectionCount(), 1);
    int start = -1, end = -1;
    reading->selection(0, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(at, at + 8));
    // The next page drawn puts the caret back at its start, with nothing selected.
    click(2); // First
    EXPECT_EQ(reading->cursorPosition(), 0);
    EXPECT_EQ(reading->selectionCount(), 0);
}

// Page furniture follows the body, whatever order it was recorded in; a text written a
// character at a time reads as a word.
class PageReadingOrder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_store.OpenReportStore(m_dir.path().toStdString(), {1.5, 1.5, 1.5, 3.5});
    }
    // Records a text with a role and notes it as drawn at height `y`, as the replay notes it.
    void add(const QString& text, float y, ItemRole role = ItemRole::Body) {
        PrintItem item;
        item.ItemKind = KindText;
        item.FontName = QStringLiteral("David");
        item.ItemText = text;
        item.Reserved = ItemTag{role}.encode();
        const int32_t n = m_store.append(item);
        m_drawn.push_back(DrawnText{n, 0, y, 0, {}, text, 0, itemTagOf(item)});
    }
    const CodePage m_codePage{65001};
    QTemporaryDir m_dir;
    ReportStore m_store{m_codePage};
    std::vector<DrawnText> m_drawn;
};

TEST_F(PageReadingOrder, FurnitureFollowsTheBodyAndCharactersJoinUp) {
    add(QStringLiteral("Company Ltd."), 0, ItemRole::PageHeader);
    add(QStringLiteral("  Title"), 300, ItemRole::Heading);
    for (const char* c : {"a", "b", " ", "c"})
        add(QString::fromLatin1(c), 600);
    add(QStringLiteral("body"), 900, ItemRole::Unmarked);
    add(QStringLiteral("-1-"), 1200, ItemRole::PageNumber);
    const PageReading reading = PageReading::of(m_drawn);
    EXPECT_EQ(reading.text(), QStringLiteral("Title\nab c\nbody\nCompany Ltd.\n-1-"));
    // Characters of a drawn text map onto the reading text past its leading blanks.
    const auto title = reading.rangeOf(2, 3, 3);
    ASSERT_TRUE(title.has_value());
    EXPECT_EQ(reading.text().mid(title->first, title->second - title->first),
              QStringLiteral("itl"));
    EXPECT_FALSE(reading.rangeOf(99, 0, 1).has_value());
}

} // namespace
} // namespace palvex::test
