// Every PDF the device writes is tagged: the items a surface is told of become the document's
// structure, in the order they arrive, and everything else is an artefact. Each document here is
// read back by pdf_tags_check.py, which checks the parent tree against every page's marked
// content and what each case drew.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "platform/PdfSurface.h"
#include "platform/Printers.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef PALVEX_PYTHON3
#define PALVEX_PYTHON3 "/usr/bin/python3"
#endif

namespace palvex::test {
namespace {

// The checker's faults, one a line; empty when the document is as the case says.
QString structureFaults(const QString& pdf, const char* which) {
    QProcess p;
    p.start(QStringLiteral(PALVEX_PYTHON3),
            {QStringLiteral(PALVEX_TEST_UNIT_DIR "/pdf_tags_check.py"), pdf,
             QString::fromLatin1(which)});
    p.waitForFinished(60000);
    const QString out = QString::fromUtf8(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || (p.exitCode() != 0 && out.isEmpty()))
        return QStringLiteral("the checker did not run: ") + p.errorString();
    return out;
}

class PdfTags : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.filePath(QStringLiteral("tags.pdf"));
        m_surface = std::make_unique<PdfSurface>(Printers::pdfDevice(), m_path, m_properties);
        m_surface->begin();
        m_surface->setFontName(QStringLiteral("Liberation Sans"));
        m_surface->setFontSize(10);
    }
    // One item: `tag` around a text at (x, y) twips.
    void item(const ItemTag& tag, const char* utf8, float x, float y) {
        m_surface->beginItem(tag, {});
        print(utf8, x, y);
        m_surface->endItem();
    }
    void print(const char* utf8, float x, float y) {
        m_surface->setCurrentX(x);
        m_surface->setCurrentY(y);
        m_surface->Print(QString::fromUtf8(utf8), false);
    }
    QString finished() {
        m_surface->EndDoc();
        m_surface.reset();
        const PdfCheck check = qpdfCheck(m_path);
        EXPECT_TRUE(check.clean()) << qPrintable(check.output);
        return m_path;
    }

    QTemporaryDir m_dir;
    QString m_path;
    DocumentProperties m_properties;
    std::unique_ptr<PdfSurface> m_surface;
};

using R = ItemRole;

TEST_F(PdfTags, AReportsItemsBecomeItsStructureAndItsFurnitureArtefacts) {
    PdfSurface& s = *m_surface;
    item({.role = R::PageHeader}, "כותרת העמוד", 100, 100);
    item({.role = R::Heading, .headingLevel = 1, .startsElement = true}, "מאזן בוחן", 100, 400);
    // Two items of one line, then a paragraph of two lines.
    item({.role = R::Body, .startsElement = true}, "חשבון", 100, 800);
    item({.role = R::Body}, "1001", 3000, 800);
    item({.role = R::Paragraph, .startsElement = true}, "שורה ראשונה", 100, 1100);
    item({.role = R::Paragraph}, "שורה שנייה", 100, 1350);
    // A table: its header row, then a row whose first cell has two lines, recorded line by
    // line across the row.
    item({.role = R::TableHeaderCell, .startsRow = true, .startsTable = true}, "שם", 100, 1700);
    item({.role = R::TableHeaderCell, .column = 1}, "סכום", 3000, 1700);
    item({.role = R::TableCell, .startsRow = true}, "קופה", 100, 2000);
    item({.role = R::TableCell, .column = 1}, "12.50", 3000, 2000);
    s.beginItem({.role = R::Decoration}, {});
    s.Line(100, 2200, 5000, 2200, 0, false);
    s.endItem();
    item({.role = R::TableCell}, "ראשית", 100, 2250);
    item({.role = R::PageFooter}, "סוף העמוד", 100, 9000);
    item({.role = R::PageNumber}, "1", 5000, 9000);
    s.NewPage();
    // The table goes on: its header repeated, then a row.
    item({.role = R::TableHeaderCell, .startsRow = true, .repeatedHeader = true}, "שם", 100, 400);
    item({.role = R::TableHeaderCell, .repeatedHeader = true, .column = 1}, "סכום", 3000, 400);
    item({.role = R::TableCell, .startsRow = true}, "בנק", 100, 700);
    item({.role = R::TableCell, .column = 1}, "7.00", 3000, 700);
    // A row whose first cell is empty: it still has a cell under each header.
    item({.role = R::TableCell, .startsRow = true, .column = 1}, "3.00", 3000, 1000);
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    s.beginItem({.role = R::Picture}, u"Logo");
    s.PaintPicture(logo, 100, 1200, 800, 400);
    s.endItem();
    EXPECT_EQ(structureFaults(finished(), "report"), QString());
}

