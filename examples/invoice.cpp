// A two-page invoice the control lays out itself, through the C++ writer:
//   palvex-invoice [OUT.pdf]        (invoice.pdf by default; the logo lies beside the program's
//                                    source, or give its folder in PALVEX_INVOICE_LOGO_DIR)
// The same invoice as invoice.pvs and invoice.py. Needs no display; the report's own files go
// to a temporary folder.
#include <palvex/Application.h>
#include <palvex/Palvex.h>
#include <palvex/ReportWriter.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

using palvex::ReportWriter;
using Align = ReportWriter::Align;

struct Item {
    const char* name;
    int64_t quantity;
    int64_t price; // in agorot: money is counted in whole agorot, never in floating point
};

constexpr std::array<Item, 28> Items{{
    {"ייעוץ חשבונאי — דוחות רבעוניים לשנת 2026, כולל התאמות בנקים וכרטסות ספקים", 3, 185000},
    {"הכנת מאזן בוחן", 1, 240000},
    {"Payroll export (CSV)", 12, 3550},
    {"שעות תמיכה טכנית", 6, 22000},
    {"רישיון שנתי למערכת הנהלת חשבונות — עמדה נוספת", 2, 129000},
    {"הדרכת עובדים במשרדי הלקוח", 4, 45000},
    {"Data migration from legacy ledger", 1, 320000},
    {"גיבוי ענן חודשי", 12, 8990},
    {"הפקת דוח מע\"מ דו-חודשי", 6, 31000},
    {"הפקת טופסי 106 לעובדים", 38, 1250},
    {"התאמת כרטיסי לקוחות", 1, 98000},
    {"Server maintenance", 3, 64000},
    {"ניתוח תזרים מזומנים", 1, 175000},
    {"דוח רווח והפסד מאוחד לחברת האם ולשלוש חברות הבת, כולל ביאורים", 1, 460000},
    {"שעות פיתוח דוחות מותאמים", 14, 26000},
    {"ייבוא תנועות בנק", 24, 1800},
    {"טיפול בפניות רשות המסים", 2, 72000},
    {"License: reporting module", 1, 199000},
    {"סריקת מסמכים וארכוב", 400, 120},
    {"הכנת תקציב שנתי", 1, 350000},
    {"בדיקת עמידה בתקנות הגנת הפרטיות", 1, 125000},
    {"Quarterly VAT reconciliation", 4, 38000},
    {"תמיכה מרחוק — חבילת 10 שעות", 2, 190000},
    {"הדפסת חשבוניות ומשלוחן", 250, 240},
    {"סגירת שנת כספים", 1, 275000},
    {"הגדרת הרשאות משתמשים", 8, 9500},
    {"דוח גיול חובות לקוחות", 1, 54000},
    {"Consulting: ERP integration", 5, 48000},
}};
constexpr int64_t VatPercent = 18;

QString money(int64_t agorot) {
    return QStringLiteral("%1.%2")
        .arg(QLocale(QLocale::English).toString(qlonglong(agorot / 100)))
        .arg(int(agorot % 100), 2, 10, QLatin1Char('0'));
}

// 2 cm at each side: paragraphs and tables lie between the margins, so at(0) puts their right
// edge on the right margin, and a position inside the table counts from there.
constexpr float SideMargin = 1134;

