#include "Invoice.h"

#include <palvex/Status.h>

#include <QLocale>

#include <array>

using namespace palvex;

namespace {

struct Line {
    const char* item;
    int quantity;
    double price;
};

constexpr std::array<Line, 4> Lines{{
    {"ייעוץ חשבונאי — דוחות רבעוניים", 3, 1850.00},
    {"הכנת מאזן בוחן", 1, 2400.00},
    {"Payroll export (CSV)", 12, 35.50},
    {"שעות תמיכה", 6, 220.00},
}};

// Columns, in twips from the page's right edge, where each column's text ends.
constexpr float ItemColumn = 1200, QuantityColumn = 6600, PriceColumn = 8000, AmountColumn = 9700;

QString money(double value) {
    return QLocale(QLocale::English).toString(value, 'f', 2);
}

// Runs the calls in order and stops at the first that fails.
class Recorder {
public:
    explicit Recorder(Palvex& control) : m_control(control) {}

    template <class Call> Recorder& then(Call&& call) {
        if (m_status == Status::Ok) m_status = call(m_control);
        return *this;
    }
    Recorder& textAt(float x, const QString& text, AfterPrintType after = A1_StayWhereYouAre) {
        return then([&](Palvex& c) { return c.let_CurrentX(x); }).then([&](Palvex& c) {
            return c.printText(text, after);
        });
    }
    Recorder& font(float size, bool bold) {
        return then([&](Palvex& c) { return c.let_FontSize(size); }).then([&](Palvex& c) {
            return c.let_FontBold(bold);
        });
    }
    Status status() const { return m_status; }

private:
    Palvex& m_control;
    Status m_status = Status::Ok;
};

} // namespace

Status recordInvoice(Palvex& control) {
    Recorder r(control);
    r.then([](Palvex& c) { return c.StartPalvexPrintPreview(); })
        .then([](Palvex& c) { return c.let_FontName(QStringLiteral("David CLM")); })
        .font(20, true)
        .then([](Palvex& c) {
            return c.centerIT(QString::fromUtf8("חשבונית מס 2026-0412"), A2_JumpToNextLine);
        })
        .font(11, false)
        .then([](Palvex& c) { return c.JumpToNextLine(); })
        .textAt(ItemColumn, QString::fromUtf8("לכבוד: אופק מערכות מידע בע\"מ"), A2_JumpToNextLine)
        .textAt(ItemColumn, QString::fromUtf8("תאריך: 09/12/2026"), A2_JumpToNextLine)
        .then([](Palvex& c) { return c.JumpToNextLine(); })
        .font(11, true)
        .textAt(ItemColumn, QString::fromUtf8("פריט"))
        .textAt(QuantityColumn, QString::fromUtf8("כמות"))
        .textAt(PriceColumn, QString::fromUtf8("מחיר"))
        .textAt(AmountColumn, QString::fromUtf8("סה\"כ"), A2_JumpToNextLine)
        .font(11, false);
    double total = 0;
    for (const Line& line : Lines) {
        const double amount = line.quantity * line.price;
        total += amount;
        r.textAt(ItemColumn, QString::fromUtf8(line.item))
            .textAt(QuantityColumn, QString::number(line.quantity))
            .textAt(PriceColumn, money(line.price))
            .textAt(AmountColumn, money(amount), A2_JumpToNextLine);
    }
    const double vat = total * 0.18;
    r.then([](Palvex& c) { return c.JumpToNextLine(); })
        .textAt(PriceColumn, QString::fromUtf8("סכום ביניים"))
        .textAt(AmountColumn, money(total), A2_JumpToNextLine)
        .textAt(PriceColumn, QString::fromUtf8("מע\"מ 18%"))
        .textAt(AmountColumn, money(vat), A2_JumpToNextLine)
        .font(12, true)
        .textAt(PriceColumn, QString::fromUtf8("לתשלום"))
        .textAt(AmountColumn, money(total + vat), A2_JumpToNextLine)
        .then([](Palvex& c) { return c.printLastPage(); });
    return r.status();
}

QString describeStatus(Status status) {
    const std::string_view text = describe(status);
    return QStringLiteral("error %1: %2")
        .arg(int(status))
        .arg(QString::fromUtf8(text.data(), qsizetype(text.size())));
}
