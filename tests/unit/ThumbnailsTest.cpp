// The page strip and the fitted zooms: a long report opens drawing only the thumbnails in view,
// a new report drops what was drawn, the mark follows the page shown and a click turns to the
// page, what is kept is bounded; fit width and fit page follow the window; the Ctrl keys step
// through the zoom list.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "preview/Navigation.h"
#include "preview/PageRenderer.h"
#include "preview/PreviewWindow.h"
#include "preview/ThumbnailModel.h"
#include "preview/ThumbnailStrip.h"
#include "texts/WindowTextSet.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QTest>

#include <cmath>

namespace palvex::test {
namespace {

class PageStrip : public ControlFixture {
protected:
    // The control covering a screen `width` x `height` pixels, the strip offered.
    void restart(int width, int height, bool thumbnails = true) {
        m_control.reset();
        m_platform = testPlatform({Printers::pdfDevice()}, float(width * 15));
        m_platform.screen = std::make_shared<Screen>(float(width * 15), float(height * 15));
        m_control = std::make_unique<Palvex>(m_platform);
        ASSERT_EQ(ctl().let_ShowThumbnails(thumbnails), Status::Ok);
        start();
    }
    ThumbnailStrip* strip() { return child<ThumbnailStrip>("lstThumbnails"); }
    QWidget* viewport() { return child<QWidget>("Mainpicture"); }
    int64_t thumbnailsDrawn() { return ctl().internals().renderer().thumbnailsDrawn(); }
    // What a person sees of the strip: it paints the rows in view.
    QImage look() { return strip()->grab().toImage(); }
    int visibleRows() {
        const int rowHeight = strip()->gridSize().height();
        return strip()->viewport()->height() / std::max(1, rowHeight) + 2;
    }
    int32_t currentPage() { return ctl().internals().view().currentPage; }
    float zoom() { return ctl().internals().view().zoomFactor; }
    void send(int qtKey, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* page = child<QWidget>("p1");
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers),
            release(QEvent::KeyRelease, qtKey, modifiers);
        QCoreApplication::sendEvent(page, &press);
        QCoreApplication::sendEvent(page, &release);
    }
    void clickThumbnail(int row) {
        const QRect at = strip()->visualRect(strip()->model()->index(row, 0));
        ASSERT_TRUE(strip()->viewport()->rect().intersects(at)) << row;
        QTest::mouseClick(strip()->viewport(), Qt::LeftButton, {}, at.center());
    }
    // The room beside the scroll bars in pixels, and the canvas in it.
    QSize pageRoom() {
        return QSize(child<QWidget>("VScroll")->x(), child<QWidget>("HScroll")->y());
    }
    QSize canvas() { return child<QWidget>("p1")->size(); }
};

TEST_F(PageStrip, TenThousandPagesOpenDrawingOnlyTheThumbnailsInView) {
    restart(1366, 768);
    pages(10000, 1);
    ASSERT_TRUE(strip()->isVisible());
    EXPECT_EQ(strip()->model()->rowCount(), 10000);
    look();
    const int64_t opened = thumbnailsDrawn();
    EXPECT_GT(opened, 0);
    EXPECT_LE(opened, visibleRows());

    click(5); // Last
    look();
    EXPECT_EQ(strip()->markedPage(), 9999);
    EXPECT_LE(thumbnailsDrawn() - opened, visibleRows());
    // Back at the first page the drawings are still kept: nothing is drawn again.
    click(2);
    const int64_t before = thumbnailsDrawn();
    look();
    EXPECT_EQ(thumbnailsDrawn(), before);
    // A strip not shown draws nothing.
    send(Qt::Key_F4);
    ASSERT_FALSE(strip()->isVisible());
    click(5);
    EXPECT_EQ(thumbnailsDrawn(), before);
}

TEST_F(PageStrip, WhatIsKeptIsBounded) {
    restart(1366, 768);
    pages(600, 1);
    ThumbnailModel& rows = strip()->thumbnails();
    for (int row = 0; row < 600; ++row)
        ASSERT_FALSE(rows.image(row).isNull()) << row;
    // The first drawn are gone, the last are kept; scrolling back draws the first again.
    EXPECT_FALSE(rows.isCached(0));
    EXPECT_TRUE(rows.isCached(599));
    const int64_t before = thumbnailsDrawn();
    rows.image(0);
    EXPECT_EQ(thumbnailsDrawn(), before + 1);
}

TEST_F(PageStrip, AThumbnailIsThePageAsTheCanvasDrawsIt) {
    restart(1366, 768);
    ASSERT_EQ(ctl().let_FontSize(48), Status::Ok);
    pages(2, 6);
    const QImage picture = strip()->thumbnails().image(0);
    ASSERT_FALSE(picture.isNull());
    EXPECT_NEAR(picture.width() / picture.devicePixelRatio(),
                strip()->thumbnails().thumbnailWidth(), 1);
    // Ink near the top right, where the page's right-to-left lines begin; none below the lines
    // down to the page number.
    auto inked = [&](QRect area) {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(picture.pixel(x, y)) < 160;
        return dark;
    };
    const int w = picture.width(), h = picture.height();
    EXPECT_GT(inked(QRect(w / 2, 0, w / 2, h / 3)), 0);
    EXPECT_EQ(inked(QRect(0, h / 2, w, h / 4)), 0);
    EXPECT_GT(inked(QRect(0, h * 7 / 8, w, h / 8 - 1)), 0); // the page number
}

TEST_F(PageStrip, ANewReportDropsWhatWasDrawn) {
    restart(1366, 768);
    pages(3);
    look();
    ASSERT_TRUE(strip()->thumbnails().isCached(0));
    const QImage first = strip()->thumbnails().image(0);

    start();
    EXPECT_EQ(strip()->model()->rowCount(), 0);
    ASSERT_EQ(ctl().let_FontSize(40), Status::Ok);
    pages(5);
    EXPECT_EQ(strip()->model()->rowCount(), 5);
    EXPECT_FALSE(strip()->thumbnails().isCached(0));
    EXPECT_NE(strip()->thumbnails().image(0), first);
    EXPECT_EQ(strip()->markedPage(), 0);

    // New margins draw the pages anew; a zoom alone does not.
    look();
    select("cboZoom", 3);
    EXPECT_TRUE(strip()->thumbnails().isCached(0));
    select("cboMoreOptions", 1);
    child<QComboBox>("cboRightMargin")->setCurrentIndex(300);
    child<QPushButton>("cmdOKMarginsSetup")->click();
    EXPECT_FALSE(strip()->thumbnails().isCached(0));
}

TEST_F(PageStrip, TheMarkFollowsThePageShownAndAClickTurnsToItsPage) {
    restart(1366, 768);
    ASSERT_EQ(ctl().fxNumberOfFirstPage(5), Status::Ok);
    pages(6);
    EXPECT_EQ(strip()->markedPage(), 0);
    EXPECT_EQ(strip()->model()->index(0, 0).data().toString(), QStringLiteral("5"));
    click(4); // Next
    EXPECT_EQ(strip()->markedPage(), 1);
    send(Qt::Key_F7);
    EXPECT_EQ(strip()->markedPage(), 2);
    select("cboPage", 4);
    EXPECT_EQ(strip()->markedPage(), 4);
    click(2); // First
    EXPECT_EQ(strip()->markedPage(), 0);

    clickThumbnail(3);
    EXPECT_EQ(currentPage(), 8);
    EXPECT_EQ(child<QComboBox>("cboPage")->currentIndex(), 3);
    EXPECT_EQ(strip()->markedPage(), 3);
    // The page keys still work on the page after a click on the strip.
    send(Qt::Key_F6);
    EXPECT_EQ(currentPage(), 7);
}

TEST_F(PageStrip, TheButtonAndF4ShowAndHideTheStripBesideThePage) {
    // Not offered: the window as designed, the strip hidden, F4 still shows it.
    restart(800, 600, false);
    pages(2);
    auto* toggle = child<QPushButton>("cmdThumbnails");
    EXPECT_TRUE(toggle->isHidden());
    EXPECT_FALSE(strip()->isVisible());
    EXPECT_NEAR(button(7)->geometry().right() + 1, 800 * 6780 / 9600, 2);
    EXPECT_EQ(viewport()->width(), ctl().width());
    send(Qt::Key_F4);
    EXPECT_TRUE(strip()->isVisible());
    send(Qt::Key_F4);
    EXPECT_FALSE(strip()->isVisible());

    // Offered: the button at the bar's end, the strip at the right edge, the page beside it.
    restart(800, 600);
    pages(2);
    toggle = child<QPushButton>("cmdThumbnails");
    EXPECT_FALSE(toggle->isHidden());
    EXPECT_LE(toggle->geometry().right(), ctl().width());
    EXPECT_GT(toggle->x(), child<QWidget>("cboZoom")->geometry().right());
    EXPECT_FALSE(toggle->toolTip().isEmpty());
    ASSERT_TRUE(strip()->isVisible());
    EXPECT_EQ(strip()->geometry().right() + 1, ctl().width());
    EXPECT_EQ(viewport()->geometry().right() + 1, strip()->x());
    EXPECT_LE(strip()->width(), 160);
    EXPECT_GE(viewport()->width(), ctl().width() * 3 / 4);
    EXPECT_TRUE(toggle->isChecked());
    toggle->click();
    EXPECT_FALSE(strip()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(viewport()->width(), ctl().width());
    toggle->click();
    EXPECT_TRUE(strip()->isVisible());
}

TEST_F(PageStrip, FitWidthAndFitPageFollowTheWindow) {
    restart(1366, 768);
    pages(3);
    auto* zoomList = child<QComboBox>("cboZoom");
    ASSERT_EQ(zoomList->count(), 21);
    EXPECT_EQ(zoomList->itemText(8), QStringLiteral("100%"));
    EXPECT_EQ(zoomList->itemText(Navigation::FitWidthEntry), englishTexts().zoomOptions[5]);

    select("cboZoom", Navigation::FitWidthEntry);
    EXPECT_EQ(ctl().internals().view().zoomFit, PreviewState::ZoomFit::Width);
    EXPECT_NEAR(canvas().width(), pageRoom().width() - 2, 2);
    const float wide = zoom();

    ctl().resize(1000, 700);
    EXPECT_NEAR(canvas().width(), pageRoom().width() - 2, 2);
    EXPECT_LT(zoom(), wide);
    // The page turns at the fitted zoom.
    click(4);
    EXPECT_NEAR(canvas().width(), pageRoom().width() - 2, 2);

    select("cboZoom", Navigation::FitPageEntry);
    EXPECT_LE(canvas().width(), pageRoom().width());
    EXPECT_LE(canvas().height(), pageRoom().height());
    EXPECT_TRUE(std::abs(canvas().width() - (pageRoom().width() - 2)) <= 2 ||
                std::abs(canvas().height() - (pageRoom().height() - 2)) <= 2);
    // A taller window gives the page more room, and the fitted page takes it.
    const int before = canvas().height();
    ctl().resize(1000, 900);
    EXPECT_GT(canvas().height(), before);
    EXPECT_LE(canvas().height(), pageRoom().height());

    // A percentage ends the fitting: a resize leaves the zoom alone.
    select("cboZoom", 8);
    EXPECT_EQ(ctl().internals().view().zoomFit, PreviewState::ZoomFit::None);
    ctl().resize(900, 700);
    EXPECT_FLOAT_EQ(zoom(), 1.0f);
}

TEST_F(PageStrip, TheCtrlKeysZoomAndSearch) {
    restart(1366, 768);
    pages(2);
    auto* zoomList = child<QComboBox>("cboZoom");
    send(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(zoomList->currentIndex(), 9);
    send(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(zoomList->currentIndex(), 10);
    send(Qt::Key_Minus, Qt::ControlModifier);
    send(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(zoomList->currentIndex(), 8);
    send(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(zoom(), 0.9f);
    send(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(zoomList->currentIndex(), 8);
    EXPECT_FLOAT_EQ(zoom(), 1.0f);
    // The keys alone are not shortcuts.
    send(Qt::Key_0);
    send(Qt::Key_Plus);
    EXPECT_EQ(zoomList->currentIndex(), 8);

    // From a fitted zoom, the next entry that way.
    select("cboZoom", Navigation::FitPageEntry);
    const float fitted = zoom();
    ASSERT_LT(fitted, 1.0f);
    send(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(zoom(), fitted);
    EXPECT_LT(zoom() - fitted, 0.1f + 1e-4f);
    select("cboZoom", Navigation::FitPageEntry);
    send(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(zoom(), fitted);
    EXPECT_LT(fitted - zoom(), 0.1f + 1e-4f);
    // At the ends of the list nothing moves.
    select("cboZoom", Navigation::LastPercentEntry);
    send(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(zoomList->currentIndex(), Navigation::LastPercentEntry);

    auto* panel = child<QGroupBox>("fraSearch");
    ASSERT_FALSE(panel->isVisible());
    send(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(PageStrip, TheHostWordsTheButtonTheTipAndTheFitEntries) {
    restart(1366, 768);
    bool shown = false;
    EXPECT_EQ(ctl().get_ShowThumbnails(out(shown)), Status::Ok);
    EXPECT_TRUE(shown);
    auto* zoomList = child<QComboBox>("cboZoom");
    EXPECT_EQ(ctl().fxCaptionsOfZoomOptions(5, QStringLiteral("Width")), Status::Ok);
    EXPECT_EQ(ctl().fxCaptionsOfZoomOptions(6, QStringLiteral("Page")), Status::Ok);
    EXPECT_EQ(zoomList->itemText(19), QStringLiteral("Width"));
    EXPECT_EQ(zoomList->itemText(20), QStringLiteral("Page"));
    EXPECT_EQ(zoomList->itemText(18), QStringLiteral("200%"));
    EXPECT_EQ(ctl().fxToolTipsOfWindow(3, QStringLiteral("Pages")), Status::Ok);
    auto* toggle = child<QPushButton>("cmdThumbnails");
    EXPECT_EQ(toggle->toolTip(), QStringLiteral("Pages"));
    EXPECT_EQ(ctl().fxToolTipsOfWindow(4, QStringLiteral("x")), Status::InvalidPropertyValue);

    // The caption waits for the next start, as the other tool bar captions do.
    EXPECT_EQ(ctl().fxCaptionButton_Thumbnails(QStringLiteral("Thumbs")), Status::Ok);
    EXPECT_EQ(toggle->text(), englishTexts().thumbnailsButton);
    start();
    EXPECT_EQ(toggle->text(), QStringLiteral("Thumbs"));

    EXPECT_EQ(ctl().UseHebrewTexts(), Status::Ok);
    EXPECT_EQ(toggle->text(), hebrewTexts().thumbnailsButton);
    EXPECT_EQ(zoomList->itemText(19), hebrewTexts().zoomOptions[5]);
    EXPECT_EQ(zoomList->itemText(20), hebrewTexts().zoomOptions[6]);
}

} // namespace
} // namespace palvex::test
