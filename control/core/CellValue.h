#pragma once

#include <QString>

namespace palvex {

// What the text of a report's table cell holds, as a spreadsheet should take it: an amount (a
// number, with the number format that shows it as the report did), a date, or text. Digits
// alone are text (account numbers, codes, years keep their form and leading zeros): an amount
// shows at least one of an amount's marks, a grouping comma, a decimal point, a minus or a
// currency sign. Dates are day first (31/12/2026, 31.12.2026) or ISO (2026-12-31); a text that
// is not a real date that way stays text rather than being guessed month first.
struct CellValue {
    enum class Kind { Text, Amount, Date };

    Kind kind = Kind::Text;
    QString text; // the cell as the report shows it
    double amount = 0;
    // The spreadsheet number format of an amount: "#,##0.00", "#,##0.00;#,##0.00-" for a
    // trailing minus, "\"₪ \"#,##0.00" with the currency sign where it stood.
    QString numberFormat;
    int year = 0, month = 0, day = 0;

    static CellValue of(const QString& text);
};

// A column's cells read together, as a reader of the whole column would: digits alone are
// numbers when every other cell of the column is a number too and none has a leading zero
// (quantities, line numbers; a column of codes like 0501234567 stays text); when some of the
// column's amounts group their thousands, or show a trailing minus, all of them do. Gathered a
// cell at a time (see), then applied (settle), so a long table is read twice rather than held
// whole.
class ColumnReading {
public:
    void see(const CellValue& cell);
    // The cell as its column reads it.
    void settle(CellValue& cell) const;

private:
    bool m_anyPlain = false, m_allNumbers = true, m_anyGrouped = false, m_anyTrailingMinus = false;
};

} // namespace palvex
