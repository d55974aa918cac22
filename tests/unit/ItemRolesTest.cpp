// What each recorded item is: its role and place in the report's structure, kept in the record's
// reserved field, set by the layout, the page furniture and the host; and what a PDF/UA export
// asks of the report first.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "core/ItemRole.h"

#include <QImage>

namespace palvex::test {
namespace {

ItemTag tagOf(const PrintItem& item) {
    return ItemTag::decode(item.Reserved);
}

TEST(ItemTagField, EveryFieldComesBackAndOldRecordsReadAsUnmarked) {
    ItemTag tag;
    tag.role = ItemRole::TableHeaderCell;
    tag.headingLevel = 0;
    tag.startsElement = true;
    tag.startsRow = true;
    tag.startsTable = true;
    tag.repeatedHeader = true;
    tag.column = 31;
    EXPECT_EQ(ItemTag::decode(tag.encode()), tag);
    ItemTag heading;
    heading.role = ItemRole::Heading;
    heading.headingLevel = 6;
    EXPECT_EQ(ItemTag::decode(heading.encode()), heading);
    // A record written before roles were kept has 0 there.
    EXPECT_EQ(ItemTag::decode(0), ItemTag{});
    EXPECT_EQ(ItemTag::decode(0).role, ItemRole::Unmarked);
    // A role this reader does not know, and a column past the field, stay within what it knows.
    EXPECT_EQ(ItemTag::decode(int16_t(15)).role, ItemRole::Unmarked);
    ItemTag wide;
    wide.role = ItemRole::TableCell;
    wide.column = 200;
    EXPECT_EQ(ItemTag::decode(wide.encode()).column, 31);
    EXPECT_EQ(ItemTag::decode(wide.encode()).role, ItemRole::TableCell);
}

class ItemRoles : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        startInUtf8();
    }
    std::vector<PrintItem> items() {
        std::vector<PrintItem> all;
        for (int32_t n = 1; n <= store().itemCount(); ++n)
            all.push_back(item(n));
        return all;
    }
    PrintItem itemWithText(const QString& text) {
        for (const PrintItem& i : items())
            if (i.ItemText.trimmed() == text) return i;
        ADD_FAILURE() << "no item " << qPrintable(text);
        return {};
    }
    void columns(std::initializer_list<const char*> headers) {
        ASSERT_EQ(ctl().TableClear(), Status::Ok);
        for (const char* h : headers)
            ASSERT_EQ(ctl().TableAddColumn(2000, 1, u(h)), Status::Ok);
    }
    QString picturePath() {
        const QString file = path("logo.png");
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        EXPECT_TRUE(image.save(file));
        return file;
    }
};

TEST_F(ItemRoles, AHostsLineIsOneParagraphAndAHeadingLastsUntilItsLineEnds) {
    ASSERT_EQ(text(QStringLiteral("1010"), A1_StayWhereYouAre), Status::Ok);
    ASSERT_EQ(text(u("קופה ראשית"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("next"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("1010"))).role, ItemRole::Body);
    EXPECT_TRUE(tagOf(itemWithText(QStringLiteral("1010"))).startsElement);
    EXPECT_FALSE(tagOf(itemWithText(u("קופה ראשית"))).startsElement); // the same line
    EXPECT_TRUE(tagOf(itemWithText(QStringLiteral("next"))).startsElement);

    ASSERT_EQ(ctl().let_ItemRole(2), Status::Ok);
    ASSERT_EQ(text(u("מאזן"), A1_StayWhereYouAre), Status::Ok);
    int16_t role = -1;
    ASSERT_EQ(ctl().get_ItemRole(out(role)), Status::Ok);
    EXPECT_EQ(role, 2); // the line goes on
    ASSERT_EQ(text(QStringLiteral("2026"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().get_ItemRole(out(role)), Status::Ok);
    EXPECT_EQ(role, 0);
    ASSERT_EQ(text(QStringLiteral("body"), A2_JumpToNextLine), Status::Ok);
    const ItemTag title = tagOf(itemWithText(u("מאזן")));
    EXPECT_EQ(title.role, ItemRole::Heading);
    EXPECT_EQ(title.headingLevel, 2);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("2026"))).role, ItemRole::Heading);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("body"))).role, ItemRole::Body);

    // Decoration: drawn, not read out; a line end also ends it.
    ASSERT_EQ(ctl().let_ItemRole(7), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("DRAFT"), A2_JumpToNextLine), Status::Ok);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("DRAFT"))).role, ItemRole::Decoration);
    EXPECT_EQ(ctl().let_ItemRole(8), Status::InvalidPropertyValue);
    EXPECT_TRUE(ctl().lastErrorDetail().contains(QStringLiteral("1-6")))
        << qPrintable(ctl().lastErrorDetail());
}

