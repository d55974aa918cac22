#include "ExampleReports.h"

#include "DataFiles.h"
#include "NumberFormat.h"
#include "core/CodePage.h"
#include <palvex/Enumerations.h>

#include <cmath>
#include <cstdlib>

namespace palvex::demo {

namespace {

Variant str(const QString& s) {
    return Variant(s);
}

Variant num(float v) {
    return Variant(v);
}

Variant i16(int16_t v) {
    return Variant(v);
}

Variant i32(int32_t v) {
    return Variant(v);
}

const QString MsSansSerif = QStringLiteral("Ms Sans Serif");
const QString TimesNewRoman = QStringLiteral("Times New Roman");

// English text on a right-to-left page: left-to-right marks at both ends keep its own order,
// so a full stop stays at its end and spaced digits ("2  0  0  0") read left to right.
QString ltr(const QString& text) {
    const QChar mark(0x200E);
    return mark + text + mark;
}

// The sample company.
QString companyName(bool hebrew) {
    return hebrew ? QString::fromUtf8("אופק ריהוט משרדי בע״מ")
                  : ltr(QStringLiteral("Ofek Office Furniture Ltd."));
}

} // namespace

Automation& ExampleReports::begin() {
    m_pv = &m_openPreview();
    if (m_settings.CentrePages) m_pv->call("tfCenterPages", {Variant(true)});
    return *m_pv;
}

float ExampleReports::single(const Variant& value) const {
    if (value.isMissing()) return 0;
    try {
        return value.toSingle();
    } catch (const Error&) {
        return 0;
    }
}

void ExampleReports::text(const QString& s, int32_t after) {
    m_pv->call("printText", {str(s), i32(after)});
}

void ExampleReports::textAt(float x, const QString& s, int32_t after) {
    m_pv->set("CurrentX", num(x));
    text(s, after);
}

void ExampleReports::center(const QString& s, int32_t after) {
    m_pv->call("centerIT", {str(s), i32(after)});
}

void ExampleReports::specialCenter(float x1, float x2, const QString& s, int32_t after, float y1,
                                   float y2) {
    m_pv->call("SpecialCenter", {num(x1), num(x2), str(s), i32(after), num(y1), num(y2)});
}

void ExampleReports::charRun(float start, float end, int16_t code, int32_t after,
                             int32_t placement) {
    m_pv->call("fxPrintingChars",
               {num(start), num(end), i16(code), i32(PrintHorizontal), i32(after), i32(placement)});
}

void ExampleReports::line(float x1, float y1, float x2, float y2, int32_t color, int16_t width) {
    // Solid, copy pen; x counted from the right edge like text.
    m_pv->call("printLine", {num(x1), num(y1), num(x2), num(y2), i32(color), i32(13), i32(0),
                             i16(width), i32(A0_AlignNone)});
}

void ExampleReports::font(float size, bool bold, int32_t color) {
    m_pv->set("FontSize", num(size));
    m_pv->set("FontBold", Variant(bold));
    m_pv->set("ForeColor", i32(color));
}

// ---------------------------------------------------------------------------------------------
// Trial balance

namespace {

struct LineHeader {
    int16_t number;
    QString text;
    float size;
    float x; // negative: the header is centred and keeps no x
    bool bold;
    bool underline;
    int32_t color;
    int32_t align;
    int16_t linesAfter;
};

void defineHeader(Automation& pv, const LineHeader& h) {
    const Variant n = i16(h.number);
    pv.call("fxNameHeader", {n, str(h.text)});
    pv.call("fxFontNameHeader", {n, str(MsSansSerif)});
    pv.call("fxFontsizeHeader", {n, num(h.size)});
    if (h.x >= 0) pv.call("fxCurXHeader", {n, num(h.x)});
    pv.call("fxFontBoldHeader", {n, Variant(h.bold)});
    pv.call("fxFontUnderlineHeader", {n, Variant(h.underline)});
    pv.call("fxForecolorHeader", {n, i32(h.color)});
    pv.call("fxAlignHeader", {n, i32(h.align)});
    pv.call("fxEnterAfterHeader", {n, i16(h.linesAfter)});
}

} // namespace

void ExampleReports::trialBalance() {
    const bool hebrew = m_settings.HebrewReport;
    const std::vector<TrialBalanceRecord> records = readTrialBalance(
        m_settings.fileInProgramFolder(hebrew ? TrialBalanceHebrewFile : TrialBalanceEnglishFile));
    Automation& pv = begin();

    const QDateTime now = m_settings.clock();
    const QString date =
        now.date().toString(hebrew ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("MM/dd/yyyy"));
    const QString time = now.time().toString(QStringLiteral("h:mm:ss"));
    const QString producer =
        hebrew ? QString::fromUtf8("הופק בתוכנת ההדגמה של Palvex - תצוגה לפני הדפסה מימין לשמאל")
               : ltr(QStringLiteral("Produced by the Palvex demonstration - print preview "
                                    "right to left"));
    const QString printed =
        hebrew ? QString::fromUtf8("תאריך הדפסה: ") + date + QStringLiteral("   ") +
                     QString::fromUtf8("שעת הדפסה: ") + time
               : ltr(QStringLiteral("Date of printing: ") + date + QStringLiteral("   ") +
                     QStringLiteral("Time of printing: ") + time);
    const QString title = hebrew ? QString::fromUtf8("מאזן בוחן ליום 31 בדצמבר 2000")
                                 : ltr(QStringLiteral("Trial Balance as at December 31, 2000"));
    const QStringList columns =
        hebrew ? QStringList{QString::fromUtf8("מספר חשבון"), QString::fromUtf8("שם החשבון"),
                             QString::fromUtf8("קוד"), QString::fromUtf8("חובה"),
                             QString::fromUtf8("זכות")}
               : QStringList{ltr(QStringLiteral("Account No.")), QStringLiteral("Account Name"),
                             QStringLiteral("Code"), QStringLiteral("Debit"),
                             QStringLiteral("Credit")};

    pv.set("Header", Variant(true));
    defineHeader(pv, {1, producer, 8, 1400, false, false, Black, A0_AlignNone, 1});
    defineHeader(pv, {2, printed, 8, 1400, false, true, Black, A0_AlignNone, 2});
    defineHeader(pv, {3, companyName(hebrew), 14, -1, true, true, Red, A2_AlignCenter, 1});
    defineHeader(pv, {4, title, 14, -1, true, true, Red, A2_AlignCenter, 2});
    const float columnX[] = {1500, 3500, 7000, 8000, 9700};
    for (int16_t c = 0; c < 5; ++c)
        defineHeader(pv, {int16_t(5 + c), columns[c], 12, columnX[c], true, true, Blue,
                          A0_AlignNone, int16_t(c == 4 ? 1 : 0)});
    pv.call("PrintHeader");

    double totalDebit = 0;
    double totalCredit = 0;
    for (const TrialBalanceRecord& r : records) {
        Variant afterPage = pv.get("gtAfterPage");
        if (!afterPage.isMissing() && afterPage.toBool()) pv.call("PrintHeader");
        pv.set("FontName", str(MsSansSerif));
        pv.set("ForeColor", i32(Black));
        pv.set("FontSize", num(10));
        pv.set("FontUnderline", Variant(false));
        pv.set("FontBold", Variant(false));
        textAt(2000, r.account.trimmed(), A1_StayWhereYouAre);
        textAt(3500, hebrew ? r.name.trimmed() : ltr(r.name.trimmed()), A1_StayWhereYouAre);
        textAt(7100, formatNumber(r.code, u"####"), A1_StayWhereYouAre);
        if (r.debit > 0) textAt(8000, formatNumber(r.debit, u"#,##0.00"), A1_StayWhereYouAre);
        if (r.credit > 0) textAt(9700, formatNumber(r.credit, u"#,##0.00"), A1_StayWhereYouAre);
        pv.call("JumpToNextLine");
        totalDebit += r.debit;
        totalCredit += r.credit;
        pv.call("checkMin2");
    }

    pv.set("FontSize", num(10));
    pv.set("FontBold", Variant(false));
    // Twelve en dashes (code 150 of the files' code page) over each total.
    const QString dashes(12, CodePage(1255).charOf(150));
    textAt(8000, dashes, A1_StayWhereYouAre);
    textAt(9700, dashes, A2_JumpToNextLine);
    pv.set("FontBold", Variant(true));
    textAt(8000, formatNumber(totalDebit, u"#,##0.00"), A1_StayWhereYouAre);
    if (totalCredit > 0) textAt(9700, formatNumber(totalCredit, u"#,##0.00"), A1_StayWhereYouAre);
    pv.call("JumpToNextLine");
    pv.set("FontBold", Variant(false));
    const QString equals(12, QLatin1Char('='));
    textAt(8000, equals, A1_StayWhereYouAre);
    textAt(9700, equals, A2_JumpToNextLine);
    pv.call("printLastPage");
}

// ---------------------------------------------------------------------------------------------
// Grids

namespace {

struct Debtor {
    const char* name;
    int kod;
    const char* address;
    double sum;
};

const Debtor Debtors[] = {
    {"Noa Ben-David", 1101, "14 Hagefen St., Haifa", 12450.00},
    {"Yossi Mizrahi", 1102, "7 Hashaked Ave., Ramla", 3275.50},
    {"Miriam Katz", 1103, "22 Ha'ela St., Netanya", 18900.00},
    {"Avi Peretz", 1104, "5 Hadekel Rd., Eilat", 760.25},
    {"Rina Shapiro", 1105, "31 Hanarkis St., Rehovot", 9140.80},
    {"David Levi-Tal", 1106, "3 Hatamar Sq., Afula", 2015.00},
    {"Shira Golan", 1107, "18 Hazayit St., Tiberias", 6530.40},
    {"Eitan Barak", 1108, "9 Harimon St., Ashdod", 11205.65},
};

} // namespace

void ExampleReports::gridStepByStep() {
    Automation& pv = begin();
    pv.set("FontName", str(MsSansSerif));
    const float top = single(pv.result("gtTopMargin"));
    const float right = single(pv.result("gtRightMargin"));
    pv.set("CurrentY", num(top));

    pv.set("FontUnderline", Variant(true));
    font(16, true, Blue);
    center(QStringLiteral("LIST OF DEBTORS"), A2_JumpToNextLine);
    pv.call("JumpToNextLine");
    pv.set("FontUnderline", Variant(false));

    // Cell edges from the right: NAME, KOD, ADDRESS, SUM.
    const float edges[] = {right, right + 3000, right + 4300, right + 7600, right + 9450};
    constexpr float Padding = 150;
    float rowTop = single(pv.get("CurrentY"));
    auto ruleRow = [&](bool first, int16_t width) {
        const float bottom = rowTop + RowHeight;
        if (first) line(edges[0], rowTop, edges[4], rowTop, Black, width);
        line(edges[0], bottom, edges[4], bottom, Black, width);
        for (float x : edges)
            line(x, rowTop, x, bottom, Black, width);
    };
    auto cellTextY = [&] {
        const float height = single(pv.result("TextHeight", {str(QStringLiteral("A"))}));
        pv.set("CurrentY", num(rowTop + (RowHeight - height) / 2));
    };

    font(12, true, Blue);
    const char* titles[] = {"NAME", "KOD", "ADDRESS", "SUM"};
    for (int c = 0; c < 4; ++c)
        specialCenter(edges[c], edges[c + 1], QString::fromLatin1(titles[c]), A1_StayWhereYouAre,
                      rowTop, rowTop + RowHeight);
    ruleRow(true, 2);

    double total = 0;
    font(11, false, Black);
    for (const Debtor& d : Debtors) {
        rowTop += RowHeight;
        cellTextY();
        textAt(edges[0] + Padding, QString::fromLatin1(d.name), A1_StayWhereYouAre);
        textAt(edges[1] + Padding, formatNumber(d.kod, u"####"), A1_StayWhereYouAre);
        textAt(edges[2] + Padding, ltr(QString::fromLatin1(d.address)), A1_StayWhereYouAre);
        textAt(edges[3] + Padding, formatNumber(d.sum, u"#,##0.00"), A1_StayWhereYouAre);
        ruleRow(false, 1);
        total += d.sum;
    }
    rowTop += RowHeight;
    font(12, true, Black);
    cellTextY();
    textAt(edges[0] + Padding, QStringLiteral("TOTAL"), A1_StayWhereYouAre);
    textAt(edges[3] + Padding, formatNumber(total, u"#,##0.00"), A1_StayWhereYouAre);
    ruleRow(false, 2);
    pv.set("CurrentY", num(rowTop + RowHeight));
    pv.call("printLastPage");
}

void ExampleReports::gridAtOnce() {
    Automation& pv = begin();
    pv.set("FontName", str(MsSansSerif));
    const float top = single(pv.result("gtTopMargin"));
    const float left = single(pv.result("gtLeftMargin"));
    const float right = single(pv.result("gtRightMargin"));
    pv.set("CurrentY", num(top));
    pv.set("FontSize", num(12));

    const float width = single(pv.get("ScaleWidth"));
    const float height = single(pv.get("ScaleHeight"));
    const long rows = std::max(1L, std::lround((height - 3402) / RowHeight));
    const long columns = std::max(1L, std::lround((width - 4536) / GridColumnWidth));
    // The ruling stands centred between the margins.
    const float x0 = right + (width - left - right - float(columns) * GridColumnWidth) / 2;
    const float x1 = x0 + float(columns) * GridColumnWidth;
    const float y1 = top + float(rows) * RowHeight;
    for (long r = 0; r <= rows; ++r) {
        const float y = top + float(r) * RowHeight;
        line(x0, y, x1, y, Black, r <= 1 ? 2 : 1);
    }
    for (long c = 0; c <= columns; ++c) {
        const float x = x0 + float(c) * GridColumnWidth;
        line(x, top, x, y1, Black, 1);
    }
    pv.set("FontBold", Variant(true));
    for (long c = 0; c < columns; ++c) {
        const float x = x0 + float(c) * GridColumnWidth;
        specialCenter(x, x + GridColumnWidth, QStringLiteral("Title%1").arg(c + 1),
                      A1_StayWhereYouAre, top, top + RowHeight);
    }
    pv.set("CurrentY", num(y1));
    pv.call("printLastPage");
}

// ---------------------------------------------------------------------------------------------
// Graphics

void ExampleReports::graphics() {
    Automation& pv = begin();
    const float top = single(pv.result("gtTopMargin"));
    const float left = single(pv.result("gtLeftMargin"));
    const float right = single(pv.result("gtRightMargin"));
    const float width = single(pv.get("ScaleWidth"));
    pv.set("CurrentY", num(top));
    font(24, true, Blue);

    // A box 6000 twips wide, centred, filled with red downward diagonals.
    pv.call("printBox", {num(0), num(top), num(6000), num(top + 800), i32(Red), i32(0), i32(13),
                         i16(5), i32(5), i32(A2_AlignCenter), str(QStringLiteral("PALVEX"))});

    font(26, true, Green);
    const float circleY = 7600;
    std::vector<Variant> circle{num(0),        num(circleY),
                                i32(0x99FFFF), // light yellow inside
                                i32(0),        i32(13),
                                i16(3),        i32(0),
                                num(2000),     i32(A2_AlignCenter),
                                i32(Green),    num(0),
                                num(0),        str(QStringLiteral("Circle")),
                                num(0)};
    pv.call("printCircle", circle);

    pv.set("CurrentY", num(1800));
    pv.set("CurrentX", num(left));
    font(20, true, Magenta);
    center(QStringLiteral("Graphics in a report"), A1_StayWhereYouAre);

    line(right, 2500, width - left, 2500, Blue, 6);

    pv.set("CurrentX", num(5000));
    pv.set("CurrentY", num(2700));
    pv.call("printPicture", {str(m_settings.fileInProgramFolder(PictureFile)),
                             i32(A0_AlignPicHorizontalNone), i32(A0_AlignPicVerticalNone)});
    pv.call("printLastPage");
}

// ---------------------------------------------------------------------------------------------
// Mixed languages

void ExampleReports::mixedLanguages() {
    Automation& pv = begin();
    pv.set("CurrentY", num(single(pv.result("gtTopMargin"))));
    pv.set("CurrentX", num(567));
    pv.set("FontName", str(MsSansSerif));
    font(16, true, Red);
    pv.call("centerMixedLanguages", {str(QString::fromUtf8("דוגמה לשילוב שפות"))});
    pv.set("FontBold", Variant(false));
    pv.set("FontSize", num(16));
    pv.set("ForeColor", i32(Blue));
    pv.set("FontItalic", Variant(true));
    text(QStringLiteral(" Hebrew/English "), A1_StayWhereYouAre);
    pv.set("ForeColor", i32(Green));
    text(QString::fromUtf8(" בשורה אחת"), A2_JumpToNextLine);
    pv.set("CurrentY", num(single(pv.get("CurrentY")) - 40));

    pv.set("FontName", str(TimesNewRoman));
    pv.set("FontBold", Variant(true));
    pv.set("FontItalic", Variant(false));
    // An overline (the macron) over the whole line above.
    charRun(0, 0, 175, A2_JumpToNextLine, K2_StartAndEndPointAsStringOfLastRow);
    pv.call("JumpToNextLine");

    pv.set("FontName", str(MsSansSerif));
    pv.set("FontBold", Variant(false));
    pv.set("FontSize", num(14));
    pv.set("CurrentX", num(1000));
    pv.set("ForeColor", i32(Red));
    text(QString::fromUtf8("משפט בעברית עם"), A1_StayWhereYouAre);
    pv.set("ForeColor", i32(Blue));
    text(QStringLiteral(" Text "), A1_StayWhereYouAre);
    pv.set("ForeColor", i32(Black));
    text(QString::fromUtf8("באנגלית באמצע,"), A1_StayWhereYouAre);
    pv.set("FontBold", Variant(true));
    pv.set("ForeColor", i32(Cyan));
    text(QStringLiteral(" Just For Fun"), A2_JumpToNextLine);
    pv.set("FontBold", Variant(false));

    pv.set("CurrentX", num(1000));
    pv.set("ForeColor", i32(Blue));
    text(QString::fromUtf8("הפקד מציג "), A1_StayWhereYouAre);
    pv.set("ForeColor", i32(Green));
    text(QString::fromUtf8("עברית ואנגלית "), A1_StayWhereYouAre);
    pv.set("ForeColor", i32(Black));
    text(QString::fromUtf8("בשורה אחת, והוא"), A1_StayWhereYouAre);
    text(QStringLiteral(" Can overcome "), A2_JumpToNextLine);

    pv.set("CurrentX", num(1000));
    text(ltr(QStringLiteral(" the problem of mixed language. ")), A1_StayWhereYouAre);
    pv.set("FontSize", num(18));
    pv.set("ForeColor", i32(Magenta));
    text(QString::fromUtf8("בקלות ובפשטות!"), A2_JumpToNextLine);
    pv.call("printLastPage");
}

// ---------------------------------------------------------------------------------------------
// Balance sheet and profit and loss

void ExampleReports::balanceSheet() {
    statement(true);
}

void ExampleReports::profitAndLoss() {
    statement(false);
}

void ExampleReports::printAmount(int64_t value, float x, bool bracketed) {
    const QString s = formatNumber(double(value), bracketed ? u"(#,###)" : u"#,###");
    const float bracket =
        bracketed ? single(m_pv->result("TextWidth", {str(QStringLiteral(")"))})) : 0.0f;
    textAt(x - bracket, s, A1_StayWhereYouAre);
}

void ExampleReports::noteLine() {
    m_pv->call("fxProporional_CurrentY", {i32(P1_Proporional_To_currentYofPageNumber)});
    m_pv->set("DontConsiderForCenter", Variant(true));
    m_pv->set("CurrentY", num(single(m_pv->get("currentYofPageNumber")) - 1134));
    m_pv->set("FontUnderline", Variant(false));
    font(16, true, Green);
    center(ltr(QStringLiteral("The accompanying notes are an integral part of this statement.")),
           A1_StayWhereYouAre);
}

void ExampleReports::statement(bool balanceSheet) {
    const std::vector<StatementRecord> lines =
        readStatement(m_settings.fileInProgramFolder(StatementFile));
    Automation& pv = begin();

    // The year headings fix the amount columns: each runs from its x to the end of its year.
    pv.set("FontName", str(TimesNewRoman));
    pv.set("FontItalic", Variant(false));
    pv.set("FontBold", Variant(true));
    pv.set("FontSize", num(14));
    const QString currentYear = ltr(QStringLiteral("2  0  0  0"));
    const QString previousYear = ltr(QStringLiteral("1  9  9  9"));
    const float currentEnd = CurrentYearX + single(pv.result("TextWidth", {str(currentYear)}));
    const float previousEnd = PreviousYearX + single(pv.result("TextWidth", {str(previousYear)}));

    if (!balanceSheet && m_settings.SaveProfitAndLoss) {
        std::vector<Variant> save{str(m_settings.fileInProgramFolder(SavedProfitAndLossFile)),
                                  Variant(false)};
        pv.call("SavePrint", save);
    } else if (!balanceSheet) {
        pv.set("tfPrintFooter1", Variant(true));
        const struct {
            int32_t slot;
            const char* text;
            float size;
            int32_t color;
        } footers[] = {
            {N1_RightFooterOfPagenumberLine, "Ofek Office Furniture Ltd.", 14, Blue},
            {N2_LeftFooterOfPagenumberLine, "Profit and Loss 2000", 14, Blue},
            {N3_RightFooterOfSecondLine, "Draft", 18, Red},
            {N4_LeftFooterOfSecondLine, "For the board only", 18, Red},
        };
        for (const auto& f : footers)
            pv.call("Footer1Right",
                    {i32(f.slot), str(ltr(QString::fromLatin1(f.text))), str(TimesNewRoman),
                     num(f.size), Variant(false), Variant(false), Variant(false), i32(f.color)});
    }
    pv.call("PrintingLineAbovePagenumber", {str(QStringLiteral("="))});

    // Heading.
    pv.set("FontUnderline", Variant(true));
    font(20, true, Red);
    center(companyName(false), A2_JumpToNextLine);
    center(balanceSheet ? QStringLiteral("Balance Sheets")
                        : QStringLiteral("Statements of Profit and Loss"),
           A2_JumpToNextLine);
    pv.set("FontUnderline", Variant(false));
    pv.call("JumpToNextLine");
    font(14, true, Black);
    const QStringList heads = balanceSheet ? QStringList{QStringLiteral("At December 31")}
                                           : QStringList{QStringLiteral("For the year ended"),
                                                         QStringLiteral("December 31")};
    for (const QString& head : heads)
        specialCenter(CurrentYearX, previousEnd, head, A2_JumpToNextLine,
                      single(pv.get("CurrentY")), 0);
    textAt(5600, QStringLiteral("Note"), A1_StayWhereYouAre);
    textAt(CurrentYearX, currentYear, A1_StayWhereYouAre);
    textAt(PreviousYearX, previousYear, A2_JumpToNextLine);
    pv.set("FontSize", num(8));
    charRun(CurrentYearX, currentEnd, 175, A1_StayWhereYouAre, K0_StartAndEndPointAsDefined);
    charRun(PreviousYearX, previousEnd, 175, A2_JumpToNextLine, K0_StartAndEndPointAsDefined);

    // A rule of `code` under both amount columns, on a line of its own.
    auto rules = [&](int16_t code) {
        pv.set("FontSize", num(8));
        charRun(CurrentYearX, currentEnd, code, A1_StayWhereYouAre, K0_StartAndEndPointAsDefined);
        charRun(PreviousYearX, previousEnd, code, A2_JumpToNextLine, K0_StartAndEndPointAsDefined);
    };
    auto amounts = [&](int64_t current, int64_t previous) {
        printAmount(std::llabs(current), CurrentYearX, current < 0);
        printAmount(std::llabs(previous), PreviousYearX, previous < 0);
        pv.call("JumpToNextLine");
    };

    int64_t groupCurrent = 0, groupPrevious = 0;
    int groupItems = 0;
    int64_t partCurrent = 0, partPrevious = 0;
    // A group of more than one item ends with its sum under a single rule.
    auto closeGroup = [&] {
        if (groupItems > 1) {
            rules('-');
            font(12, true, Black);
            amounts(groupCurrent, groupPrevious);
        }
        groupCurrent = groupPrevious = 0;
        groupItems = 0;
    };
    auto closePart = [&](const QString& caption) {
        closeGroup();
        if (!balanceSheet) return;
        rules('-');
        font(14, true, Navy);
        textAt(1800, caption, A1_StayWhereYouAre);
        amounts(partCurrent, partPrevious);
        rules('=');
        pv.call("JumpToNextLine");
        partCurrent = partPrevious = 0;
    };

    for (size_t i = 0; i < lines.size() && i < 17; ++i) {
        const StatementRecord& r = lines[i];
        if (i == 6) closePart(QStringLiteral("Sum of Assets"));
        float x = 900;
        switch (r.lineType) {
        case StatementRecord::GroupHeading:
            closeGroup();
            if (i != 0 && i != 6) pv.call("JumpToNextLine"); // air between groups
            font(14, true, Navy);
            x = 500;
            break;
        case StatementRecord::ItemLine:
            font(12, false, Black);
            break;
        default: // further styles: emphasised lines
            font(16, true, Magenta);
            break;
        }
        textAt(x, ltr(r.text.trimmed()), A1_StayWhereYouAre);
        if (r.note > 0) {
            const Variant size = pv.get("FontSize");
            const Variant bold = pv.get("FontBold");
            pv.set("FontBold", Variant(true));
            pv.set("FontSize", num(14));
            textAt(5600, formatNumber(r.note, u"##"), A1_StayWhereYouAre);
            pv.set("FontSize", size);
            pv.set("FontBold", bold);
        }
        if (r.current == 0 && r.previous == 0)
            pv.call("JumpToNextLine");
        else
            amounts(r.current, r.previous);
        if (r.lineType == StatementRecord::ItemLine) {
            groupCurrent += r.current;
            groupPrevious += r.previous;
            partCurrent += r.current;
            partPrevious += r.previous;
            ++groupItems;
        }
        pv.call("checkMin2");
    }
    closePart(QStringLiteral("Sum of Capital and Liabilities"));

    noteLine();
    if (balanceSheet && m_settings.BalanceSheetMode == 2) {
        // The saved statement follows on a page of its own, with the note under it too. When
        // nothing could be read the page is still fresh (gtAfterPage) and stays out.
        pv.call("printPage");
        std::vector<Variant> read{str(m_settings.fileInProgramFolder(SavedProfitAndLossFile))};
        pv.call("ReadPrint", read);
        const Variant fresh = pv.get("gtAfterPage");
        if (fresh.isMissing() || !fresh.toBool()) noteLine();
    }
    pv.call("printLastPage");
}

} // namespace palvex::demo
