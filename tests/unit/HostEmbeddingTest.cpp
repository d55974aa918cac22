// The control embedded in a host's tab, and what a host hears of it: the page shown, a print,
// Close, the page count, and the messages that come to it instead of boxes.

#include "ControlFixture.h"

#include "platform/PropertyBag.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>

namespace palvex::test {
namespace {

class HostEmbedding : public ControlFixture {
protected:
    std::unique_ptr<Palvex> makeControl(Ambient ambient = {}) override {
        m_platform = testPlatform();
        m_platform.printers->setPdfOutputPath(path("out.pdf"));
        return std::make_unique<Palvex>(m_platform, ambient);
    }
    void TearDown() override {
        m_control.reset(); // before the window it lies in
        m_host.reset();
        ControlFixture::TearDown();
    }

    // The control under a heading in the first of two tabs of a 1000 x 700 main window, which
    // is larger than the screen.
    void embed() {
        m_host = std::make_unique<QMainWindow>();
        auto* tabs = new QTabWidget;
        m_tab = new QWidget;
        auto* layout = new QVBoxLayout(m_tab);
        m_heading = new QLabel(QStringLiteral("Quarterly report"));
        layout->addWidget(m_heading);
        layout->addWidget(m_control.get(), 1);
        tabs->addTab(m_tab, QStringLiteral("Report"));
        tabs->addTab(new QWidget, QStringLiteral("Accounts"));
        m_host->setCentralWidget(tabs);
        m_host->resize(1000, 700);
        m_host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_host.get()));
        ASSERT_EQ(ctl().let_Embedded(true), Status::Ok);
    }

    // The control keeps the place the tab's layout gives it, and every part of the preview lies
    // inside that place.
    void expectInItsPlace(const char* when) {
        SCOPED_TRACE(when);
        QCoreApplication::processEvents();
        const QRect place = ctl().geometry();
        const QRect free = m_tab->contentsRect().marginsRemoved(m_tab->layout()->contentsMargins());
        EXPECT_GT(place.top(), m_heading->geometry().bottom()) << "over the heading";
        EXPECT_EQ(place.left(), free.left());
        EXPECT_EQ(place.right(), free.right());
        EXPECT_EQ(place.bottom(), free.bottom());
        const QWidget* viewport = child<QWidget>("Mainpicture");
        EXPECT_EQ(viewport->geometry().bottom(), place.height() - 1) << "the whole place is used";
        for (QWidget* w : ctl().findChildren<QWidget*>()) {
            // The page canvas scrolls under its viewport, which is checked itself.
            if (w->isWindow() || !w->isVisibleTo(m_tab) || w->objectName() == u"p1") continue;
            const QRect r(w->mapTo(m_tab, QPoint(0, 0)), w->size());
            EXPECT_TRUE(place.contains(r)) << w->objectName().toStdString() << " at " << r.x()
                                           << "," << r.y() << " " << r.width() << "x" << r.height();
        }
    }

    qsizetype boxesShown() {
        return std::count_if(boxes().log().begin(), boxes().log().end(),
                             [](const QString& line) { return line.startsWith(u"msgbox"); });
    }

    std::unique_ptr<QMainWindow> m_host;
    QWidget* m_tab = nullptr;
    QLabel* m_heading = nullptr;
};

TEST_F(HostEmbedding, ThePreviewStaysInItsTabFollowsResizesAndCloseKeepsTheWindow) {
    embed();
    start();
    pages(2);
    expectInItsPlace("1000 x 700");
    click(6); // the search panel, centred on the control
    expectInItsPlace("search panel");
    m_host->resize(760, 520);
    expectInItsPlace("760 x 520");
    click(1); // the printer panel
    expectInItsPlace("printer panel");
    EXPECT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());

    QSignalSpy closed(&ctl(), &Palvex::closed);
    click(0);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(ctl().isHidden());
    EXPECT_TRUE(m_host->isVisible());
    // A new report shows the preview in its place again.
    start();
    pages(1);
    EXPECT_FALSE(ctl().isHidden());
    expectInItsPlace("started again");
}

