#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

namespace palvex::demo {

// Program-wide settings: the main form sets them before an example runs, the examples read
// them. They keep their values between runs; each run sets those it needs.
struct DemoSettings {
    bool HebrewReport = false;
    bool CentrePages = true;
    int16_t BalanceSheetMode = 1; // 1 balance sheet only, 2 with the saved profit and loss
    bool SaveProfitAndLoss = false;

    // Where the data files, the picture and the saved profit and loss live: the program's
    // own folder.
    QString programFolder;
    // The moment printed in the report headers.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    QString fileInProgramFolder(const QString& name) const {
        return programFolder + QLatin1Char('/') + name;
    }
};

} // namespace palvex::demo
