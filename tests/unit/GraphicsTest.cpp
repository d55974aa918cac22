// Graphics: the packed parameters of shapes, pictures and runs, their warnings, and how a
// surface draws them, checked by the pixels where a fault would show.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "platform/ImageSurface.h"
#include "preview/PageRenderer.h"
#include "recording/ShapeParams.h"

#include <QComboBox>
#include <QImage>

#include <cmath>

#ifndef PALVEX_TEST_REFERENCE_DIR
#define PALVEX_TEST_REFERENCE_DIR "."
#endif

namespace palvex::test {
namespace {

class Graphics : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        start();
    }
    Status box(float x1, float y1, float x2, float y2, int32_t fill, int16_t& width,
               int32_t align = 0, const char* inside = "") {
        int32_t style = 0, mode = 13, fillStyle = 0;
        auto al = AlignType(align);
        QString text = QString::fromLatin1(inside);
        return ctl().printBox(x1, y1, x2, y2, fill, style, mode, width, fillStyle, al, text);
    }
    Status line(float x1, float y1, float x2, float y2, int32_t color = 0, int32_t align = 0) {
        int32_t mode = 13, style = 0;
        int16_t width = 1;
        auto al = AlignType(align);
        return ctl().printLine(x1, y1, x2, y2, color, mode, style, width, al);
    }
    Status circle(float x, float y, float r, int32_t align = 0, const char* inside = "",
                  float aspect = 0) {
        int32_t fill = 0xFF, style = 0, mode = 13, fillStyle = 0, outline = 0x800000;
        int16_t width = 2;
        auto al = AlignType(align);
        float start = 0.5f, end = 2.5f;
        QString text = QString::fromLatin1(inside);
        return ctl().printCircle(x, y, fill, style, mode, width, fillStyle, r, al, &outline, &start,
                                 &end, &text, &aspect);
    }
    Status run(float start, float end, int16_t code, int32_t direction = PrintHorizontal,
               int32_t entr = 1, int32_t placement = 0) {
        auto dr = DirectionOfPrintCharsType(direction);
        auto e = AfterPrintType(entr);
        auto k = WhereToPrintChars(placement);
        return ctl().fxPrintingChars(start, end, code, dr, e, k);
    }
    Status picture(const QString& file, int32_t h = 0, int32_t v = 0) {
        QString name = file;
        auto alh = AlignPicHorizontalType(h);
        auto alv = AlignPicVerticalType(v);
        return ctl().printPicture(name, alh, alv);
    }
    // A picture 2000 x 1000 hundredths of a millimetre (200 x 100 pixels at 254 dpi).
    QString makePicture(const char* name = "pic.png") {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::blue);
        image.setDotsPerMeterX(10000);
        image.setDotsPerMeterY(10000);
        const QString file = path(name);
        image.save(file);
        return file;
    }
};

