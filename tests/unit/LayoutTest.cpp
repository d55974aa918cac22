// Layout the control does for the host: lines broken where Unicode allows, paragraphs in their
// box and alignment across pages, tables whose rows move whole to the next page under their
// header row again, the page number's format with the page count, pictures to size, and margins
// set from code as the panel sets them.

#include "ControlFixture.h"
#include "PdfCheck.h"

#include "platform/PropertyBag.h"
#include "preview/OptionPanels.h"
#include "preview/PreviewStartup.h"
#include "recording/ItemWriter.h"
#include "recording/LineBreaker.h"
#include "recording/PageLines.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <functional>
#include <limits>
#include <random>

namespace palvex::test {
namespace {

// Text without blanks and direction marks, which pdftotext puts around numbers in a
// right-to-left line (moving a blank with them): the letters and digits in their order.
QString squeezed(const QString& text) {
    QString out;
    for (const QChar c : text)
        if (!c.isSpace() && c.category() != QChar::Other_Format) out += c;
    return out;
}

// A measure of 100 twips a character, so that the widths are plain to read.
float fixedWidth(const QString& text) {
    return float(text.size()) * 100;
}

QStringList texts(const std::vector<BrokenLine>& lines) {
    QStringList out;
    for (const BrokenLine& l : lines)
        out << l.text;
    return out;
}

// The lines a straightforward breaker gives one paragraph: a line grows an opportunity at a time,
// measured whole each time, until the next would not fit; a word wider than the line grows a
// cluster at a time, at least one.
QStringList referenceLines(const QString& paragraph, float width,
                           const std::function<float(const QString&)>& measure) {
    auto boundaries = [&](QTextBoundaryFinder::BoundaryType type) {
        std::vector<qsizetype> at;
        QTextBoundaryFinder finder(type, paragraph);
        for (qsizetype p = finder.toNextBoundary(); p > 0; p = finder.toNextBoundary())
            at.push_back(p);
        return at;
    };
    const std::vector<qsizetype> breaks = boundaries(QTextBoundaryFinder::Line);
    const std::vector<qsizetype> clusters = boundaries(QTextBoundaryFinder::Grapheme);
    auto line = [&](qsizetype from, qsizetype to) {
        QString l = paragraph.mid(from, to - from);
        while (!l.isEmpty() && l.back().isSpace())
            l.chop(1);
        return l;
    };
    auto furthest = [&](const std::vector<qsizetype>& at, qsizetype start) {
        qsizetype best = -1;
        for (auto p = std::upper_bound(at.begin(), at.end(), start); p != at.end(); ++p) {
            if (measure(line(start, *p)) > width) break;
            best = *p;
        }
        return best;
    };
    QStringList lines;
    for (qsizetype start = 0; start < paragraph.size();) {
        qsizetype end = furthest(breaks, start);
        if (end < 0) end = furthest(clusters, start);
        if (end < 0) end = *std::upper_bound(clusters.begin(), clusters.end(), start);
        lines << line(start, end);
        for (start = end; start < paragraph.size() && paragraph[start] == u' ';)
            ++start;
    }
    return lines;
}

// The breaker's lines are the reference's, each with the width it measures when the breaker
// gives one (a centred line is placed by it).
void expectReferenceLines(const QString& paragraph, float width,
                          const std::function<float(const QString&)>& measure) {
    SCOPED_TRACE(width);
    const std::vector<BrokenLine> lines = breakLines(paragraph, width, measure);
    const QStringList got = texts(lines), expected = referenceLines(paragraph, width, measure);
    const auto [g, e] = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
    EXPECT_TRUE(g == got.end() && e == expected.end())
        << "line " << (g - got.begin()) << " of " << got.size() << ": \""
        << qPrintable(g != got.end() ? *g : QString()) << "\" instead of \""
        << qPrintable(e != expected.end() ? *e : QString()) << "\"";
    for (const BrokenLine& l : lines) {
        if (l.width >= 0) {
            EXPECT_EQ(l.width, measure(l.text)) << qPrintable(l.text);
        }
    }
}

TEST(LineBreaking, LinesBreakBetweenWordsHardBreaksAlwaysAndLongWordsBetweenCharacters) {
    EXPECT_EQ(
        texts(breakLines(QStringLiteral("one two three four"), 900, fixedWidth)),
        (QStringList{QStringLiteral("one two"), QStringLiteral("three"), QStringLiteral("four")}));
    // CR LF, CR and LF are hard breaks; an empty paragraph is an empty line.
    const std::vector<BrokenLine> hard =
        breakLines(QStringLiteral("a\r\nb\rc\n\nd"), 1000, fixedWidth);
    EXPECT_EQ(texts(hard), (QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                        QStringLiteral("c"), QString(), QStringLiteral("d")}));
    for (const BrokenLine& l : hard)
        EXPECT_TRUE(l.lastOfParagraph);
    // A word wider than the line goes between its characters, never inside a cluster (a
    // letter and its points stay together).
    EXPECT_EQ(texts(breakLines(QStringLiteral("abcdefghij"), 400, fixedWidth)),
              (QStringList{QStringLiteral("abcd"), QStringLiteral("efgh"), QStringLiteral("ij")}));
    const QString pointed = u("שָׁלוֹם");
    for (const QString& line : texts(breakLines(pointed, 200, fixedWidth)))
        EXPECT_FALSE(line.front().category() == QChar::Mark_NonSpacing) << qPrintable(line);
    // Hebrew and English mixed, hyphens and the marks of UAX #14.
    EXPECT_EQ(texts(breakLines(u("שלום world-wide עולם"), 1100, fixedWidth)),
              (QStringList{u("שלום world-"), u("wide עולם")}));
    // A line never ends in blanks and the next does not begin with them.
    for (const QString& line : texts(breakLines(QStringLiteral("aa   bb   cc"), 400, fixedWidth)))
        EXPECT_EQ(line, line.trimmed());
    // Justified: the blanks spread from the right to the width, within one blank's width.
    const QString spread = justified(QStringLiteral("a b c"), 900, fixedWidth);
    EXPECT_LE(fixedWidth(spread), 900);
    EXPECT_GT(fixedWidth(spread), 800);
    EXPECT_EQ(spread.split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 3);
}

// A line measured whole may be narrower than its words measured one by one (a pair kerned
// across a blank) or wider (a pair spread apart): the line itself decides where it ends, so the
// lines are the ones a breaker measuring every candidate line whole would give.
TEST(LineBreaking, TheLineMeasuredWholeDecidesWhereItsWordsWouldMislead) {
    auto measure = [](const QString& text) {
        float w = float(text.size()) * 100;
        for (qsizetype at = text.indexOf(QLatin1Char(' ')); at >= 0 && at + 1 < text.size();
             at = text.indexOf(QLatin1Char(' '), at + 1)) {
            if (text[at + 1] == u'k') w -= 60; // " k" kerned
            if (text[at + 1] == u'w') w += 60; // " w" spread
        }
        return w;
    };
    const QString words[] = {QStringLiteral("kite"), QStringLiteral("wax"),   QStringLiteral("a"),
                             QStringLiteral("kk"),   QStringLiteral("wwwww"), QStringLiteral("oak"),
                             QStringLiteral("x"),    QStringLiteral("kw")};
    std::minstd_rand draw(7);
    QString text;
    for (int i = 0; i < 3000; ++i) {
        const unsigned n = unsigned(draw());
        // Now and then a word longer than any line, broken between its letters.
        text += n % 97 == 0 ? QStringLiteral("k").repeated(150 + n / 97 % 40)
                            : words[n / 97 % std::size(words)];
        text += n % 5 == 0 ? QStringLiteral("  ") : QStringLiteral(" ");
    }
    for (const float width : {50.0f, 700.0f, 1000.0f, 2550.0f, 9000.0f})
        expectReferenceLines(text, width, measure);
}

class Layout : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        startInUtf8();
    }
    Status paragraph(const QString& text, float width, int16_t alignment = 1, float spacing = 1) {
        return ctl().printParagraph(text, width, &alignment, &spacing);
    }
    // The text items recorded from item `from` on, with the width each text measures.
    struct Line {
        PrintItem item;
        float width;
    };
    std::vector<Line> textItems(int32_t from = 1) {
        std::vector<Line> lines;
        for (int32_t n = from; n <= store().itemCount(); ++n) {
            const PrintItem i = item(n);
            if (i.ItemKind != KindText || i.FooterFlag != 0) continue;
            EXPECT_EQ(ctl().let_FontSize(i.FontSize), Status::Ok);
            EXPECT_EQ(ctl().let_FontBold(i.FontBold != 0), Status::Ok);
            lines.push_back({i, textWidth(trimTrailingBlanks(i.ItemText))});
        }
        EXPECT_EQ(ctl().let_FontSize(10), Status::Ok);
        EXPECT_EQ(ctl().let_FontBold(false), Status::Ok);
        return lines;
    }
    QString longParagraph(int sentences) {
        QString text;
        for (int i = 0; i < sentences; ++i)
            text += u("שורה %1 של פסקה ארוכה עם מילים באנגלית like invoice and report, ומספרים "
                      "כמו 1,234.50 שממשיכה הלאה. ")
                        .arg(i + 1);
        return text;
    }
    // The control's own measure of a text, as its layout takes it.
    float measured(const QString& text) { return text.isEmpty() ? 0.0f : textWidth(text); }
};

