// Calls that used to lose data, report a failure as success or stop the host: header and footer
// fonts this machine lacks, text and picture names outside the code page, very large fonts,
// calls refused before or by a start, system colours in shapes, a refused character run, and a
// window event whose work fails.

#include "ControlFixture.h"
#include "PalvexPrivate.h"
#include "core/Guarded.h"

#include "core/EventGuard.h"
#include "platform/Colors.h"
#include "platform/FontCatalog.h"
#include "recording/ItemWriter.h"
#include "replay/GraphicsReplay.h"

#include <QDir>
#include <QImage>

namespace palvex::test {
namespace {

using NothingLost = ControlFixture;

TEST_F(NothingLost, TheHebrewFamiliesOfWindowsReportsResolveToInstalledOnes) {
    const FontCatalog& fonts = FontCatalog::instance();
    const std::pair<const char*, const char*> expected[] = {{"David", "David CLM"},
                                                            {"Miriam", "Miriam CLM"},
                                                            {"Miriam Fixed", "Miriam Mono CLM"},
                                                            {"FrankRuehl", "Frank Ruehl CLM"},
                                                            {"Narkisim", "Nachlieli CLM"},
                                                            {"Gisha", "Nachlieli CLM"},
                                                            {"Aharoni", "Aharoni CLM"},
                                                            {"Levenim MT", "Simple CLM"},
                                                            {"Arial Hebrew", "Liberation Sans"},
                                                            {"Frank Ruehl CLM", "Frank Ruehl CLM"}};
    for (const auto& [name, family] : expected)
        EXPECT_EQ(fonts.resolve(QString::fromLatin1(name)), QString::fromLatin1(family)) << name;
}

TEST_F(NothingLost, AHeaderOrFooterValueTheSurfaceRefusesKeepsTheCurrentOneAndThePageEnds) {
    start();
    EXPECT_EQ(ctl().let_tfPrintFooter1(true), Status::Ok);
    Footer1Number slot = Footer1Number(0);
    QString footerText = QStringLiteral("footer"), font = QStringLiteral("NoSuchFamilyHere");
    float size = 0;
    bool no = false;
    int32_t color = -5;
    ASSERT_EQ(ctl().Footer1Right(slot, footerText, font, size, no, no, no, color), Status::Ok);
    EXPECT_EQ(ctl().let_Header(true), Status::Ok);
    int16_t header = 2;
    QString headerText = QStringLiteral("header"), david = QStringLiteral("Miriam");
    EXPECT_EQ(ctl().fxNameHeader(header, headerText), Status::Ok);
    EXPECT_EQ(ctl().fxFontNameHeader(header, david), Status::Ok);

    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Liberation Serif")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(11), Status::Ok);
    for (int page = 1; page <= 2; ++page) {
        ASSERT_EQ(text(QStringLiteral("body %1").arg(page), A2_JumpToNextLine), Status::Ok);
        ASSERT_EQ(ctl().printPage(), Status::Ok);
        ASSERT_TRUE(store().pageEndsAfter(store().itemCount()));
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    int numbers = 0, footers = 0, headers = 0;
    for (int32_t n = 1; n <= store().itemCount(); ++n) {
        const PrintItem it = item(n);
        const QString t = trimTrailingBlanks(it.ItemText);
        numbers += t.startsWith(QLatin1Char('-'));
        if (t == QStringLiteral("footer")) {
            ++footers;
            EXPECT_EQ(trimTrailingBlanks(it.FontName), QStringLiteral("Liberation Serif"));
            EXPECT_GE(it.FontSize, 1);
        }
        if (t == QStringLiteral("header")) {
            ++headers;
            EXPECT_EQ(trimTrailingBlanks(it.FontName), QStringLiteral("Miriam"));
        }
        if (t.startsWith(QStringLiteral("body"))) { // the host's own font, after every page end
            EXPECT_EQ(trimTrailingBlanks(it.FontName), QStringLiteral("Liberation Serif"));
        }
    }
    EXPECT_EQ(numbers, 2); // one page number a page
    EXPECT_EQ(footers, 2);
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(ctl().internals().report().lastPageIndex, 1);
    // Each kind of illegal value is reported once.
    int fontWarnings = 0;
    for (const QString& line : boxes().log())
        fontWarnings += line.contains(QStringLiteral("illegal FontName"));
    EXPECT_EQ(fontWarnings, 1);
}

TEST_F(NothingLost, TextOutsideTheCodePageIsMeasuredAsItIsStored) {
    start();
    const QString arabic = QString::fromUtf8("مرحبا");
    EXPECT_FLOAT_EQ(textWidth(arabic), textWidth(QStringLiteral("?????")));
    EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(text(arabic), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("next")), Status::Ok);
    EXPECT_EQ(trimTrailingBlanks(item(1).ItemText), QStringLiteral("?????"));
    // The next text starts where the stored one ends: they cannot overlap.
    EXPECT_FLOAT_EQ(item(2).ItemX, 1000 + textWidth(QStringLiteral("?????")));
}

TEST_F(NothingLost, APictureWhoseNameTheCodePageCannotHoldIsReportedAndNotRecorded) {
    start();
    const QString name = m_dir.filePath(QString::fromUtf8("תמונה-مرحبا.png"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(name));
    QString file = name;
    AlignPicHorizontalType h = AlignPicHorizontalType(0);
    AlignPicVerticalType v = AlignPicVerticalType(0);
    EXPECT_EQ(ctl().printPicture(file, h, v), Status::Ok);
    EXPECT_EQ(store().itemCount(), 0);
    ASSERT_FALSE(boxes().log().empty());
    EXPECT_TRUE(boxes().log().back().contains(QStringLiteral("which is invalid picture")));
}

TEST_F(NothingLost, EveryAcceptedFontSizeMeasuresAPositiveLine) {
    start();
    ASSERT_EQ(ctl().let_FontSize(12), Status::Ok);
    const float perPoint = lineHeight() / 12;
    float previous = 0;
    for (float size : {400.0f, 900.0f, 950.0f, 1500.0f, 2160.0f}) {
        ASSERT_EQ(ctl().let_FontSize(size), Status::Ok);
        const float height = lineHeight();
        EXPECT_GT(height, previous) << size;
        EXPECT_NEAR(height / size, perPoint, perPoint * 0.05) << size; // in proportion
        previous = height;
    }
    ASSERT_EQ(text(QStringLiteral("x"), A2_JumpToNextLine), Status::Ok);
    float cursor = 0;
    EXPECT_EQ(ctl().get_CurrentY(out(cursor)), Status::Ok);
    EXPECT_GT(cursor, item(1).ItemY); // the line end moves the cursor down
}

TEST_F(NothingLost, ACallRefusedBeforeTheStartLeavesNothingForTheNextReport) {
    EXPECT_EQ(ctl().let_FontSize(11), Status::Ok);
    EXPECT_EQ(ctl().printPage(), Status::BadFileName);
    start();
    ASSERT_EQ(text(QStringLiteral("first")), Status::Ok);
    const PrintItem first = item(1);
    EXPECT_EQ(first.FooterFlag, 0);
    EXPECT_EQ(first.NoCentering, 0);
    EXPECT_EQ(first.YRelative, 0);
    EXPECT_FLOAT_EQ(first.FontSize, 11);
    EXPECT_EQ(first.FontBold, 0);
}

TEST_F(NothingLost, AFailedStartLeavesTheControlNotStartedUntilOneSucceeds) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("palvex.dfn")));
    EXPECT_EQ(ctl().StartPalvexPrintPreview(), Status::PathFileAccessError);
    EXPECT_EQ(text(QStringLiteral("lost")), Status::BadFileName);
    ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("palvex.dfn")));
    start();
    ASSERT_EQ(text(QStringLiteral("kept")), Status::Ok);
    EXPECT_EQ(store().itemCount(), 1);
    EXPECT_GT(ctl().internals().report().margins.top, 0); // the definitions' margins, not zero
}

