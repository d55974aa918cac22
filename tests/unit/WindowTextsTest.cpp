// Texts that start-up writes afresh for every report, replaced by the host and kept for later
// starts, and the whole window put in Hebrew in one call.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QToolButton>

namespace palvex::test {
namespace {

class WindowTexts : public ControlFixture {
protected:
    void search(const QString& target) {
        click(6);
        child<QLineEdit>("txtSearch")->setText(target);
        child<QPushButton>("cmdSearch")->click();
    }
    // The text of the last message box, after its style flags.
    QString lastMessage() {
        if (boxes().log().empty()) return {};
        const QString line = boxes().log().back();
        return line.mid(line.indexOf(QStringLiteral(": ")) + 2);
    }
};

TEST_F(WindowTexts, StartResetTextsAreReplacedAtOnceAndKeptForLaterStarts) {
    const QString page = QString::fromUtf8("דף "), formatting = QString::fromUtf8("מכין "),
                  cancel = QString::fromUtf8("עצור"), notFound = QString::fromUtf8("אין עוד");
    // Set before any start: start-up writes its defaults and these over them.
    ASSERT_EQ(ctl().fxCaptionPageNumber(page), Status::Ok);
    ASSERT_EQ(ctl().fxCaptionFormatingPage(formatting), Status::Ok);
    ASSERT_EQ(ctl().fxCaptionCmdCancelPrinting(cancel), Status::Ok);
    ASSERT_EQ(ctl().fxTextOfMessage(K2_Not_found_any_more, notFound), Status::Ok);
    int16_t x = 6;
    ASSERT_EQ(ctl().fxTextComboQualityEntry(x, QStringLiteral("900 dpi")), Status::Ok);
    for (int run = 0; run < 2; ++run) {
        start();
        auto* progress = child<QPushButton>("cmdShowDaf");
        EXPECT_EQ(progress->text(), formatting);
        EXPECT_EQ(text(QStringLiteral("one"), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printPage(), Status::Ok);
        EXPECT_EQ(progress->text(), formatting + QStringLiteral("1"));
        EXPECT_EQ(text(QStringLiteral("two"), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
        auto* pages = child<QComboBox>("cboPage");
        EXPECT_EQ(pages->itemText(1), page + QStringLiteral("2"));
        EXPECT_EQ(child<QComboBox>("cboQuality")->itemText(6), QStringLiteral("900 dpi"));
        EXPECT_EQ(child<QComboBox>("cboQuality")->itemText(7), QStringLiteral(" "));
        EXPECT_EQ(child<QPushButton>("cmdCancelPrinting")->text(), cancel);
        boxes().clearLog();
        search(QStringLiteral("absent"));
        EXPECT_EQ(lastMessage(), QStringLiteral("absent\\n") + notFound);
    }

    // With the report shown the page list takes a new caption in place, keeping its selection.
    auto* pages = child<QComboBox>("cboPage");
    select("cboPage", 1);
    ASSERT_EQ(ctl().internals().view().currentPage, 2);
    ASSERT_EQ(ctl().fxCaptionPageNumber(QStringLiteral("p.")), Status::Ok);
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(pages->currentText(), QStringLiteral("p.2"));
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
}

TEST_F(WindowTexts, TheCentringWaitMessageAndToolTipsAndWhatIsRefused) {
    const QString wait = QString::fromUtf8("רגע...");
    ASSERT_EQ(ctl().fxWaitMessageCentering(wait), Status::Ok);
    start();
    bool on = true;
    ASSERT_EQ(ctl().tfCenterPages(on), Status::Ok);
    pages(3);
    // The wait message was shown over the progress bar while the pages were centred.
    EXPECT_EQ(child<QPushButton>("cmdShowDaf")->text(), wait);

    const QString tips[] = {QStringLiteral("close"), QStringLiteral("in"), QStringLiteral("out")};
    for (int16_t i = 0; i < 3; ++i)
        ASSERT_EQ(ctl().fxToolTipsOfWindow(i, tips[i]), Status::Ok);
    EXPECT_EQ(button(0)->toolTip(), tips[0]);
    EXPECT_EQ(child<QToolButton>("Image1")->toolTip(), tips[1]);
    EXPECT_EQ(child<QToolButton>("Image2")->toolTip(), tips[2]);

    const QString any = QStringLiteral("x");
    // 3 is the page strip's button (ThumbnailsTest).
    for (int16_t bad : {int16_t(-1), int16_t(4)})
        EXPECT_EQ(ctl().fxToolTipsOfWindow(bad, any), Status::InvalidPropertyValue) << bad;
    for (int16_t bad : {int16_t(-1), int16_t(11)})
        EXPECT_EQ(ctl().fxTextComboQualityEntry(bad, any), Status::InvalidPropertyValue) << bad;
    EXPECT_EQ(child<QComboBox>("cboQuality")->count(), 11);
    EXPECT_EQ(ctl().fxTextOfMessage(txtMessageType(4), any), Status::InvalidPropertyValue);
}

// Every text a person can see in the window: captions, tool tips and list entries, with the
// widget's name. The printer names and the search box hold the user's own words.
QList<std::pair<QString, QString>> visibleTexts(QWidget& control) {
    QList<std::pair<QString, QString>> texts;
    for (QWidget* w : control.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (!w->toolTip().isEmpty()) texts.append({name + QStringLiteral(" tip"), w->toolTip()});
        if (auto* g = qobject_cast<QGroupBox*>(w)) texts.append({name, g->title()});
        if (auto* l = qobject_cast<QLabel*>(w)) texts.append({name, l->text()});
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts.append({name, b->text()});
        auto* list = qobject_cast<QComboBox*>(w);
        if (list && name != QLatin1String("cboDevicePrinter")) {
            for (int i = 0; i < list->count(); ++i)
                texts.append({name + QLatin1Char(' ') + QString::number(i), list->itemText(i)});
        }
    }
    return texts;
}

void expectNoEnglish(QWidget& control, const char* when) {
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    const auto texts = visibleTexts(control);
    EXPECT_GT(texts.size(), 60) << when;
    for (const auto& [name, text] : texts) {
        EXPECT_FALSE(text.trimmed().isEmpty()) << when << ": " << name.toStdString();
        EXPECT_FALSE(text.contains(latin))
            << when << ": " << name.toStdString() << " \"" << text.toStdString() << '"';
    }
}

TEST_F(WindowTexts, HebrewLeavesNoEnglishAndNoBlankEntryInTheWindow) {
    start();
    ASSERT_EQ(ctl().UseHebrewTexts(), Status::Ok); // on a window already showing
    pages(3);
    click(1); // the printer panel fills its page lists
    ASSERT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());
    expectNoEnglish(ctl(), "while shown");
    child<QPushButton>("cmdCancel")->click();

    // A later start keeps every text, those that start-up writes afresh among them.
    start();
    expectNoEnglish(ctl(), "after a new start");
    pages(2);
    boxes().clearLog();
    search(QString::fromUtf8("חסר"));
    const QString message = lastMessage();
    ASSERT_TRUE(message.startsWith(QString::fromUtf8("חסר\\n")));
    EXPECT_FALSE(message.mid(5).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
        << message.toStdString();

    // Right to left where text is read; the page's scroll bars keep the direction that
    // navigation counts in.
    for (const char* name : {"fraPrinter", "lblQuality", "cboQuality", "chkZoomWidth", "cboPage"})
        EXPECT_EQ(child<QWidget>(name)->layoutDirection(), Qt::RightToLeft) << name;
    EXPECT_EQ(child<QScrollBar>("HScroll")->layoutDirection(), Qt::LeftToRight);
}

} // namespace
} // namespace palvex::test