TEST_F(Graphics, ShapeParametersArePackedAtTheirPositions) {
    int16_t width = 3;
    ASSERT_EQ(box(1000, 850.5f, 5000, 1800, 255, width, 0, "Inside"), Status::Ok);
    const QString t = item(1).ItemText;
    EXPECT_EQ(item(1).ItemKind, KindBox);
    EXPECT_EQ(t.mid(0, 10), QStringLiteral("      1000"));
    EXPECT_EQ(t.mid(10, 10), QStringLiteral("     850.5"));
    EXPECT_EQ(t.mid(20, 10), QStringLiteral("      5000"));
    EXPECT_EQ(t.mid(30, 10), QStringLiteral("      1800"));
    EXPECT_EQ(t.mid(40, 5), QStringLiteral("    3"));
    EXPECT_EQ(t.mid(45, 10), QStringLiteral("       255"));
    EXPECT_EQ(t.mid(55, 2), QStringLiteral(" 0"));
    EXPECT_EQ(t.mid(57, 2), QStringLiteral("13"));
    EXPECT_EQ(t.mid(59, 2), QStringLiteral(" 0"));
    EXPECT_EQ(t.mid(91, 1), QStringLiteral("0"));
    EXPECT_EQ(t.mid(92, 6), QStringLiteral("Inside"));
    // Recording draws nothing and leaves the cursor; the item's x follows the alignment rule.
    EXPECT_FLOAT_EQ(item(1).ItemX, 0);

    ASSERT_EQ(circle(3000, 4000, 12345.5f, A3_AlignLeft, "C", 0.5f), Status::Ok);
    const QString c = item(2).ItemText;
    EXPECT_EQ(c.mid(61, 5), QStringLiteral("12345")); // a number keeps its first characters
    EXPECT_EQ(c.mid(66, 5), QStringLiteral("  0.5"));
    EXPECT_EQ(c.mid(71, 5), QStringLiteral("  2.5"));
    EXPECT_EQ(c.mid(76, 5), QStringLiteral("  0.5"));
    EXPECT_EQ(c.mid(81, 10), QStringLiteral("   8388608"));
    EXPECT_EQ(c.mid(91, 1), QStringLiteral("3"));
    EXPECT_EQ(item(2).NoCentering, 1); // left-aligned shapes keep their place
    EXPECT_FLOAT_EQ(item(2).ItemX, ctl().internals().recordingSurface().ScaleWidth() -
                                       ctl().internals().report().margins.left);

    // An inside text longer than 60 characters is cut to 60.
    QString longInside = QString(70, QLatin1Char('x'));
    ASSERT_EQ(box(0, 0, 10, 10, 0, width, 0, qPrintable(longInside)), Status::Ok);
    EXPECT_EQ(item(3).ItemText.mid(92, 61).trimmed(), QString(60, QLatin1Char('x')));
}

TEST_F(Graphics, ALineCarriesTheParametersOfThePreviousShape) {
    ASSERT_EQ(circle(3000, 4000, 1500, 0, "Round", 0.75f), Status::Ok);
    ASSERT_EQ(line(100, 200, 300, 400), Status::Ok);
    const QString t = item(2).ItemText;
    EXPECT_EQ(item(2).ItemKind, KindLine);
    EXPECT_EQ(t.mid(61, 5), QStringLiteral(" 1500"));
    EXPECT_EQ(t.mid(76, 5), QStringLiteral(" 0.75"));
    EXPECT_EQ(t.mid(92, 5), QStringLiteral("Round"));
    EXPECT_EQ(t.mid(0, 10).trimmed(), QStringLiteral("100"));
}

TEST_F(Graphics, APenWidthBelowOneBecomesOneAlsoForTheCaller) {
    int16_t width = 0;
    ASSERT_EQ(box(1, 1, 2, 2, 0, width), Status::Ok);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(item(1).ItemText.mid(40, 5), QStringLiteral("    1"));
    Dispatch dispatch(ctl());
    std::vector<Variant> args{Variant(1.0f),       Variant(1.0f),        Variant(5.0f),
                              Variant(5.0f),       Variant(int32_t(0)),  Variant(int32_t(13)),
                              Variant(int32_t(0)), Variant(int16_t(-4)), Variant(int32_t(0))};
    ASSERT_EQ(dispatch.invoke(dispatch.idOfName("printLine"), InvokeKind::Method, args, nullptr),
              Status::Ok);
    EXPECT_EQ(args[7].toInt16(), 1);
}

TEST_F(Graphics, PicturesAdvanceTheCursorByTheirHeight) {
    const QString file = makePicture();
    EXPECT_EQ(ctl().let_CurrentY(1000), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(500), Status::Ok);
    ASSERT_EQ(picture(file), Status::Ok);
    ASSERT_EQ(store().itemCount(), 1);
    const PrintItem p = item(1);
    EXPECT_EQ(p.ItemKind, KindPicture);
    EXPECT_EQ(p.NoCentering, 1);
    EXPECT_FLOAT_EQ(p.ItemY, 1000);
    // No alignment: page width - host x - picture width, in the picture's own unit.
    EXPECT_FLOAT_EQ(p.ItemX, ctl().internals().recordingSurface().ScaleWidth() - 500 - 2000);
    EXPECT_EQ(p.ItemText.left(100), file.rightJustified(100));
    EXPECT_EQ(p.ItemText.left(100).trimmed(), file);
    EXPECT_EQ(p.ItemText.mid(100, 10), QStringLiteral("      2000"));
    EXPECT_EQ(p.ItemText.mid(110, 10), QStringLiteral("      1000"));
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentY(), 2000);
    float y = 0;
    EXPECT_EQ(ctl().get_CurrentY(out(y)), Status::Ok);
    EXPECT_FLOAT_EQ(y, 2000);
    EXPECT_TRUE(boxes().log().empty());
}