TEST_F(NothingLost, SystemColoursOfShapesAreStoredAsRgbAndInvalidOnesAsBlack) {
    start();
    float x1 = 1000, y1 = 1000, x2 = 3000, y2 = 2000;
    int32_t window = int32_t(0x80000005), style = 0, mode = 13, fill = 0;
    int16_t width = 1;
    AlignType align = AlignType(0);
    QString inside;
    ASSERT_EQ(ctl().printBox(x1, y1, x2, y2, window, style, mode, width, fill, align, inside),
              Status::Ok);
    int32_t invalid = 0x12345678;
    ASSERT_EQ(ctl().printLine(x1, y1, x2, y2, invalid, mode, style, width, align), Status::Ok);
    const ShapeParams box = GraphicsParams::decodeShape(item(1).ItemText, 1, true);
    EXPECT_EQ(box.color, fromQColor(toQColor(int32_t(0x80000005))));
    EXPECT_EQ(GraphicsParams::decodeShape(item(2).ItemText, 1, true).color, 0);
}

TEST_F(NothingLost, ARunRefusedForItsCodeLeavesNoPlacementForTheNextText) {
    start();
    float from = 1000, to = 5000;
    int16_t code = 256;
    DirectionOfPrintCharsType direction = DirectionOfPrintCharsType(0);
    AfterPrintType entr = A1_StayWhereYouAre;
    WhereToPrintChars placement = WhereToPrintChars(1);
    ASSERT_EQ(ctl().fxPrintingChars(from, to, code, direction, entr, placement), Status::Ok);
    EXPECT_EQ(store().itemCount(), 0);
    ASSERT_EQ(text(QStringLiteral("free text")), Status::Ok);
    EXPECT_EQ(item(1).NoCentering, 0);
    EXPECT_EQ(item(1).CharsPlacement, 0);
}

