// The preview shows the page as it prints: the canvas is the paper on every screen, centring is
// measured in the printer's twips at any zoom, every part of the page can be reached, the page
// keys work after every panel, the search highlight lies on the found characters, and the mouse
// wheel and a window smaller than the screen behave as a person expects.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "preview/PageRenderer.h"
#include "preview/PreviewWindow.h"
#include "preview/Search.h"
#include "preview/TwipScrollBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace palvex::test {
namespace {

class PageView : public ControlFixture {
protected:
    void restart(float screenWidth, float screenHeight = 7200,
                 QList<PrinterDevice> printers = {Printers::pdfDevice()}) {
        m_control.reset();
        m_platform = testPlatform(std::move(printers), screenWidth);
        m_platform.screen = std::make_shared<Screen>(screenWidth, screenHeight);
        m_control = std::make_unique<Palvex>(m_platform);
        start();
    }
    void send(QWidget* target, int qtKey, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers),
            release(QEvent::KeyRelease, qtKey, modifiers);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    }
    void wheel(int delta, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* page = child<QWidget>("p1");
        const QPointF at(10, 10);
        QWheelEvent event(at, page->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(page, &event);
    }
    TwipScrollBar* hscroll() { return child<TwipScrollBar>("HScroll"); }
    TwipScrollBar* vscroll() { return child<TwipScrollBar>("VScroll"); }
    QWidget* page() { return child<QWidget>("p1"); }
    // The part of the viewport the scroll bars leave free, in pixels.
    QSize room() { return QSize(vscroll()->x(), hscroll()->y()); }
    const DrawnText* drawn(const QString& text) {
        for (const DrawnText& d : ctl().internals().renderer().drawn)
            if (d.text.trimmed() == text) return &d;
        return nullptr;
    }
    // The page's right edge is in view: beside the vertical bar, or the page stands whole in
    // the middle of the viewport.
    void expectRightEdgeInView() {
        if (page()->width() > room().width()) {
            EXPECT_EQ(page()->x() + page()->width(), room().width());
        } else {
            EXPECT_NEAR(page()->x(), (room().width() - page()->width()) / 2, 1);
        }
    }
    // A text's box on the canvas in twips, as drawn.
    QRectF box(const DrawnText& d) {
        return ctl().internals().canvas().textBox(d.text, d.font, d.x, d.y);
    }
};

// A page whose printable area is 11000 twips wide.
PrinterDevice elevenThousandWide() {
    return {QStringLiteral("Eleven"), false, 11900, 16838, 11000, 16000, 450, 400, 2};
}

// A roll of paper far longer than a scroll bar's 32767 steps.
PrinterDevice longRoll() {
    return {QStringLiteral("Roll"), false, 11909, 60000, 11189, 59280, 360, 360, 2};
}

TEST_F(PageView, TheCanvasIsThePaperOnEveryScreenAndOpensAtItsRightEdge) {
    const PrinterDevice paper = Printers::pdfDevice();
    for (float screen : {9600.0f, 12000.0f, 20490.0f, 28800.0f, 38400.0f}) {
        SCOPED_TRACE(screen);
        restart(screen, screen * 9 / 16);
        pages(2);
        const ImageSurface& canvas = ctl().internals().canvas();
        EXPECT_FLOAT_EQ(canvas.Width(), paper.width);
        EXPECT_FLOAT_EQ(canvas.ScaleWidth(), paper.scaleWidth);
        EXPECT_FLOAT_EQ(canvas.Height(), paper.height + 425);
        EXPECT_EQ(page()->width(), qRound(paper.width / 15));
        // The toolbar still follows the screen.
        EXPECT_NEAR(button(7)->geometry().right() + 1, screen * 6780 / 9600 / 15, 2);
        EXPECT_EQ(hscroll()->value(), hscroll()->maximum());
        expectRightEdgeInView();
        if (page()->height() > room().height()) {
            EXPECT_EQ(page()->y(), 0);
        } else {
            EXPECT_NEAR(page()->y(), (room().height() - page()->height()) / 2, 1);
        }

        // A zoom keeps the right edge in view, whatever the page's new width.
        child<QCheckBox>("chkZoomWidth")->setChecked(true);
        select("cboZoom", 18); // 200 %
        EXPECT_FLOAT_EQ(canvas.Width(), paper.width * 2);
        expectRightEdgeInView();
        click(4); // Next: the page-turning rules still hold at the new zoom
        EXPECT_EQ(ctl().internals().view().currentPage, 2);
    }
}

// On an 800-pixel screen a button is some 60 pixels wide: a caption too long for it goes onto
// two lines rather than being cut at both ends, and the host still reads back its own text.
TEST_F(PageView, OnAnEightHundredPixelScreenEveryButtonCaptionIsReadWhole) {
    restart(12000, 9000);
    pages(1);
    auto dark = [](QRgb p) { return qGray(p) < 100; };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        QPushButton* b = button(i);
        const QImage face = b->grab().toImage();
        ASSERT_LE(face.width(), 80);
        std::vector<bool> inkedRows(size_t(face.height()), false);
        for (int y = 2; y < face.height() - 2; ++y) {
            for (int x = 2; x < face.width() - 2; ++x)
                if (dark(face.pixel(x, y))) inkedRows[size_t(y)] = true;
            // The long caption does not run into the frame: it is not cut at either end.
            if (i == 7) {
                EXPECT_FALSE(dark(face.pixel(2, y)) || dark(face.pixel(face.width() - 3, y))) << y;
            }
        }
        int bands = 0;
        for (size_t y = 1; y < inkedRows.size(); ++y)
            bands += inkedRows[y] && !inkedRows[y - 1];
        EXPECT_EQ(bands, i == 7 ? 2 : 1) << b->text().toStdString();
    }
    EXPECT_EQ(button(7)->text(), QStringLiteral("Continue Search F3"));
}