TEST_F(Graphics, MissingAndInvalidPicturesAreReportedAndNotRecorded) {
    const float y = ctl().internals().recordingSurface().CurrentY();
    ASSERT_EQ(picture(QStringLiteral("nowhere.png")), Status::Ok);
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[0], QStringLiteral("beep"));
    EXPECT_EQ(boxes().log()[1],
              QStringLiteral("msgbox 0: You defined a bitmap file named nowhere.png\\n"
                             "for printing picture,\\nbut the file does not exist,\\n"
                             "therefore it would not be presented"));
    boxes().clearLog();
    QFile text(path("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    ASSERT_EQ(picture(path("notes.png")), Status::Ok);
    ASSERT_EQ(boxes().log().size(), 1u);
    EXPECT_EQ(
        boxes().log()[0],
        QStringLiteral("msgbox 0: You defined a bitmap file named ") + path("notes.png") +
            QStringLiteral("\\nwhich is invalid picture,\\ntherefore it would not be presented"));
    EXPECT_EQ(store().itemCount(), 0);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().CurrentY(), y);
}

TEST_F(Graphics, ALongPictureNameIsKeptWholeAndItsSizesFollowIt) {
    QDir(m_dir.path())
        .mkpath(QString(60, QLatin1Char('d')) + QStringLiteral("/") +
                QString(60, QLatin1Char('e')));
    const QString relative = QString(60, QLatin1Char('d')) + QStringLiteral("/") +
                             QString(60, QLatin1Char('e')) + QStringLiteral("/") +
                             QString(180, QLatin1Char('f')) + QStringLiteral(".png");
    const QString file = makePicture(qPrintable(relative));
    ASSERT_GT(file.toUtf8().size(), 300);
    ASSERT_EQ(picture(file), Status::Ok);
    ASSERT_EQ(store().itemCount(), 1);
    const PictureParams stored = PictureParams::decode(item(1).ItemText);
    EXPECT_EQ(stored.fileName, file);
    EXPECT_GT(stored.width, 0);
    EXPECT_GT(stored.height, 0);
    // A short name keeps the layout it always had: right-justified in 100 columns.
    ASSERT_EQ(picture(makePicture("short.png")), Status::Ok);
    EXPECT_EQ(item(2).ItemText.left(100).trimmed(), path("short.png"));
}

TEST_F(Graphics, CharacterRunsAndTheirChecks) {
    EXPECT_EQ(ctl().let_FontUnderline(true), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(14), Status::Ok);
    ASSERT_EQ(run(850.5f, 11905.5f, 175, PrintHorizontal, 1, 7), Status::Ok);
    const PrintItem r = item(1);
    EXPECT_EQ(r.ItemKind, KindChars);
    EXPECT_EQ(r.CharsPlacement, 0); // an unknown placement becomes 0
    EXPECT_EQ(r.FontUnderline, 0);  // the macron is an overline rule of its own
    EXPECT_FLOAT_EQ(r.FontSize, 8);
    EXPECT_EQ(r.ItemText.left(1), QString(CodePage::system().charOf(175)));
    EXPECT_EQ(r.ItemText.mid(1, 1), QStringLiteral("0"));
    EXPECT_EQ(r.ItemText.mid(2, 8), QString(8, QLatin1Char(' ')));
    EXPECT_EQ(r.ItemText.mid(10, 5), QStringLiteral("850.5"));
    EXPECT_EQ(r.ItemText.mid(15, 5), QStringLiteral("11905"));

    ASSERT_EQ(run(0, 0, 61, PrintVertical, 2, 1), Status::Ok);
    EXPECT_EQ(item(2).ItemKind, KindCharsNewLine);
    EXPECT_EQ(item(2).NoCentering, 1);
    EXPECT_EQ(item(2).FontUnderline, -1);

    ASSERT_EQ(run(0, 100, 256), Status::Ok);
    EXPECT_EQ(store().itemCount(), 2);
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[1],
              QStringLiteral("msgbox 64: ASCII Code should be little than 255\\n"
                             "You defined ASCII = 256\\n"
                             "Please contaxt your software supplier to solve this"));
    EXPECT_EQ(run(0, 100, -1), Status::InvalidProcedureCall);
    EXPECT_EQ(store().itemCount(), 2);

    // The caller's variables learn the kind and the placement used.
    float a = 0, b = 100;
    int16_t code = 45;
    auto dr = PrintHorizontal;
    auto e = AfterPrintType(1);
    auto k = WhereToPrintChars(9);
    ASSERT_EQ(ctl().fxPrintingChars(a, b, code, dr, e, k), Status::Ok);
    EXPECT_EQ(e, 13);
    EXPECT_EQ(k, 0);
}