TEST_F(NothingLost, AWindowEventWhoseWorkFailsLeavesTheWindowUsable) {
    start();
    for (int page = 0; page < 3; ++page) {
        for (int line = 0; line < 30; ++line)
            ASSERT_EQ(text(QStringLiteral("page %1").arg(page + 1), A2_JumpToNextLine), Status::Ok);
        if (page < 2) {
            ASSERT_EQ(ctl().printPage(), Status::Ok);
        }
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    // A restart fails while the report is on screen: its store is gone.
    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("palvex.dfn"))));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("palvex.dfn")));
    EXPECT_EQ(ctl().StartPalvexPrintPreview(), Status::PathFileAccessError);
    EXPECT_NO_THROW(click(4)); // Next
    EXPECT_NO_THROW(click(5)); // Last
    EXPECT_NO_THROW(click(2)); // First
    EXPECT_FALSE(child<QWidget>("p1")->isHidden());
    // Once the folder is usable again the control works as before.
    ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("palvex.dfn")));
    start();
    ASSERT_EQ(text(QStringLiteral("one"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("two"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_NO_THROW(click(4));
    EXPECT_EQ(ctl().internals().view().currentPage, 2);
}

TEST(EventGuard, WhatAHandlerThrowsIsReportedAndGoesNoFurther) {
    EventGuard guard;
    std::vector<Status> reported;
    guard.onFailure = [&](Status status) { reported.push_back(status); };
    EXPECT_NO_THROW(guard.run([] { raise(Status::PrinterError); }));
    EXPECT_NO_THROW(guard.run([] { throw std::bad_alloc(); }));
    EXPECT_NO_THROW(guard.run([] { throw 42; }));
    EXPECT_NO_THROW(guard.run([] {}));
    EXPECT_EQ(reported, (std::vector<Status>{Status::PrinterError, Status::OutOfMemory,
                                             Status::InvalidProcedureCall}));
    guard.onFailure = [](Status) { raise(Status::DiskFull); }; // reporting fails as well
    EXPECT_NO_THROW(guard.run([] { raise(Status::PrinterError); }));
}

} // namespace
} // namespace palvex::test