TEST_F(ItemRoles, ParagraphsAndTablesMarkWhereEachElementBegins) {
    float width = 3000;
    int16_t justified = 4;
    float spacing = 1;
    ASSERT_EQ(ctl().printParagraph(u("מילה ").repeated(40), width, &justified, &spacing),
              Status::Ok);
    std::vector<ItemTag> lines;
    for (const PrintItem& i : items())
        if (tagOf(i).role == ItemRole::Paragraph) lines.push_back(tagOf(i));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_TRUE(lines.front().startsElement);
    for (size_t k = 1; k < lines.size(); ++k)
        EXPECT_FALSE(lines[k].startsElement) << k;

    ASSERT_EQ(ctl().let_TableLines(3), Status::Ok);
    columns({"חשבון", "שם", "יתרה"});
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    // The first cell of the second row is empty: the row begins at the cell that is recorded.
    ASSERT_EQ(ctl().TableRow(u("100\tקופה\t5.00")), Status::Ok);
    ASSERT_EQ(ctl().TableRow(u("\tבנק\t7.00")), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);

    const ItemTag header = tagOf(itemWithText(u("חשבון")));
    EXPECT_EQ(header.role, ItemRole::TableHeaderCell);
    EXPECT_TRUE(header.startsTable);
    EXPECT_TRUE(header.startsRow);
    EXPECT_EQ(header.column, 0);
    EXPECT_EQ(tagOf(itemWithText(u("יתרה"))).column, 2);
    EXPECT_FALSE(tagOf(itemWithText(u("יתרה"))).startsRow);
    const ItemTag first = tagOf(itemWithText(QStringLiteral("100")));
    EXPECT_EQ(first.role, ItemRole::TableCell);
    EXPECT_TRUE(first.startsRow);
    EXPECT_FALSE(first.startsTable);
    const ItemTag bank = tagOf(itemWithText(u("בנק")));
    EXPECT_TRUE(bank.startsRow);
    EXPECT_EQ(bank.column, 1);
    // The grid's rules are decoration.
    int rules = 0;
    for (const PrintItem& i : items())
        if (i.ItemKind == KindLine) {
            ++rules;
            EXPECT_EQ(tagOf(i).role, ItemRole::Decoration);
        }
    EXPECT_GT(rules, 0);
}

TEST_F(ItemRoles, AHeaderRowRepeatedOnALaterPageIsACopyAndBeginsNothing) {
    columns({"חשבון", "יתרה"});
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(ctl().TableRow(QStringLiteral("%1\t1.00").arg(i)), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    int firsts = 0, copies = 0;
    for (const PrintItem& i : items()) {
        const ItemTag tag = tagOf(i);
        if (tag.role != ItemRole::TableHeaderCell) continue;
        if (tag.repeatedHeader) {
            ++copies;
            EXPECT_FALSE(tag.startsRow || tag.startsTable || tag.startsElement);
            EXPECT_TRUE(tag.isArtifact());
        } else {
            ++firsts;
        }
    }
    EXPECT_EQ(firsts, 2);
    EXPECT_GE(copies, 2);
    // The row after a page break still begins its row.
    for (int i = 0; i < 120; ++i)
        EXPECT_TRUE(tagOf(itemWithText(QString::number(i))).startsRow) << i;
}

TEST_F(ItemRoles, HeadersFootersPageNumbersAndShapesArePageFurniture) {
    ASSERT_EQ(ctl().let_Header(true), Status::Ok);
    QString title = QStringLiteral("Header");
    int16_t one = 1;
    ASSERT_EQ(ctl().fxNameHeader(one, title), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    ASSERT_EQ(ctl().Footer1Right(N1_RightFooterOfPagenumberLine, QStringLiteral("Footer"),
                                 QStringLiteral("Liberation Sans"), 10, false, false, false, 0),
              Status::Ok);
    ASSERT_EQ(ctl().let_tfPrintFooter1(true), Status::Ok);
    ASSERT_EQ(text(QStringLiteral("body"), A2_JumpToNextLine), Status::Ok);
    int16_t width = 1;
    ASSERT_EQ(ctl().printBox(100, 100, 500, 500, 0, 0, 13, width, 1, AlignType(0), QString()),
              Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("Header"))).role, ItemRole::PageHeader);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("Footer"))).role, ItemRole::PageFooter);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("-1-"))).role, ItemRole::PageNumber);
    EXPECT_EQ(tagOf(itemWithText(QStringLiteral("body"))).role, ItemRole::Body);
    for (const PrintItem& i : items()) {
        if (i.ItemKind == KindBox) {
            EXPECT_EQ(tagOf(i).role, ItemRole::Decoration);
        }
    }
}