void recordInvoice(ReportWriter& w, const QString& logo) {
    using namespace Qt::StringLiterals;
    w.margins(SideMargin, 680, SideMargin, 680)
        .pageNumberFormat(u"עמוד {page} מתוך {pages}"_s)
        .font(u"Liberation Sans"_s, 10)
        .at(0)
        .picture(logo, {2400, 1200}, true, palvex::A1_AlignPicHorizontalRight,
                 u"הסמל של אופק מערכות מידע"_s)
        .font({}, 16, true)
        .heading(1)
        .centered(u"אופק מערכות מידע בע״מ - Ofek Information Systems Ltd"_s)
        .font({}, 12, false)
        .heading(2)
        .centered(u"חשבונית מס 2026-0412 - Tax invoice"_s)
        .newLine()
        .font({}, 10)
        .at(0)
        .paragraph(u"לכבוד: א.ב. מסחר והפצה בע\"מ, רחוב הברזל 30, תל אביב. תאריך: 09/12/2026. "
                   u"תנאי תשלום: שוטף + 30. השירותים שלהלן ניתנו לפי הסכם המסגרת מיום "
                   u"01/01/2026; שאלות על החשבונית יש להפנות למחלקת הנהלת החשבונות."_s,
                   8800, Align::Justified)
        .newLine()
        .font({}, 12)
        .at(0);
    // Widths in twips, from the right: line, item, quantity, price, amount.
    const QList<ReportWriter::Column> columns{{500, Align::Center, u"#"_s},
                                              {4700, Align::Right, u"פריט"_s},
                                              {900, Align::Center, u"כמות"_s},
                                              {1300, Align::Left, u"מחיר"_s},
                                              {1400, Align::Left, u"סכום"_s}};
    w.table(columns, ReportWriter::Rules::BetweenRows);
    int64_t subtotal = 0;
    int number = 0;
    for (const Item& item : Items) {
        const int64_t amount = item.quantity * item.price;
        subtotal += amount;
        w.row({QString::number(++number), QString::fromUtf8(item.name),
               QString::number(item.quantity), money(item.price), money(amount)});
    }
    w.endTable();
    const int64_t vat = (subtotal * VatPercent + 50) / 100;
    // The totals under the price and amount columns: a table without header texts has no
    // header row.
    w.newLine()
        .at(SideMargin + columns[0].width + columns[1].width + columns[2].width)
        .table({{1300, Align::Right}, {1400, Align::Left}}, ReportWriter::Rules::None, false)
        .row({u"סכום ביניים"_s, money(subtotal)})
        .row({u"מע\"מ %1%"_s.arg(VatPercent), money(vat)})
        .bold(true)
        .row({u"לתשלום"_s, money(subtotal + vat)})
        .endTable()
        .bold(false);
}

QString logoPath() {
    const QByteArray folder = qgetenv("PALVEX_INVOICE_LOGO_DIR");
    return QDir(folder.isEmpty() ? QStringLiteral(PALVEX_INVOICE_LOGO_DIR)
                                 : QString::fromLocal8Bit(folder))
        .filePath(QStringLiteral("invoice-logo.png"));
}

} // namespace

int main(int argc, char** argv) {
    // The program shows no window: on a server, from cron or CI, there is no display to open, and
    // the application comes up on Qt's offscreen platform, which records and exports the same.
    // Nothing is lost there, so it is not said.
    palvex::Application app(argc, argv, palvex::Application::Notice::Quiet);
    const QStringList arguments = app.arguments();
    const QString pdf = arguments.size() > 1 ? arguments[1] : QStringLiteral("invoice.pdf");
    QTemporaryDir folder;
    palvex::Palvex report;
    ReportWriter w(report);
    w.call([&](palvex::Palvex& c) { return c.let_WorkingFolder(folder.path()); }, "WorkingFolder")
        .call([](palvex::Palvex& c) { return c.let_MessagesToHost(true); }, "MessagesToHost")
        .accessible(QStringLiteral(u"חשבונית מס 2026-0412"))
        .start();
    recordInvoice(w, logoPath());
    // The tables beside it, for the accountant's spreadsheet.
    const QFileInfo file(pdf);
    w.finish().exportPdf(pdf).exportXlsx(file.path() + u'/' + file.completeBaseName() +
                                         QStringLiteral(".xlsx"));
    if (!w.ok()) {
        std::fprintf(stderr, "invoice: %s\n", qPrintable(w.errorString()));
        return 1;
    }
    int32_t pages = 0;
    (void)report.get_PageCount(palvex::out(pages));
    std::printf("%s: %d pages\n", qPrintable(pdf), int(pages));
    return 0;
}