TEST_F(PageView, CentringMeasuresAt100PercentInTwipsWhateverTheZoom) {
    restart(9600, 7200, {elevenThousandWide()});
    // Free text from 2000 to 6000 twips from the right edge.
    EXPECT_EQ(ctl().let_FontSize(12), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(2000), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("abc"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(6000 - textWidth(QStringLiteral("xyz"))), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("xyz"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    for (int zoomIndex : {3, 8, 18}) { // 50 %, 100 %, 200 %
        SCOPED_TRACE(zoomIndex);
        select("cboZoom", zoomIndex);
        select("cboMoreOptions", 4); // Center all pages
        EXPECT_NEAR(item(1).CenterOffset, 1500, 0.01);
        EXPECT_NEAR(item(2).CenterOffset, 1500, 0.01);
        // The zoomed page moves its text by the zoomed shift.
        const DrawnText* abc = drawn(QStringLiteral("abc"));
        ASSERT_NE(abc, nullptr);
        const float zoom = ctl().internals().view().zoomFactor;
        EXPECT_NEAR(abc->x, zoom * (2000 + 1500), 0.01);
    }
}

TEST_F(PageView, EveryPartOfAPageLargerThanTheScrollBarsCanBeReached) {
    restart(9600, 7200, {longRoll()});
    pages(2);
    TwipScrollBar* v = vscroll();
    EXPECT_LE(v->maximum(), TwipScrollBar::MaxSteps);
    EXPECT_GT(v->rangeTwips(), TwipScrollBar::MaxSteps);
    EXPECT_EQ(v->rangeTwips(),
              qRound(60425 - PreviewWindow::placeOf(child<QWidget>("Mainpicture")).height()));
    send(page(), Qt::Key_End);
    EXPECT_EQ(v->value(), v->maximum());
    EXPECT_EQ(page()->y() + page()->height(), room().height()); // the page's bottom edge
    send(page(), Qt::Key_Home);
    EXPECT_EQ(page()->y(), 0);
}

TEST_F(PageView, ASearchHitOutOfSightScrollsSideways) {
    restart(9600);
    EXPECT_EQ(ctl().let_CurrentX(600), Status::Ok);
    EXPECT_EQ(text(QStringLiteral("near the right edge"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(left(QStringLiteral("farleft"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    child<QCheckBox>("chkZoomWidth")->setChecked(true);
    select("cboZoom", 18);
    ASSERT_GT(page()->width(), room().width() * 2);
    const DrawnText* before = drawn(QStringLiteral("farleft"));
    ASSERT_NE(before, nullptr);
    EXPECT_LT(page()->x() + box(*before).right() / 15, 0); // out of sight at the right edge

    click(6);
    child<QLineEdit>("txtSearch")->setText(QStringLiteral("farleft"));
    child<QPushButton>("cmdSearch")->click();
    const DrawnText* found = drawn(QStringLiteral("farleft"));
    ASSERT_NE(found, nullptr);
    const QRectF b = box(*found);
    EXPECT_GE(page()->x() + b.left() / 15, 0);
    EXPECT_LE(page()->x() + b.right() / 15, room().width());
}

TEST_F(PageView, MarginsOkWhileZoomedMovesTheLineAt100Percent) {
    restart(9600);
    pages(1);
    const float line = ctl().internals().report().lines.unzoomedPageNumberLine();
    child<QCheckBox>("chkZoomHeight")->setChecked(true);
    select("cboZoom", 13); // 150 %
    select("cboMoreOptions", 1);
    auto* bottom = child<QComboBox>("cboBottomMargin");
    bottom->setCurrentIndex(bottom->currentIndex() - 100); // one centimetre less
    child<QPushButton>("cmdOKMarginsSetup")->click();
    EXPECT_NEAR(ctl().internals().report().lines.unzoomedPageNumberLine(), line + 567, 0.01);
    const DrawnText* number = drawn(QStringLiteral("-1-"));
    ASSERT_NE(number, nullptr);
    // Still on the zoomed page, above its bottom edge.
    EXPECT_LT(ctl().internals().canvas().originY() + number->y + 200,
              ctl().internals().canvas().Height());
    select("cboZoom", 8);
    EXPECT_NEAR(ctl().internals().report().lines.pageNumberLine(), line + 567, 0.01);
    ASSERT_NE(drawn(QStringLiteral("-1-")), nullptr);
    EXPECT_NEAR(drawn(QStringLiteral("-1-"))->y, line + 567, 300);
}

TEST_F(PageView, ThePageKeysWorkAfterEveryPanelCloses) {
    restart(9600);
    pages(6);
    ctl().show();
    ctl().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ctl()));
    auto pressOnFocus = [&](int qtKey) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        send(focus, qtKey);
    };
    struct Closing {
        const char* what;
        std::function<void()> open, close;
    };
    const std::vector<Closing> closings = {
        {"Esc in the search panel", [&] { click(6); },
         [&] { send(child<QLineEdit>("txtSearch"), Qt::Key_Escape); }},
        {"Cancel in the margins panel", [&] { select("cboMoreOptions", 1); },
         [&] { child<QPushButton>("cmdCancelMarginsSetup")->click(); }},
        {"OK in the margins panel", [&] { select("cboMoreOptions", 1); },
         [&] { child<QPushButton>("cmdOKMarginsSetup")->click(); }},
        {"Cancel in the zoom options", [&] { select("cboMoreOptions", 2); },
         [&] { child<QPushButton>("cmdCancelZoomOptions")->click(); }},
        {"Cancel in the printer panel", [&] { click(1); },
         [&] { child<QPushButton>("cmdCancel")->click(); }},
    };
    for (const Closing& c : closings) {
        SCOPED_TRACE(c.what);
        c.open();
        c.close();
        EXPECT_TRUE(page()->hasFocus());
        const int32_t before = ctl().internals().view().currentPage;
        pressOnFocus(Qt::Key_F7);
        EXPECT_EQ(ctl().internals().view().currentPage, before + 1);
    }
}

// Magenta columns of the canvas image within a text's line.
std::pair<int, int> highlightedColumns(const QImage& image, const QRect& band) {
    int first = -1, last = -1;
    for (int x = band.left(); x <= band.right(); ++x)
        for (int y = band.top(); y <= band.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.blue() > 200 && c.green() < 80) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    return {first, last};
}

TEST_F(PageView, TheSearchHighlightLiesOnTheFoundCharacters) {
    struct Case {
        QString line, target;
        bool atLeftEnd; // where the target lies in the line as laid out right to left
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Test report for January"), QStringLiteral("January"), false},
        {QString::fromUtf8("שלום עולם"), QString::fromUtf8("עולם"), true},
        {QString::fromUtf8("מאזן בוחן - Trial balance"), QStringLiteral("Trial"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        restart(9600);
        EXPECT_EQ(ctl().let_FontSize(16), Status::Ok);
        EXPECT_EQ(ctl().let_CurrentX(1500), Status::Ok);
        EXPECT_EQ(text(c.line, A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printLastPage(), Status::Ok);
        click(6);
        child<QLineEdit>("txtSearch")->setText(c.target);
        child<QPushButton>("cmdSearch")->click();
        const DrawnText* d = drawn(c.line);
        ASSERT_NE(d, nullptr);
        const QImage& image = ctl().internals().canvasImage();
        const double scale = image.width() / double(ctl().internals().canvas().Width());
        const QRectF line = box(*d);
        const double target = TextMetrics::width(d->font, c.target);
        const double left = c.atLeftEnd ? line.left() : line.right() - target;
        const QRect band(int(line.left() * scale), int(line.top() * scale),
                         int(line.width() * scale) + 1, int(line.height() * scale));
        const auto [first, last] = highlightedColumns(image, band);
        EXPECT_NEAR(first, left * scale, 2);
        EXPECT_NEAR(last, (left + target) * scale, 2);
    }
}

TEST_F(PageView, ShiftAltSwitchesTheSearchToEnglishAlsoWhenAltArrivesAsMeta) {
    restart(9600);
    pages(1);
    click(6);
    QLineEdit* box = child<QLineEdit>("txtSearch");
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(box, &in);
    ASSERT_FALSE(ctl().internals().search().englishKeyboard());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Meta, Qt::ShiftModifier);
    QCoreApplication::sendEvent(box, &release);
    EXPECT_TRUE(ctl().internals().search().englishKeyboard());
}

TEST_F(PageView, TheWheelScrollsAndZoomsAndCtrlPOpensThePrinterPanel) {
    restart(9600);
    pages(2);
    const int top = vscroll()->value();
    wheel(-120);
    EXPECT_EQ(vscroll()->value(), top + 3 * 240);
    wheel(120);
    EXPECT_EQ(vscroll()->value(), top);
    const int right = hscroll()->value();
    wheel(120, Qt::ShiftModifier);
    EXPECT_EQ(hscroll()->value(), right - 3 * 100);
    wheel(60, Qt::ControlModifier); // half a notch: nothing yet
    EXPECT_EQ(child<QComboBox>("cboZoom")->currentIndex(), 8);
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(child<QComboBox>("cboZoom")->currentIndex(), 9);
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.1f);
    wheel(-240, Qt::ControlModifier);
    EXPECT_EQ(child<QComboBox>("cboZoom")->currentIndex(), 7);

    send(page(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(child<QGroupBox>("fraPrinter")->isHidden());
}

TEST_F(PageView, AWindowSmallerThanTheScreenHoldsTheWholePreview) {
    m_control.reset();
    m_platform = testPlatform({Printers::pdfDevice()}, 28800);
    m_platform.screen = std::make_shared<Screen>(28800.0f, 16200.0f);
    QWidget form;
    form.resize(800, 600);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    m_control = std::make_unique<Palvex>(m_platform, Ambient{}, &form);
    start();
    pages(2);
    auto insideForm = [&](const char* what) {
        SCOPED_TRACE(what);
        const QRect window = form.rect();
        EXPECT_TRUE(window.contains(ctl().geometry())) << ctl().geometry().width();
        std::vector<QWidget*> parts = {child<QWidget>("Mainpicture"),
                                       hscroll(),
                                       vscroll(),
                                       child<QWidget>("cboZoom"),
                                       child<QWidget>("cboPage"),
                                       child<QWidget>("cboMoreOptions")};
        for (int i = 0; i < 8; ++i)
            parts.push_back(button(i));
        for (QWidget* w : parts) {
            const QRect r(w->mapTo(&form, QPoint(0, 0)), w->size());
            EXPECT_TRUE(window.contains(r)) << w->objectName().toStdString();
        }
        expectRightEdgeInView();
    };
    insideForm("800 x 600");
    form.resize(1000, 700);
    QCoreApplication::processEvents();
    ASSERT_EQ(form.size(), QSize(1000, 700));
    EXPECT_EQ(ctl().size(), QSize(1000, 700));
    insideForm("1000 x 700");
    m_control.reset(); // before the form it lies on
}

} // namespace
} // namespace palvex::test