TEST_F(HostEmbedding, PageShownComesOncePerPageAsNumbered) {
    int16_t first = 41;
    ASSERT_EQ(ctl().fxNumberOfFirstPage(first), Status::Ok);
    QSignalSpy shown(&ctl(), &Palvex::pageShown);
    start();
    pages(3);
    click(4);              // Next
    select("cboZoom", 10); // the same page, larger
    click(5);              // Last
    click(5);
    QList<int> numbers;
    for (const QList<QVariant>& args : shown)
        numbers << args.at(0).toInt();
    EXPECT_EQ(numbers, (QList<int>{41, 42, 43}));
    // A new report's first page is news even with the same number.
    start();
    pages(1);
    EXPECT_EQ(shown.count(), 4);
}

TEST_F(HostEmbedding, PageCountIsTheShownReportsAndReadOnly) {
    int32_t count = -1;
    EXPECT_EQ(ctl().get_PageCount(out(count)), Status::Ok);
    EXPECT_EQ(count, 0);
    start();
    pages(3);
    Dispatch dispatch(ctl());
    Variant value;
    ASSERT_EQ(dispatch.invoke(0x68040005, InvokeKind::PropertyGet, {}, &value), Status::Ok);
    EXPECT_EQ(value, Variant(int32_t(3)));
    std::vector<Variant> args{Variant(int32_t(7))};
    EXPECT_EQ(dispatch.invoke(0x68040005, InvokeKind::PropertyPut, args, nullptr),
              Status::SetNotSupportedAtRunTime);
    click(0); // Close forgets the report
    EXPECT_EQ(ctl().get_PageCount(out(count)), Status::Ok);
    EXPECT_EQ(count, 0);
}

TEST_F(HostEmbedding, PrintedCountsThePagesOfAJobThatWentOut) {
    start();
    pages(3);
    QSignalSpy printed(&ctl(), &Palvex::printed);
    click(1);
    child<QPushButton>("cmdOK")->click();
    ASSERT_TRUE(QFile::exists(path("out.pdf")));
    click(1);
    select("cboBeginPage", 2);
    select("cboEndPage", 1); // ends before it begins: nothing goes out
    child<QPushButton>("cmdOK")->click();
    m_platform.printers->setPdfOutputPath(path("no such folder/out.pdf"));
    click(1);
    select("cboBeginPage", 1);
    child<QPushButton>("cmdOK")->click(); // a printer problem is no print
    ASSERT_EQ(printed.count(), 1);
    EXPECT_EQ(printed.at(0).at(0).toInt(), 3);
}

TEST_F(HostEmbedding, MessagesGoToTheHostInsteadOfBoxesButQuestionsStillAsk) {
    auto missingPicture = [&] {
        QString name = QStringLiteral("nowhere.png");
        AlignPicHorizontalType h = AlignPicHorizontalType(0);
        AlignPicVerticalType v = AlignPicVerticalType(0);
        return ctl().printPicture(name, h, v);
    };
    start();
    QSignalSpy messages(&ctl(), &Palvex::messageShown);
    EXPECT_EQ(missingPicture(), Status::Ok);
    EXPECT_EQ(boxesShown(), 1) << "by default a box";
    EXPECT_EQ(messages.count(), 0);

    boxes().clearLog();
    ASSERT_EQ(ctl().let_MessagesToHost(true), Status::Ok);
    EXPECT_EQ(missingPicture(), Status::Ok);
    EXPECT_EQ(boxesShown(), 0);
    ASSERT_EQ(messages.count(), 1);
    const QString text = messages.at(0).at(1).toString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("You defined a bitmap file named nowhere.png")));
    QString last;
    EXPECT_EQ(ctl().get_LastMessage(out(last)), Status::Ok);
    EXPECT_EQ(last, text);
    EXPECT_EQ(ctl().let_LastMessage(QString()), Status::SetNotSupportedAtRunTime);

    // A question needs its answer now: the user is asked, and the host hears nothing.
    EXPECT_EQ(ctl().writeMsgbox(K1_Is_the_number_of_copies_OK, QStringLiteral("OK?")), Status::Ok);
    EXPECT_EQ(boxesShown(), 1);
    EXPECT_EQ(messages.count(), 1);
}

TEST_F(HostEmbedding, TheHostsChoicesAreNotSavedWithTheForm) {
    ASSERT_EQ(ctl().let_Embedded(true), Status::Ok);
    ASSERT_EQ(ctl().let_MessagesToHost(true), Status::Ok);
    MemoryPropertyBag bag;
    ctl().saveProperties(bag);
    for (const auto& [key, value] : bag.writes())
        EXPECT_TRUE(key != u"Embedded" && key != u"MessagesToHost") << key.toStdString();
}

} // namespace
} // namespace palvex::test