// Surfaces draw what their operations say: checked by pixels.
class SurfaceGraphics : public ::testing::Test {
protected:
    SurfaceGraphics() : surface(1.0, 1.0) { // one pixel per twip: exact positions
        surface.setScaleModeTwips();
        surface.setWidth(400);
        surface.setHeight(400);
        surface.Cls();
    }
    QRgb at(int x, int y) { return surface.image().pixel(x, y); }
    ImageSurface surface;
};

TEST_F(SurfaceGraphics, AFilledBoxIsFilledAndATransparentOneIsNot) {
    surface.setFillStyle(0);
    surface.setFillColor(0x0000FF); // red
    surface.Line(50, 50, 150, 150, 0, true);
    EXPECT_EQ(at(100, 100), qRgb(255, 0, 0));
    EXPECT_EQ(at(200, 200), qRgb(255, 255, 255));
    surface.setFillStyle(1);
    surface.Line(200, 200, 300, 300, 0, true);
    EXPECT_EQ(at(250, 250), qRgb(255, 255, 255));
    EXPECT_NE(at(200, 250), qRgb(255, 255, 255)); // its border is drawn
}

TEST_F(SurfaceGraphics, ADashedLineHasGapsAndASolidOneNone) {
    surface.setDrawWidth(1);
    surface.setDrawStyle(1);
    surface.Line(0, 100, 400, 100, 0, false);
    surface.setDrawStyle(0);
    surface.Line(0, 200, 400, 200, 0, false);
    int dashedBlank = 0, solidBlank = 0;
    for (int x = 10; x < 390; ++x) {
        dashedBlank += at(x, 100) == qRgb(255, 255, 255);
        solidBlank += at(x, 200) == qRgb(255, 255, 255);
    }
    EXPECT_GT(dashedBlank, 40);
    EXPECT_EQ(solidBlank, 0);
}

TEST_F(SurfaceGraphics, AnArcStaysWithinItsAngles) {
    surface.setDrawWidth(3);
    const Surface::Arc upper{0.2f, 2.9f}; // counter-clockwise through the top
    surface.Circle(200, 200, 100, 0, &upper);
    auto dark = [&](int x, int y) { return qGray(at(x, y)) < 128; };
    EXPECT_TRUE(dark(200, 100));  // the top of the circle
    EXPECT_FALSE(dark(200, 300)); // the bottom is outside the angles
    // Negative angles draw a pie: the radius to the start point too.
    surface.Cls();
    const Surface::Arc pie{-0.01f, -1.5f};
    surface.setFillStyle(0);
    surface.setFillColor(0);
    surface.Circle(200, 200, 100, 0, &pie);
    EXPECT_TRUE(dark(240, 170)); // inside the quarter towards the upper right
    EXPECT_FALSE(dark(160, 240));
}

TEST_F(SurfaceGraphics, AnEllipseFollowsItsAspectAndXorUndoesItself) {
    surface.setFillStyle(0);
    surface.setFillColor(0);
    surface.Circle(200, 200, 100, 0, nullptr, 0.5f); // 100 wide each way, 50 high
    EXPECT_EQ(qGray(at(280, 200)), 0);
    EXPECT_EQ(qGray(at(200, 170)), 0);
    EXPECT_EQ(qGray(at(200, 130)), 255);
    surface.Cls();
    surface.setDrawMode(7); // xor pen
    surface.setFillColor(0xFFFFFF);
    surface.Line(100, 100, 300, 300, 0xFFFFFF, true);
    EXPECT_EQ(at(200, 200), qRgb(0, 0, 0));
    surface.Line(100, 100, 300, 300, 0xFFFFFF, true);
    EXPECT_EQ(at(200, 200), qRgb(255, 255, 255));
    EXPECT_THROW(surface.setDrawMode(17), Error);
}

