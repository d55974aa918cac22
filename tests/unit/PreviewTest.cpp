// The preview: canvas sizing for the screen and the zoom, where items are drawn, the
// mixed-language line, navigation and keys, and rendered pages against reference pictures.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "preview/PageRenderer.h"
#include "recording/RecordFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <cmath>

#ifndef PALVEX_TEST_REFERENCE_DIR
#define PALVEX_TEST_REFERENCE_DIR "."
#endif

namespace palvex::test {
namespace {

class Preview : public ControlFixture {
protected:
    void key(int qtKey, Qt::KeyboardModifiers modifiers = {}, const char* target = "p1") {
        QWidget* w = child<QWidget>(target);
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers),
            release(QEvent::KeyRelease, qtKey, modifiers);
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
    void restart(QList<PrinterDevice> printers, float screenWidth) {
        m_control.reset();
        m_platform = testPlatform(std::move(printers), screenWidth);
        m_control = std::make_unique<Palvex>(m_platform);
        start();
    }
    const DrawnText& drawnText(const QString& text) {
        for (const DrawnText& d : ctl().internals().renderer().drawn)
            if (d.text.trimmed() == text) return d;
        static const DrawnText none{};
        ADD_FAILURE() << "not drawn: " << text.toStdString();
        return none;
    }
    QScrollBar* vscroll() { return child<QScrollBar>("VScroll"); }
    // A width on the canvas in the font an item was drawn with.
    float drawnWidth(const DrawnText& d, const QString& s) {
        return float(TextMetrics::width(d.font, s) / ctl().internals().canvas().twipsPerUnitX());
    }
};

// A page whose canvas is 16834 twips high at 100 %.
PrinterDevice tallPrinter() {
    return {QStringLiteral("Tall"), false, 11909, 16409, 11189, 15689, 2};
}

TEST_F(Preview, TheCanvasIsThePaperOnAnyScreenAndFollowsTheZoomOptions) {
    restart({tallPrinter()}, 9600);
    pages(1);
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Width(), 11909);
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Height(), 16834);

    restart({tallPrinter()}, 12000); // a wider screen does not widen the paper
    pages(1);
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Width(), 11909);
    EXPECT_FLOAT_EQ(ctl().internals().canvas().ScaleWidth(), 11189);
    EXPECT_FLOAT_EQ(ctl().internals().canvas().Height(), 16834);

    restart({tallPrinter()}, 9600);
    pages(1);
    const ImageSurface& canvas = ctl().internals().canvas();
    child<QCheckBox>("chkZoomHeight")->setChecked(true);
    select("cboZoom", 13); // 150 %
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 1.5f);
    EXPECT_FLOAT_EQ(canvas.Height(), 25251);
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(), 24826);
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.breakLimit(), 22126);
    EXPECT_FLOAT_EQ(canvas.Width(), 11909); // "Width area" is off
    select("cboZoom", 8);                   // back to 100 %: the saved page-number line returns
    EXPECT_FLOAT_EQ(ctl().internals().report().lines.pageNumberLine(),
                    ctl().internals().report().lines.unzoomedPageNumberLine());
    EXPECT_FLOAT_EQ(canvas.Height(), 16834);
}

