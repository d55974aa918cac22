#pragma once

// A workbook as a spreadsheet program reads it back: Debian's openpyxl, which nobody here wrote.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

// Debian's interpreter, which has Debian's openpyxl, whatever a user's PATH puts first.
#ifndef PALVEX_PYTHON3
#define PALVEX_PYTHON3 "/usr/bin/python3"
#endif

namespace palvex::test {

// Every sheet of the workbook: {name, rtl, frozen, rows: [[{value, format, bold}]]}; a date
// comes back as the text "date YYYY-MM-DD".
inline QJsonArray readWorkbook(const QString& path) {
    static const char* script = R"(
import json, sys, datetime, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = []
for ws in book.worksheets:
    rows = []
    for row in ws.iter_rows():
        cells = []
        for c in row:
            v = c.value
            if isinstance(v, datetime.datetime): v = v.strftime('date %Y-%m-%d')
            cells.append({'value': v, 'format': c.number_format, 'bold': bool(c.font.b)})
        rows.append(cells)
    out.append({'name': ws.title, 'rtl': bool(ws.sheet_view.rightToLeft),
                'frozen': ws.freeze_panes, 'rows': rows})
print(json.dumps(out))
)";
    QProcess python;
    python.start(QStringLiteral(PALVEX_PYTHON3),
                 {QStringLiteral("-c"), QString::fromUtf8(script), path});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

} // namespace palvex::test