TEST_F(PdfTags, WithoutItemsEachTextIsAParagraphAndEverythingElseAnArtefact) {
    print("שורה אחת", 100, 100);
    print("שורה שתיים", 100, 400);
    m_surface->Line(100, 700, 3000, 700, 0, false);
    // Once items are told of, what is drawn outside them is page furniture.
    m_surface->beginItem({.role = R::Decoration}, {});
    m_surface->Line(100, 800, 3000, 800, 0, false);
    m_surface->endItem();
    print("עמוד 1", 100, 1000);
    EXPECT_EQ(structureFaults(finished(), "untagged"), QString());
}

TEST_F(PdfTags, TextsCopyAsTypedAndEnglishIsMarkedInAHebrewDocument) {
    item({.role = R::Body, .startsElement = true}, "שלום עולם (2026)", 100, 100);
    item({.role = R::Body, .startsElement = true}, "AB Trading Ltd", 100, 400);
    item({.role = R::Body, .startsElement = true}, "1,029.47", 100, 700);
    // A mixed line: its English piece is read in English within the Hebrew text.
    item({.role = R::Body, .startsElement = true}, "חשבונית Tax invoice 2026", 100, 1000);
    EXPECT_EQ(structureFaults(finished(), "languages"), QString());
}

// A long table: its hundreds of elements a page are packed into object streams found through a
// cross-reference stream, which qpdf and pikepdf read back whole, element by element.
TEST_F(PdfTags, ALongTableIsPackedIntoObjectStreamsThatReadBackWhole) {
    constexpr int Pages = 12, Rows = 40;
    for (int page = 0; page < Pages; ++page) {
        if (page > 0) m_surface->NewPage();
        for (int row = 0; row < Rows; ++row)
            for (int column = 0; column < 5; ++column) {
                const int n = page * Rows + row;
                m_surface->beginItem({.role = R::TableCell,
                                      .startsRow = column == 0,
                                      .startsTable = n == 0 && column == 0,
                                      .column = uint8_t(column)},
                                     {});
                m_surface->setCurrentX(float(300 + column * 2000));
                m_surface->setCurrentY(float(600 + row * 250));
                m_surface->Print(column == 1 ? QString::fromUtf8("קופה ראשית") : QString::number(n),
                                 false);
                m_surface->endItem();
            }
    }
    const QString pdf = finished();
    EXPECT_EQ(structureFaults(pdf, "long:12:40"), QString());
    // Where each object is, as qpdf reads it: the elements packed, the streams at offsets.
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--show-xref"), pdf});
    ASSERT_TRUE(qpdf.waitForFinished(60000));
    const QString xref = QString::fromUtf8(qpdf.readAllStandardOutput());
    const qsizetype packed = xref.count(QStringLiteral(": compressed;"));
    const qsizetype direct = xref.count(QStringLiteral(": uncompressed;"));
    EXPECT_GT(packed, Pages * Rows * 6); // a row and its five cells, at least
    EXPECT_LT(direct, Pages * 3 + 20);   // contents and object streams; no element alone
}

class AccessibleArchive : public PdfTags {
protected:
    void SetUp() override {
        m_properties.title = QString::fromUtf8("מאזן בוחן");
        m_properties.archive = true;
        m_properties.accessible = true;
        PdfTags::SetUp();
    }
};

TEST_F(AccessibleArchive, ClaimsBothStandardsAndWritesNoEmptyAlternativeText) {
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    m_surface->beginItem({.role = R::Picture}, {});
    m_surface->PaintPicture(picture, 100, 100, 400, 400);
    m_surface->endItem();
    EXPECT_EQ(structureFaults(finished(), "accessible"), QString());
}

class ExportedReport : public ControlFixture {};

// A report recorded through the control and exported: consistent whatever its items say.
TEST_F(ExportedReport, IsTaggedConsistently) {
    start();
    EXPECT_EQ(text(QString::fromUtf8("שורה אחת - one line")), Status::Ok);
    EXPECT_EQ(text(QStringLiteral("1,029.47")), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    QString target = path("report.pdf");
    ASSERT_EQ(ctl().ExportPdf(target), Status::Ok);
    EXPECT_TRUE(qpdfCheck(target).clean());
    EXPECT_EQ(structureFaults(target, "any"), QString());
}

} // namespace
} // namespace palvex::test