TEST_F(ItemRoles, APictureKeepsItsAlternativeTextInAFieldOlderReadersDoNotRead) {
    const QString logo = picturePath();
    ASSERT_EQ(ctl().let_PictureAltText(u("הסמל של החברה")), Status::Ok);
    ASSERT_EQ(ctl().printPicture(logo, AlignPicHorizontalType(0), AlignPicVerticalType(0)),
              Status::Ok);
    QString left;
    ASSERT_EQ(ctl().get_PictureAltText(out(left)), Status::Ok);
    EXPECT_TRUE(left.isEmpty()); // taken by the picture
    ASSERT_EQ(ctl().printPicture(logo, AlignPicHorizontalType(0), AlignPicVerticalType(0)),
              Status::Ok);
    std::vector<PrintItem> pictures;
    for (const PrintItem& i : items())
        if (i.ItemKind == KindPicture) pictures.push_back(i);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(tagOf(pictures[0]).role, ItemRole::Picture);
    EXPECT_EQ(pictures[0].FontName.trimmed(), u("הסמל של החברה"));
    EXPECT_TRUE(pictures[1].FontName.trimmed().isEmpty());
    // The picture is drawn as before: the text that follows it lies below it.
    EXPECT_EQ(ctl().printLastPage(), Status::Ok);
}

TEST_F(ItemRoles, AnAccessibleExportNeedsATitleAndEveryPicturesAlternativeText) {
    // The standards, as hosts name them, and PdfArchive as their archive half.
    QString conformance;
    for (const char* name : {"PDF/UA-1", "PDF/A-2b", "pdf/a-2b+pdf/ua-1", "", "none"}) {
        ASSERT_EQ(ctl().let_PdfConformance(QString::fromLatin1(name)), Status::Ok) << name;
    }
    ASSERT_EQ(ctl().let_PdfConformance(QStringLiteral("PDF/UA-1")), Status::Ok);
    ASSERT_EQ(ctl().let_PdfArchive(true), Status::Ok);
    ASSERT_EQ(ctl().get_PdfConformance(out(conformance)), Status::Ok);
    EXPECT_EQ(conformance, QStringLiteral("PDF/A-2b+PDF/UA-1"));
    EXPECT_EQ(ctl().let_PdfConformance(QStringLiteral("PDF/X-4")), Status::InvalidPropertyValue);
    ASSERT_EQ(ctl().get_PdfConformance(out(conformance)), Status::Ok);
    EXPECT_EQ(conformance, QStringLiteral("PDF/A-2b+PDF/UA-1")); // unchanged by a refusal
    ASSERT_EQ(ctl().let_PdfArchive(false), Status::Ok);
    EXPECT_EQ(ctl().let_DocumentLanguage(QStringLiteral("Hebrew")), Status::InvalidPropertyValue);
    EXPECT_EQ(ctl().let_DocumentLanguage(QStringLiteral("en-US")), Status::Ok);
    EXPECT_EQ(ctl().let_DocumentLanguage(QStringLiteral("he-IL")), Status::Ok);

    ASSERT_EQ(text(u("דוח"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printPage(), Status::Ok);
    ASSERT_EQ(ctl().printPicture(picturePath(), AlignPicHorizontalType(0), AlignPicVerticalType(0)),
              Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QString pdf = path("report.pdf");
    EXPECT_EQ(ctl().ExportPdf(pdf), Status::InvalidProcedureCall);
    EXPECT_TRUE(ctl().lastErrorDetail().contains(QStringLiteral("DocumentTitle")))
        << qPrintable(ctl().lastErrorDetail());
    ASSERT_EQ(ctl().let_DocumentTitle(u("דוח")), Status::Ok);
    EXPECT_EQ(ctl().ExportPdf(pdf), Status::InvalidProcedureCall);
    EXPECT_TRUE(ctl().lastErrorDetail().contains(QStringLiteral("page 2")))
        << qPrintable(ctl().lastErrorDetail());
    EXPECT_FALSE(QFile::exists(pdf));
    // Without PDF/UA the same report is written, tagged.
    ASSERT_EQ(ctl().let_PdfConformance(QString()), Status::Ok);
    EXPECT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    EXPECT_TRUE(QFile::exists(pdf));
}

} // namespace
} // namespace palvex::test