// The canvas keeps what is drawn until its pixels are first read; drawn then, in the font, colour
// and pen each drawing had, it must look as if drawn at once, highlights and xor included.
TEST(ImageSurfaceKept, DrawingKeptUntilThePixelsAreReadLooksAsDrawnAtOnce) {
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(QColor(0, 128, 0, 128));
    auto draw = [&](ImageSurface& s, int extraLines) {
        s.setScaleModeTwips();
        s.setWidth(3000);
        s.setHeight(2000);
        s.setBackColor(QColor(255, 255, 200));
        s.Cls();
        s.setBackColor(Qt::white); // the page stays in the colour it was cleared in
        s.setFontName(QStringLiteral("Liberation Sans"));
        s.setFontSize(12);
        s.setForeColor(0x0000C0);
        s.Print(u"שלום (עולם) 1,234.50", true);
        s.setFontBold(true);
        s.setForeColor(0);
        s.Print(u"Trial balance", true);
        s.HighlightText(QStringLiteral("Trial balance"), s.font(), 0, s.CurrentY() - 276, 2, 5,
                        0x00FFFF);
        s.setDrawWidth(4);
        s.setDrawStyle(1);
        s.Line(100, 900, 2900, 900, 0xFF0000, false);
        s.setDrawStyle(0);
        s.setFillStyle(0);
        s.setFillColor(0x00FF00);
        s.Line(200, 1000, 900, 1500, 0, true);
        const Surface::Arc pie{-0.5f, -2.0f};
        s.Circle(1500, 1300, 300, 0x800080, &pie);
        s.PaintPicture(picture, 2000, 1000, 600, 300);
        s.setDrawMode(7); // xor over what is there
        s.setFillColor(0xFFFFFF);
        s.Line(150, 950, 1200, 1600, 0xFFFFFF, true);
        s.setDrawMode(13);
        s.setDrawWidth(1);
        for (int i = 0; i < extraLines; ++i)
            s.Line(0, float(i % 2000), 10, float(i % 2000), 0, false);
    };
    ImageSurface atOnce, kept;
    (void)atOnce.image(); // read first: drawn as it goes
    draw(atOnce, 0);
    draw(kept, 0);
    EXPECT_FALSE(kept.holdsPixels());
    EXPECT_EQ(kept.image(), atOnce.image());
    EXPECT_EQ(kept.image().pixel(195, 130), qRgb(255, 255, 200)); // 15 twips a pixel
    EXPECT_EQ(kept.font().bold, true); // the state is the surface's own again
    EXPECT_EQ(kept.DrawMode(), 13);

    // A page that draws more than the list should hold is drawn as it goes.
    ImageSurface busyAtOnce, busy;
    (void)busyAtOnce.image();
    draw(busyAtOnce, 30000);
    draw(busy, 30000);
    EXPECT_TRUE(busy.holdsPixels());
    EXPECT_EQ(busy.image(), busyAtOnce.image());
}