// One paragraph of `length` characters, its words drawn by `seed` (no two seeds give the same
// lines, which the measure would otherwise remember): Hebrew (some of it pointed), English,
// amounts, dates, hyphens, runs of blanks, and now and then a word wider than any line.
QString mixedParagraph(qsizetype length, unsigned seed = 1) {
    const QString words[] = {u("חשבונית"),
                             u("שָׁלוֹם"),
                             QStringLiteral("invoice"),
                             QStringLiteral("1,234.50"),
                             u("world-wide"),
                             u("ב-31/12/2024"),
                             u("לקוחות  "),
                             QStringLiteral("Ltd."),
                             u("מע״מ,"),
                             u("(הנהלת"),
                             u("חשבונות)"),
                             QStringLiteral("report")};
    std::minstd_rand draw(seed);
    QString text;
    while (text.size() < length) {
        const unsigned n = unsigned(draw());
        if (n % 150 == 0)
            text += u("שָׁלוֹם").repeated(30 + n / 150 % 7);
        else if (n % 150 == 1)
            text += QStringLiteral("1234567890").repeated(20 + n / 150 % 11);
        else
            text += words[n / 150 % std::size(words)];
        text += QLatin1Char(' ');
    }
    text.truncate(length);
    return text;
}

TEST_F(Layout, AParagraphWrapsIntoItsBoxInEachAlignment) {
    const QString text = longParagraph(3) + u("\nשורה חדשה אחרי שבירה קשה");
    const float right = 1000, width = 4000;
    for (int16_t alignment : {1, 2, 3, 4}) {
        SCOPED_TRACE(alignment);
        const int32_t before = store().itemCount();
        ASSERT_EQ(ctl().let_CurrentX(right), Status::Ok);
        const float top = ctl().internals().recordingSurface().CurrentY();
        ASSERT_EQ(paragraph(text, width, alignment, 1.5f), Status::Ok);
        const std::vector<Line> lines = textItems(before + 1);
        ASSERT_GE(lines.size(), 4u);
        for (size_t k = 0; k < lines.size(); ++k) {
            const Line& l = lines[k];
            // Inside the box, every line.
            EXPECT_GE(l.item.ItemX, right - 0.5f) << k;
            EXPECT_LE(l.item.ItemX + l.width, right + width + 0.5f) << k;
            EXPECT_NEAR(l.item.ItemY, top + float(k) * lineHeight() * 1.5f, 0.5) << k;
            switch (alignment) {
            case 1:
                EXPECT_FLOAT_EQ(l.item.ItemX, right);
                break;
            case 2:
                EXPECT_NEAR(l.item.ItemX - right, right + width - (l.item.ItemX + l.width), 1);
                break;
            case 3:
                EXPECT_NEAR(l.item.ItemX + l.width, right + width, 0.5);
                break;
            }
        }
        if (alignment == 4) {
            // Every line but a paragraph's last fills the box to within a blank's width; the
            // last lines stay at the right.
            const float blank = textWidth(QStringLiteral(" "));
            EXPECT_GT(lines[0].width, width - blank - 1);
            EXPECT_FLOAT_EQ(lines.back().item.ItemX, right);
        }
        // The cursor below the last line at the box's right edge.
        float x = 0, y = 0;
        ASSERT_EQ(ctl().get_CurrentX(out(x)), Status::Ok);
        ASSERT_EQ(ctl().get_CurrentY(out(y)), Status::Ok);
        EXPECT_FLOAT_EQ(x, right);
        EXPECT_NEAR(y, top + float(lines.size()) * lineHeight() * 1.5f, 0.5);
        ASSERT_EQ(ctl().let_CurrentY(1000), Status::Ok);
    }
    for (int16_t wrong : {0, 5})
        EXPECT_EQ(paragraph(text, 4000, wrong), Status::InvalidPropertyValue);
    EXPECT_EQ(paragraph(text, 0), Status::InvalidPropertyValue);
    EXPECT_EQ(paragraph(text, -5), Status::InvalidPropertyValue);
    EXPECT_EQ(paragraph(text, 4000, 1, 0), Status::InvalidPropertyValue);
}

