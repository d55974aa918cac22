#include "Invoice.h"

#include <palvex/ReportWriter.h>
#include <palvex/Status.h>

#include <QLocale>

#include <array>
#include <cstdint>

using namespace palvex;

namespace {

struct Line {
    const char* item;
    int quantity;
    int64_t price; // in agorot: money is counted in whole agorot, never in floating point
};

constexpr std::array<Line, 4> Lines{{
    {"ייעוץ חשבונאי — דוחות רבעוניים", 3, 185000},
    {"הכנת מאזן בוחן", 1, 240000},
    {"Payroll export (CSV)", 12, 3550},
    {"שעות תמיכה", 6, 22000},
}};

QString money(int64_t agorot) {
    return QStringLiteral("%1.%2")
        .arg(QLocale(QLocale::English).toString(qlonglong(agorot / 100)))
        .arg(int(agorot % 100), 2, 10, QLatin1Char('0'));
}

} // namespace

Status recordInvoice(Palvex& control) {
    using Align = ReportWriter::Align;
    ReportWriter w(control);
    w.start()
        .pageNumberFormat(QString::fromUtf8("עמוד {page} מתוך {pages}"))
        .font(QStringLiteral("David CLM"), 20, true)
        .centered(QString::fromUtf8("חשבונית מס 2026-0412"))
        .font({}, 11)
        .newLine()
        .at(1200)
        .text(QString::fromUtf8("לכבוד: אופק מערכות מידע בע\"מ"))
        .text(QString::fromUtf8("תאריך: 09/12/2026"))
        .newLine()
        // Columns from the right: item, quantity, price, amount; the control wraps long items.
        .table({{4400, Align::Right, QString::fromUtf8("פריט")},
                {1000, Align::Center, QString::fromUtf8("כמות")},
                {1500, Align::Left, QString::fromUtf8("מחיר")},
                {1700, Align::Left, QString::fromUtf8("סה\"כ")}});
    int64_t total = 0;
    for (const Line& line : Lines) {
        const int64_t amount = line.quantity * line.price;
        total += amount;
        w.row({QString::fromUtf8(line.item), QString::number(line.quantity), money(line.price),
               money(amount)});
    }
    const int64_t vat = (total * 18 + 50) / 100;
    // The totals under the price and amount columns, in a table without a header row.
    w.endTable()
        .newLine()
        .at(1200 + 4400 + 1000)
        .table({{1500, Align::Right}, {1700, Align::Left}}, ReportWriter::Rules::None, false)
        .row({QString::fromUtf8("סכום ביניים"), money(total)})
        .row({QString::fromUtf8("מע\"מ 18%"), money(vat)})
        .bold(true)
        .row({QString::fromUtf8("לתשלום"), money(total + vat)})
        .endTable()
        .finish();
    return w.status();
}

QString describeStatus(Status status) {
    const std::string_view text = describe(status);
    return QStringLiteral("error %1: %2")
        .arg(int(status))
        .arg(QString::fromUtf8(text.data(), qsizetype(text.size())));
}