TEST_F(Graphics, PicturesArePlacedInTwipsAndFollowTheZoom) {
    const QString file = makePicture();
    ASSERT_EQ(picture(file, A1_AlignPicHorizontalRight, A1_AlignPicVerticalTop), Status::Ok);
    ASSERT_EQ(picture(path("gone.png")), Status::Ok); // reported, not recorded
    EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("after")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    // 2000 hundredths of a millimetre are 1134 twips: the picture's right edge is at the margin.
    const QImage& page = ctl().internals().canvasImage();
    // Pixels per twip of the canvas, which draws in twips from its printable corner.
    const ImageSurface& canvas = ctl().internals().canvas();
    const double px = page.width() / double(canvas.Width());
    const double right =
        (canvas.originX() + canvas.ScaleWidth() - ctl().internals().report().margins.right) * px;
    const double top = (canvas.originY() + ctl().internals().report().margins.top) * page.height() /
                           double(canvas.Height()) +
                       10;
    EXPECT_EQ(page.pixel(int(right) - 3, int(top)), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixel(int(right) + 3, int(top)), qRgb(255, 255, 255));
    const double left = right - 2000 * 1440.0 / 2540 * px;
    EXPECT_EQ(page.pixel(int(left) + 3, int(top)), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixel(int(left) - 3, int(top)), qRgb(255, 255, 255));

    // A picture file removed after recording is skipped; the rest of the page draws.
    QFile::remove(file);
    auto* pages = ctl().findChild<QComboBox*>(QStringLiteral("cboPage"));
    emit pages->activated(0);
    EXPECT_EQ(ctl().internals().renderer().drawn.size(), 2u); // "after" and the page number
}

TEST_F(Graphics, RunsEndEvenWhenTheCharacterDoesNotMoveOn) {
    // A combining point has no advance; a 1-point font's line is shorter than the rise.
    EXPECT_EQ(ctl().let_CurrentX(2000), Status::Ok);
    ASSERT_EQ(run(1000, 9000, int16_t(0xC0)), Status::Ok); // Hebrew sheva
    EXPECT_EQ(ctl().let_FontSize(1), Status::Ok);
    ASSERT_EQ(run(1000, 9000, 45, PrintVertical), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok); // drawing the page returns
    EXPECT_EQ(store().itemCount(), 3);
}

TEST_F(Graphics, EveryKindOfItemDrawsAsItsReferencePage) {
    const QString file = makePicture();
    EXPECT_EQ(ctl().let_FontBold(true), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(20), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(0xFF0000), Status::Ok);
    int16_t width = 4;
    ASSERT_EQ(box(1000, 900, 5000, 1800, 0xFF, width, A2_AlignCenter, "Palvex"), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(0x008000), Status::Ok);
    ASSERT_EQ(circle(3000, 4000, 1400, 0, "Circle"), Status::Ok);
    ASSERT_EQ(circle(8000, 4000, 1200, 0, "", 0.6f), Status::Ok);
    ASSERT_EQ(line(1000, 2400, 10000, 2400, 0xFF0000), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(12), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentY(6000), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(text(QString::fromUtf8("שורה עם קו עליון")), Status::Ok);
    ASSERT_EQ(run(0, 0, 175, PrintHorizontal, 2, K2_StartAndEndPointAsStringOfLastRow), Status::Ok);
    ASSERT_EQ(run(0, 0, 61, PrintHorizontal, 2, K1_FromLeftmarginToRightmargin), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(9000), Status::Ok);
    ASSERT_EQ(run(7000, 9500, 124, PrintVertical, 1), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(5000), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentY(10000), Status::Ok);
    ASSERT_EQ(picture(file), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    auto compare = [&](const char* name) {
        const QString reference =
            QStringLiteral(PALVEX_TEST_REFERENCE_DIR "/") + QString::fromLatin1(name);
        if (qEnvironmentVariableIsSet("PALVEX_UPDATE_REFERENCES"))
            ctl().internals().canvasImage().save(reference);
        const QImage expected(reference);
        ASSERT_FALSE(expected.isNull()) << reference.toStdString();
        const QImage actual =
            ctl().internals().canvasImage().convertToFormat(QImage::Format_Grayscale8);
        const QImage wanted = expected.convertToFormat(QImage::Format_Grayscale8);
        ASSERT_EQ(actual.size(), wanted.size());
        double sum = 0;
        for (int y = 0; y < actual.height(); ++y)
            for (int x = 0; x < actual.width(); ++x)
                sum += std::abs(int(actual.constScanLine(y)[x]) - int(wanted.constScanLine(y)[x]));
        EXPECT_LT(sum / (actual.width() * double(actual.height())), 1.0) << name;
    };
    compare("page-graphics.png");
    auto* zoom = ctl().findChild<QComboBox*>(QStringLiteral("cboZoom"));
    zoom->setCurrentIndex(3);
    emit zoom->activated(3);
    compare("page-graphics-50.png");
}

} // namespace
} // namespace palvex::test