TEST_F(Layout, AParagraphGoesOnOnTheNextPageUnderTheHeaders) {
    ASSERT_EQ(ctl().let_Header(true), Status::Ok);
    int16_t one = 1;
    QString title = u("כותרת עמוד {page}");
    ASSERT_EQ(ctl().fxNameHeader(one, title), Status::Ok);
    ASSERT_EQ(ctl().PrintHeader(), Status::Ok);
    ASSERT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(paragraph(longParagraph(60), 6000), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const int32_t pages = ctl().internals().report().pageCount();
    ASSERT_GE(pages, 2);
    const float limit = ctl().internals().report().lines.breakLimit();
    for (const Line& l : textItems())
        EXPECT_LE(l.item.ItemY + lineHeight(), limit + 0.5f) << qPrintable(l.item.ItemText);
    // Every page has its header, with its own number, and its page number.
    const QString pdf = path("paragraph.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    EXPECT_TRUE(qpdfCheck(pdf).clean());
    const QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'));
    for (int p = 1; p <= pages; ++p) {
        const QString page = squeezed(pageTexts.value(p - 1));
        EXPECT_TRUE(page.contains(squeezed(u("כותרת עמוד %1").arg(p)))) << p;
        EXPECT_TRUE(page.contains(QStringLiteral("-%1-").arg(p))) << p;
    }
}

// A long paragraph wrapped with the control's own measure: the lines the straightforward breaker
// gives, each with the width it measures, though the breaker measures far less.
TEST_F(Layout, ALongMixedParagraphBreaksWhereEachLineIsAsLongAsFits) {
    const auto measure = [this](const QString& t) { return measured(t); };
    const QString text = mixedParagraph(40'000);
    for (const float width : {4000.0f, 9000.0f})
        expectReferenceLines(text, width, measure);
}

// Breaking and recording take time in proportion to a paragraph's length: twenty times the
// characters take about twenty times as long, where measuring each line's start over the rest of
// the text took four hundred times. The bound allows each character of the long paragraph twice
// the time of the short one's (a linear layout measures 19 to 20 times), since twenty times
// exactly would fail on a noisy run. The thread's CPU time, the best of a few runs, so that other
// work on the machine counts little.
TEST_F(Layout, AParagraphTwentyTimesLongerTakesAboutTwentyTimesAsLong) {
    constexpr double Bound = 2 * 20;
    auto cpuSeconds = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    // Each run lays out new words, as a report does: none of its lines measured before.
    unsigned seed = 0;
    auto seconds = [&](qsizetype length) {
        const QString text = mixedParagraph(length, ++seed);
        EXPECT_EQ(ctl().let_CurrentX(1000), Status::Ok);
        const double t0 = cpuSeconds();
        EXPECT_EQ(paragraph(text, 9000), Status::Ok);
        return cpuSeconds() - t0;
    };
    seconds(10'000); // the words' widths remembered, as they are through most of the long one
    const double shortTime = std::min({seconds(10'000), seconds(10'000), seconds(10'000)});
    double longTime = seconds(200'000);
    if (longTime >= Bound * shortTime) longTime = std::min(longTime, seconds(200'000));
    EXPECT_LT(longTime, Bound * shortTime)
        << "10,000 characters " << shortTime << " s, 200,000 " << longTime << " s";
}

class Tables : public Layout {
protected:
    void columns() {
        const struct {
            float width;
            int16_t alignment;
            const char* header;
        } cols[] = {{1500, 1, "מס׳ חשבון"},
                    {3500, 1, "שם חשבון"},
                    {900, 2, "קוד"},
                    {1600, 3, "חובה"},
                    {1600, 3, "זכות"}};
        ASSERT_EQ(ctl().TableClear(), Status::Ok);
        for (const auto& c : cols)
            ASSERT_EQ(ctl().TableAddColumn(c.width, c.alignment, u(c.header)), Status::Ok);
    }
};

TEST_F(Tables, RowsWrapInTheirColumnsAndMoveWholeToTheNextPageUnderTheHeaderRow) {
    ASSERT_EQ(ctl().let_TableLines(3), Status::Ok);
    columns();
    ASSERT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    for (int i = 0; i < 90; ++i) {
        // Every seventh account's name takes two lines.
        const QString name = i % 7 == 0
                                 ? u("חשבון עם שם ארוך מאוד שנשבר לשתי שורות בעמודה %1").arg(i)
                                 : u("חשבון %1").arg(i);
        ASSERT_EQ(ctl().TableRow(QStringLiteral("%1\t%2\t%3\t%4\t")
                                     .arg(100000 + i)
                                     .arg(name)
                                     .arg(i % 9000)
                                     .arg(QStringLiteral("1,234.50"))),
                  Status::Ok)
            << i;
    }
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    // Too many cells: refused, nothing recorded.
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    const int32_t before = store().itemCount();
    EXPECT_EQ(ctl().TableRow(QStringLiteral("1\t2\t3\t4\t5\t6")), Status::InvalidPropertyValue);
    EXPECT_EQ(
        ctl().TableRows(QStringLiteral("1\t2") + QChar(0x1E) + QStringLiteral("1\t2\t3\t4\t5\t6")),
        Status::InvalidPropertyValue);
    EXPECT_EQ(store().itemCount(), before);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);

    const ReportState& report = ctl().internals().report();
    ASSERT_GE(report.pageCount(), 2);
    // No text crosses its column, nothing passes the break limit, and no row is split: the two
    // lines of a long name lie on one page.
    const float right = 1000, widths[] = {1500, 3500, 900, 1600, 1600};
    for (const Line& l : textItems()) {
        float columnRight = right;
        bool inside = false;
        for (float w : widths) {
            if (l.item.ItemX >= columnRight - 0.5f &&
                l.item.ItemX + l.width <= columnRight + w + 0.5f)
                inside = true;
            columnRight += w;
        }
        EXPECT_TRUE(inside) << qPrintable(l.item.ItemText) << " at " << l.item.ItemX;
        EXPECT_LE(l.item.ItemY + lineHeight(), report.lines.breakLimit() + 0.5f);
    }
    const QString pdf = path("table.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    EXPECT_TRUE(qpdfCheck(pdf).clean());
    const QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'));
    for (int p = 0; p < report.pageCount(); ++p)
        EXPECT_TRUE(pageTexts.value(p).contains(u("שם חשבון")))
            << "no header row on page " << p + 1;
    for (int i = 0; i < 90; i += 7) {
        const QString first = u("חשבון עם שם ארוך");
        int pageOfFirst = -1, pageOfSecond = -1;
        for (int p = 0; p < pageTexts.size(); ++p) {
            const QString page = squeezed(pageTexts[p]);
            if (page.contains(QString::number(100000 + i) + squeezed(first))) pageOfFirst = p;
            // The line, the code cell and the amount: unique among the rows.
            if (page.contains(squeezed(u("שורות בעמודה %1").arg(i)) + QString::number(i) +
                              QStringLiteral("1,234.50")))
                pageOfSecond = p;
        }
        EXPECT_EQ(pageOfFirst, pageOfSecond) << "row " << i << " split: " << qPrintable(first);
    }
}

TEST_F(Tables, TheRulesAreTheOnesTableLinesAsksFor) {
    // Two columns and three rows, with and without a header row: the rule items recorded.
    auto rules = [&](int16_t lines, const QString& header) {
        start();
        EXPECT_EQ(ctl().let_TableLines(lines), Status::Ok);
        EXPECT_EQ(ctl().TableClear(), Status::Ok);
        EXPECT_EQ(ctl().TableAddColumn(2000, 1, header), Status::Ok);
        EXPECT_EQ(ctl().TableAddColumn(2000, 3, QString()), Status::Ok);
        EXPECT_EQ(ctl().TableBegin(), Status::Ok);
        EXPECT_EQ(ctl().TableRows(u("א\t1") + QChar(0x1E) + u("ב\t2") + QChar(0x1E) + u("ג\t3")),
                  Status::Ok);
        EXPECT_EQ(ctl().TableEnd(), Status::Ok);
        int count = 0;
        for (int32_t n = 1; n <= store().itemCount(); ++n)
            if (item(n).ItemKind == KindLine) ++count;
        return count;
    };
    EXPECT_EQ(rules(0, u("שם")), 0);
    EXPECT_EQ(rules(1, u("שם")), 1);     // under the header row
    EXPECT_EQ(rules(2, u("שם")), 1 + 3); // and under every row
    // A grid: the top, a rule under each of the four rows, and three uprights a row.
    EXPECT_EQ(rules(3, u("שם")), 1 + 4 + 4 * 3);
    // Without a header row the grid still closes at the top of the first row.
    EXPECT_EQ(rules(3, QString()), 1 + 3 + 3 * 3);
}

TEST_F(Tables, ARowTallerThanAPageIsSplitBetweenItsLines) {
    columns();
    ASSERT_EQ(ctl().let_CurrentX(1000), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    ASSERT_EQ(ctl().TableRow(QStringLiteral("1\t") + longParagraph(40)), Status::Ok);
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    EXPECT_GE(ctl().internals().report().pageCount(), 2);
    for (const Line& l : textItems())
        EXPECT_LE(l.item.ItemY + lineHeight(),
                  ctl().internals().report().lines.breakLimit() + 0.5f);
}

// "{page}" and "{pages}" in the page number, a header and a text: right on every page of the
// preview, the PDF and a printout read back.
TEST_F(Layout, PageNumberAndPageCountOnEveryPage) {
    ASSERT_EQ(ctl().let_PageNumberFormat(u("עמוד {page} מתוך {pages}")), Status::Ok);
    QString name = path("pages.prn");
    bool cancel = true;
    ASSERT_EQ(ctl().SavePrint(name, cancel), Status::Ok);
    for (int p = 1; p <= 3; ++p) {
        ASSERT_EQ(text(u("גוף העמוד {page} מתוך {pages}"), A2_JumpToNextLine), Status::Ok);
        if (p < 3) {
            ASSERT_EQ(ctl().printPage(), Status::Ok);
        }
    }
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    for (int p = 1; p <= 3; ++p) {
        if (p > 1) click(4); // Next
        EXPECT_EQ(drawnWith(u("גוף העמוד %1 מתוך 3").arg(p)).size(), 1u) << p;
        // The page number, and the body text that holds the same words.
        EXPECT_EQ(drawnWith(u("עמוד %1 מתוך 3").arg(p)).size(), 2u) << p;
    }
    const QString pdf = path("pages.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    const QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'));
    for (int p = 1; p <= 3; ++p)
        EXPECT_TRUE(squeezed(pageTexts.value(p - 1)).contains(squeezed(u("עמוד %1 מתוך 3").arg(p))))
            << p;
    // The printout, written as the control ends, carries the texts as they print, and reads
    // back into the next report so.
    m_control = makeControl();
    QFile printout(name);
    ASSERT_TRUE(printout.open(QIODevice::ReadOnly));
    const QString lines = QString::fromUtf8(printout.readAll());
    for (int p = 1; p <= 3; ++p)
        EXPECT_TRUE(lines.contains(u("2 גוף העמוד %1 מתוך 3").arg(p))) << qPrintable(lines);
    ASSERT_EQ(ctl().let_CodePage(65001), Status::Ok);
    start();
    ASSERT_EQ(ctl().ReadPrint(name), Status::Ok);
    ASSERT_EQ(store().itemCount(), 3);
    EXPECT_EQ(item(2).ItemText.trimmed(), u("גוף העמוד 2 מתוך 3"));
    // And the property is kept with the form.
    MemoryPropertyBag bag;
    auto other = std::make_unique<Palvex>(testPlatform());
    ASSERT_EQ(other->let_PageNumberFormat(QStringLiteral("{page}/{pages}")), Status::Ok);
    other->saveProperties(bag);
    auto loaded = std::make_unique<Palvex>(testPlatform());
    loaded->loadProperties(bag);
    QString format;
    ASSERT_EQ(loaded->get_PageNumberFormat(out(format)), Status::Ok);
    EXPECT_EQ(format, QStringLiteral("{page}/{pages}"));
}

TEST_F(Tables, ALastPageHoldingOnlyARowOfATableWithoutHeadersIsCountedAndNumbered) {
    ASSERT_EQ(ctl().let_PageNumberFormat(QStringLiteral("{page}/{pages}")), Status::Ok);
    ASSERT_EQ(ctl().TableAddColumn(3000, 1, QString()), Status::Ok);
    ASSERT_EQ(ctl().TableBegin(), Status::Ok);
    int rows = 0;
    while (ctl().internals().report().pagesEnded == 0) {
        ASSERT_EQ(ctl().TableRow(QString::number(++rows)), Status::Ok);
        ASSERT_LT(rows, 500);
    }
    ASSERT_EQ(ctl().TableEnd(), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    int32_t pages = 0;
    ASSERT_EQ(ctl().get_PageCount(out(pages)), Status::Ok);
    EXPECT_EQ(pages, 2);
    const QString pdf = path("two.pdf");
    ASSERT_EQ(ctl().ExportPdf(pdf), Status::Ok);
    const QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'));
    EXPECT_TRUE(pageTexts.value(0).contains(QStringLiteral("1/2")))
        << qPrintable(pageTexts.value(0));
    EXPECT_TRUE(pageTexts.value(1).contains(QStringLiteral("2/2")))
        << qPrintable(pageTexts.value(1));
    EXPECT_TRUE(pageTexts.value(1).contains(QString::number(rows)));
}

TEST_F(Layout, APictureIsDrawnAtTheSizeOfItsBox) {
    QImage red(300, 100, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(path("wide.png")));
    // 2880 x 2880 twips, proportions kept: 2880 x 960, drawn at 15 twips a pixel.
    ASSERT_EQ(ctl().let_CurrentY(1000), Status::Ok);
    bool keep = true;
    ASSERT_EQ(ctl().printPictureSized(path("wide.png"), 2880, 2880, &keep), Status::Ok);
    float y = 0;
    ASSERT_EQ(ctl().get_CurrentY(out(y)), Status::Ok);
    EXPECT_NEAR(y, 1000 + 960, 1); // the cursor below the picture
    keep = false;
    ASSERT_EQ(ctl().printPictureSized(path("wide.png"), 1500, 1500, &keep), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const QImage& page = ctl().internals().canvasImage();
    auto redRun = [&](bool across, int at) {
        int n = 0;
        for (int i = 0; i < (across ? page.width() : page.height()); ++i) {
            const QColor c = across ? page.pixelColor(i, at) : page.pixelColor(at, i);
            n += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
        return n;
    };
    const double scale = page.width() / double(ctl().internals().canvas().Width());
    const int firstRow = int((ctl().internals().canvas().originY() + 1000 + 400) * scale);
    EXPECT_NEAR(redRun(true, firstRow), 2880 * scale, 2);
    const int secondRow = int((ctl().internals().canvas().originY() + 1960 + 700) * scale);
    EXPECT_NEAR(redRun(true, secondRow), 1500 * scale, 2);
    bool yes = true;
    EXPECT_EQ(ctl().printPictureSized(path("wide.png"), 0, 100, &yes),
              Status::InvalidPropertyValue);
}

// SetMargins has the margins panel's effect on the report: the same margins, page-number line
// and break limit as choosing them in the panel and pressing OK; but it leaves the definitions
// file, which other reports in the folder read, alone.
TEST_F(Layout, SetMarginsDoesWhatTheMarginsPanelDoesToTheReport) {
    ASSERT_EQ(text(QStringLiteral("x"), A2_JumpToNextLine), Status::Ok);
    ASSERT_EQ(ctl().printLastPage(), Status::Ok);
    const std::array<int, 4> indexes{120, 80, 200, 250}; // left, right, top, bottom
    for (size_t i = 0; i < 4; ++i)
        child<QComboBox>(i == 0   ? "cboLeftMargin"
                         : i == 1 ? "cboRightMargin"
                         : i == 2 ? "cboTopMargin"
                                  : "cboBottomMargin")
            ->setCurrentIndex(indexes[i]);
    child<QPushButton>("cmdOKMarginsSetup")->click();
    const Margins panel = ctl().internals().report().margins;
    const float panelLine = ctl().internals().report().lines.pageNumberLine();
    const Definitions panelDefinitions = store().readDefinitions();

    // Another control, with definitions of its own, sets the same margins from code.
    auto other = std::make_unique<Palvex>(testPlatform());
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("other")));
    ASSERT_EQ(other->let_WorkingFolder(path("other")), Status::Ok);
    ASSERT_EQ(other->StartPalvexPrintPreview(), Status::Ok);
    ASSERT_NE(other->internals().report().margins.left, panel.left);
    const Definitions otherDefinitions = other->internals().reportStore().readDefinitions();
    ASSERT_EQ(
        other->SetMargins(marginTwips(120), marginTwips(200), marginTwips(80), marginTwips(250)),
        Status::Ok);
    const ReportState& report = other->internals().report();
    EXPECT_FLOAT_EQ(report.margins.left, panel.left);
    EXPECT_FLOAT_EQ(report.margins.right, panel.right);
    EXPECT_FLOAT_EQ(report.margins.top, panel.top);
    EXPECT_FLOAT_EQ(report.margins.bottom, panel.bottom);
    EXPECT_FLOAT_EQ(report.lines.pageNumberLine(), panelLine);
    EXPECT_NE(panelDefinitions.DefReals, otherDefinitions.DefReals);
    EXPECT_EQ(other->internals().reportStore().readDefinitions().DefReals,
              otherDefinitions.DefReals);
    // Nothing was recorded yet: the cursor starts the page at the new top margin.
    float y = 0;
    ASSERT_EQ(other->get_CurrentY(out(y)), Status::Ok);
    EXPECT_FLOAT_EQ(y, panel.top);
    // Refused: a negative margin, and before any start.
    EXPECT_EQ(other->SetMargins(-1, 0, 0, 0), Status::InvalidPropertyValue);
    auto fresh = std::make_unique<Palvex>(testPlatform());
    EXPECT_EQ(fresh->SetMargins(500, 500, 500, 500), Status::BadFileName);
}

} // namespace
} // namespace palvex::test
