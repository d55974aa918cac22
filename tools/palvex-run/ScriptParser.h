#pragma once

#include <palvex/Variant.h>

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace palvex::script {

// One statement of a script.
struct Statement {
    enum class Kind { Empty, Call, Set, Query, Action };
    Kind kind = Kind::Empty;
    QString name;              // member name, or action name without '!'
    std::vector<Variant> args; // Call, Query: arguments (Missing where omitted); Set: the value
    QStringList words;         // Action: its words, quotes removed
    int line = 0;
};

struct ParseError {
    int line;
    QString message;
};

// Parses one line; a malformed line is a ParseError.
Statement parseLine(const QString& text, int line);

// A literal argument: number (12, -1.5, 1e3, &HFF0000), "string" ("" is a quote), true, false,
// or empty for an omitted argument. Strings join with & the characters a line cannot hold, by
// name: Tab, Cr, Lf, CrLf and RowSeparator ("1" & Tab & "קופה").
Variant parseLiteral(QStringView text, int line);

} // namespace palvex::script