TEST_F(Preview, AlignedTextTakesTheCentringShiftExceptWhenLeftAligned) {
    start();
    EXPECT_EQ(ctl().let_CurrentX(2000), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("plain"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(right(QStringLiteral("right"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(center(QStringLiteral("  centre  "), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(left(QStringLiteral("left"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    // Shift every item by 500 twips, as page centring would.
    RecordFile file;
    file.open(path("palvex.rpt").toStdString(), PrintItem::Size, RecordFile::Mode::KeepContents);
    for (int32_t n = 1; n <= 4; ++n) {
        PrintItem it = item(n);
        it.CenterOffset = 500;
        PrintItem::Bytes bytes;
        it.encode(bytes, CodePage::system());
        file.write(n, bytes.data());
    }
    store().forgetCachedBlock();
    select("cboPage", 0);

    const float W = ctl().internals().canvas().ScaleWidth();
    const Margins m = ctl().internals().report().margins;
    EXPECT_NEAR(drawnText(QStringLiteral("plain")).x, 2000 + 500, 0.01);
    EXPECT_NEAR(drawnText(QStringLiteral("right")).x, m.right + 500, 0.01);
    // Centred text is measured without its blanks but drawn with the leading ones.
    const DrawnText& centre = drawnText(QStringLiteral("centre"));
    EXPECT_EQ(centre.text, QStringLiteral("  centre"));
    EXPECT_NEAR(centre.x,
                m.right +
                    (W - m.left - m.right - drawnWidth(centre, QStringLiteral("centre"))) / 2 + 500,
                0.01);
    const DrawnText& leftText = drawnText(QStringLiteral("left"));
    EXPECT_NEAR(leftText.x, W - m.left - drawnWidth(leftText, QStringLiteral("left")), 0.01);
    // Free text is the page's extent; aligned text is not.
    EXPECT_FLOAT_EQ(ctl().internals().renderer().minTextX, 2500);
}

TEST_F(Preview, AMixedLanguageLineIsCentredAsOneAndStopsBeforeFootersAndShapes) {
    start();
    QString heading = QString::fromUtf8("כותרת ");
    ASSERT_EQ(ctl().centerMixedLanguages(heading), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("Heading "), A1_StayWhereYouAre), Status::Ok);
    ASSERT_EQ(text(QString::fromUtf8("סוף"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("after")), Status::Ok);
    // A second line that never ends: the page number must keep its own place.
    QString open = QStringLiteral("open line");
    ASSERT_EQ(ctl().centerMixedLanguages(open), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    const float W = ctl().internals().canvas().ScaleWidth();
    const Margins m = ctl().internals().report().margins;
    const DrawnText& first = drawnText(QString::fromUtf8("כותרת"));
    const float total = drawnWidth(first, QString::fromUtf8("כותרת")) +
                        drawnWidth(first, QStringLiteral("Heading")) +
                        drawnWidth(first, QString::fromUtf8("סוף"));
    EXPECT_NEAR(first.x, m.right + (W - m.left - m.right - total) / 2, 0.05);
    EXPECT_NEAR(drawnText(QStringLiteral("Heading")).x, first.x + first.width, 0.05);
    EXPECT_FLOAT_EQ(drawnText(QStringLiteral("after")).x, item(4).ItemX);

    const DrawnText& openLine = drawnText(QStringLiteral("open line"));
    EXPECT_NEAR(openLine.x,
                m.right +
                    (W - m.left - m.right - drawnWidth(openLine, QStringLiteral("open line"))) / 2,
                0.05);
    const DrawnText& number = drawnText(QStringLiteral("-1-"));
    EXPECT_EQ(number.footerFlag, FooterItem);
    EXPECT_NEAR(number.y, ctl().internals().report().lines.pageNumberLine(), 0.01);
}

TEST_F(Preview, TheToolbarTurnsPagesOnlyInAReportOfSeveral) {
    start();
    pages(1);
    const int32_t page = ctl().internals().view().currentPage;
    for (int b = 2; b <= 5; ++b)
        button(b)->click();
    EXPECT_EQ(ctl().internals().view().currentPage, page);

    start();
    pages(3);
    button(5)->click(); // Last
    EXPECT_EQ(ctl().internals().view().currentPage, 3);
    EXPECT_EQ(child<QComboBox>("cboPage")->currentIndex(), 2);
    vscroll()->setValue(500);
    button(4)->click(); // Next on the last page: redrawn from its top
    EXPECT_EQ(ctl().internals().view().currentPage, 3);
    EXPECT_EQ(vscroll()->value(), 0);
    button(3)->click();
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
    vscroll()->setValue(700);
    button(2)->click(); // First keeps the scroll position
    EXPECT_EQ(ctl().internals().view().currentPage, 1);
    EXPECT_EQ(vscroll()->value(), 700);
    select("cboPage", 1);
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
    EXPECT_EQ(ctl().internals().renderer().rangeFirst, ctl().internals().report().pageIndex[1] + 1);
}

TEST_F(Preview, PageKeysScrollThenTurnAndShiftDisablesThem) {
    start();
    pages(2);
    QScrollBar* v = vscroll();
    ASSERT_GT(v->maximum(), 3001);
    for (auto [from, to] : {std::pair{2500, 0}, {3001, 1}, {3000, 0}}) {
        v->setValue(from);
        key(Qt::Key_PageUp);
        EXPECT_EQ(v->value(), to) << from;
    }
    key(Qt::Key_End);
    EXPECT_EQ(v->value(), v->maximum());
    key(Qt::Key_PageDown); // at the bottom of page 1: the next page
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
    key(Qt::Key_F8);
    key(Qt::Key_F5); // F5 and F8 scroll; they never turn the page
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
    EXPECT_EQ(v->value(), 0);
    v->setValue(v->maximum());
    key(Qt::Key_PageDown); // the bottom of the last page: nowhere to go
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
    EXPECT_EQ(v->value(), v->maximum());
    key(Qt::Key_F6);
    EXPECT_EQ(ctl().internals().view().currentPage, 1);
    key(Qt::Key_F7, Qt::ShiftModifier);
    key(Qt::Key_F7, Qt::ControlModifier);
    EXPECT_EQ(ctl().internals().view().currentPage, 1);
    // An arrow on the canvas acts on key down and again on key up.
    v->setValue(1000);
    key(Qt::Key_Down);
    EXPECT_EQ(v->value(), 1000 + 2 * 240);
}

TEST_F(Preview, ZoomStopsAtItsEnds) {
    start();
    pages(1);
    select("cboZoom", 18);
    child<QToolButton>("Image1")->click();
    EXPECT_EQ(child<QComboBox>("cboZoom")->currentIndex(), 18);
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 2.0f);
    select("cboZoom", 0);
    child<QToolButton>("Image2")->click();
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 0.2f);
    child<QToolButton>("Image1")->click();
    EXPECT_FLOAT_EQ(ctl().internals().view().zoomFactor, 0.3f);
}

TEST_F(Preview, StartUpLaysTheWindowOutForTheScreen) {
    restart({Printers::pdfDevice()}, 12000);
    // Buttons 900 twips wide at 840 steps, scaled by 12000 / 9600.
    EXPECT_EQ(button(1)->geometry(),
              QRect(qRound(840 * 1.25 / 15), 0, qRound(900 * 1.25 / 15), qRound(700 / 15.0)));
    EXPECT_EQ(child<QComboBox>("cboZoom")->currentText(), QStringLiteral("100%"));
    EXPECT_EQ(child<QComboBox>("cboLeftMargin")->count(), 401);
    EXPECT_EQ(child<QComboBox>("cboBottomMargin")->currentText(), QStringLiteral("3.50"));
    EXPECT_TRUE(child<QCheckBox>("chkZoomCurrentx")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("chkZoomWidth")->isChecked());
    EXPECT_FALSE(child<QWidget>("cmdShowDaf")->isHidden());
    EXPECT_TRUE(child<QWidget>("HScroll")->isHidden());
    EXPECT_EQ(child<QScrollBar>("HScroll")->value(), child<QScrollBar>("HScroll")->maximum());
    EXPECT_EQ(button(0)->toolTip(), QStringLiteral("Close Print Preview Control"));
    // Starting again does not scale the toolbar twice.
    start();
    EXPECT_EQ(button(1)->geometry().width(), qRound(900 * 1.25 / 15));
}

TEST_F(Preview, CloseUnloadsTheHostForm) {
    m_control.reset();
    QWidget form;
    m_platform = testPlatform();
    auto* control = new Palvex(m_platform, {}, &form);
    form.show();
    ASSERT_EQ(control->StartPalvexPrintPreview(), Status::Ok);
    QString t = QStringLiteral("x");
    AfterPrintType e = A1_StayWhereYouAre;
    EXPECT_EQ(control->printText(t, e), Status::Ok);
    EXPECT_EQ(control->printLastPage(), Status::Ok);
    for (QPushButton* b : control->findChildren<QPushButton*>(QStringLiteral("cmd")))
        if (b->property("index").toInt() == 0) b->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(control->internals().reportStore().itemCount(), 0);
    // A host that goes on after Close gets statuses, never a crash.
    EXPECT_EQ(control->let_FontName(QStringLiteral("Times New Roman")), Status::Ok);
    EXPECT_EQ(control->let_CurrentY(100), Status::Ok);
    EXPECT_EQ(control->printText(t, e), Status::BadFileName);
    EXPECT_EQ(control->printPage(), Status::BadFileName);
    EXPECT_EQ(control->checkMin1(), Status::BadFileName);
    EXPECT_EQ(control->printLastPage(), Status::BadFileName);
    // A new start records again.
    ASSERT_EQ(control->StartPalvexPrintPreview(), Status::Ok);
    EXPECT_EQ(control->printText(t, e), Status::Ok);
}

// Rendered pages against stored pictures: the same fonts on every Debian machine draw the same
// page, and a regression moves or loses text by far more than anti-aliasing does.
double meanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 255;
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8),
                 y = b.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(int(x.constScanLine(row)[col]) - int(y.constScanLine(row)[col]));
    return sum / (double(x.width()) * x.height());
}

TEST_F(Preview, RenderedPagesMatchTheirReferences) {
    start();
    EXPECT_EQ(ctl().let_FontSize(16), Status::Ok);
    EXPECT_EQ(ctl().let_FontBold(true), Status::Ok);
    ASSERT_EQ(center(QString::fromUtf8("מאזן בוחן - Trial balance 2026"), A2_JumpToNextLine),
              Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(10), Status::Ok);
    EXPECT_EQ(ctl().let_FontBold(false), Status::Ok);
    const char* names[] = {"מזומנים בקופה", "בנק הפועלים", "לקוחות", "ספקים", "מלאי סחורה"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
        EXPECT_EQ(text(QString::number(100100 + i)), Status::Ok);
        EXPECT_EQ(ctl().let_CurrentX(2800), Status::Ok);
        EXPECT_EQ(text(QString::fromUtf8(names[i])), Status::Ok);
        EXPECT_EQ(ctl().let_CurrentX(7600), Status::Ok);
        EXPECT_EQ(text(QStringLiteral("%1.50").arg(1000 * (i + 1)), A2_JumpToNextLine), Status::Ok);
    }
    QString mixed = QString::fromUtf8("סיכום");
    EXPECT_EQ(ctl().centerMixedLanguages(mixed), Status::Ok);
    EXPECT_EQ(text(QStringLiteral(" Summary")), Status::Ok);
    EXPECT_EQ(text(QString::fromUtf8(" כללי"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    const QString reference = QStringLiteral(PALVEX_TEST_REFERENCE_DIR "/page-text.png");
    const QImage page = ctl().internals().canvasImage();
    if (qEnvironmentVariableIsSet("PALVEX_UPDATE_REFERENCES")) page.save(reference);
    const QImage expected(reference);
    ASSERT_FALSE(expected.isNull()) << "missing " << reference.toStdString();
    EXPECT_LT(meanDifference(page, expected), 1.0);

    select("cboZoom", 3); // 50 %
    const QString reference50 = QStringLiteral(PALVEX_TEST_REFERENCE_DIR "/page-text-50.png");
    if (qEnvironmentVariableIsSet("PALVEX_UPDATE_REFERENCES"))
        ctl().internals().canvasImage().save(reference50);
    EXPECT_LT(meanDifference(ctl().internals().canvasImage(), QImage(reference50)), 1.0);
}

} // namespace
} // namespace palvex::test
