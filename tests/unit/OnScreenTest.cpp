// What the window system shows, not what the widgets would paint if asked: a host records the
// whole report before it returns to the event loop, and the preview must still look right on
// the screen after a page turn.

#include "ControlFixture.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>

namespace palvex::test {
namespace {

class OnScreen : public ControlFixture {
protected:
    // The control lies on a shown form, as a host places it.
    std::unique_ptr<Palvex> makeControl(Ambient ambient = {}) override {
        m_platform = testPlatform();
        m_form = std::make_unique<QWidget>();
        m_form->setGeometry(0, 0, 640, 480);
        auto control = std::make_unique<Palvex>(m_platform, ambient, m_form.get());
        m_form->show();
        return control;
    }
    void TearDown() override {
        ControlFixture::TearDown();
        m_form.reset();
    }
    static void settle() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 400)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    // The screen's pixels where the widget is, against the widget painted on its own.
    static double shownFraction(QWidget* w, const QImage& screen) {
        const QImage own = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint at = w->mapToGlobal(QPoint(0, 0));
        const QImage shown =
            screen.copy(QRect(at, w->size())).convertToFormat(QImage::Format_RGB32);
        if (own.size() != shown.size() || own.isNull()) return 0;
        qsizetype same = 0;
        for (int y = 0; y < own.height(); ++y)
            for (int x = 0; x < own.width(); ++x)
                if (own.pixel(x, y) == shown.pixel(x, y)) ++same;
        return double(same) / double(own.width() * own.height());
    }

    std::unique_ptr<QWidget> m_form;
};

TEST_F(OnScreen, TheScrollBarsStayOnScreenAfterAPageTurnOfAReportRecordedInOneGo) {
    // The screen's pixels come from the window's backing store on X and on the offscreen
    // platform; other platforms have none to compare.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("offscreen"))
        GTEST_SKIP() << "no screen to grab on " << platform.toStdString();
    // Everything between the start and the last page without the event loop, as a C++ host.
    start();
    for (int p = 0; p < 3; ++p) {
        for (int l = 0; l < 40; ++l)
            ASSERT_EQ(
                text(QStringLiteral("page %1 line %2").arg(p + 1).arg(l + 1), A2_JumpToNextLine),
                Status::Ok);
        if (p < 2) {
            ASSERT_EQ(ctl().printPage(), Status::Ok);
        }
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    settle();
    click(4); // Next
    settle();
    auto* h = child<QScrollBar>("HScroll");
    auto* v = child<QScrollBar>("VScroll");
    ASSERT_TRUE(h->isVisible() && v->isVisible());
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    if (!qEnvironmentVariableIsEmpty("PALVEX_SCREENSHOT"))
        screen.save(qEnvironmentVariable("PALVEX_SCREENSHOT"));
    EXPECT_GT(shownFraction(h, screen), 0.95);
    EXPECT_GT(shownFraction(v, screen), 0.95);
}

} // namespace
} // namespace palvex::test
