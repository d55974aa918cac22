#pragma once

// What the preview, search and print benchmarks share: an offscreen application working in a
// temporary directory, the trial balance they record, and the toolbar buttons a person presses.

#include <palvex/Palvex.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace palvex::bench {

// Offscreen unless told otherwise; the report store lands in a directory of its own.
class BenchApplication {
public:
    BenchApplication(int& argc, char** argv) : m_platform(setOffscreen()), m_app(argc, argv) {
        std::filesystem::current_path(m_dir.path().toStdString());
    }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    static bool setOffscreen() {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    bool m_platform;
    QApplication m_app;
    QTemporaryDir m_dir;
};

// A trial balance: per line an account number, a Hebrew account name and an amount in the debit
// or credit column, `linesPerPage` lines and a page number on each page.
inline void recordTrialBalance(Palvex& ctl, int pages, int linesPerPage) {
    const QString names[] = {
        QString::fromUtf8("מזומנים בקופה הראשית"), QString::fromUtf8("בנק הפועלים סניף 600"),
        QString::fromUtf8("לקוחות שונים - Customers"), QString::fromUtf8("ספקים וזכאים")};
    ctl.StartPalvexPrintPreview();
    ctl.let_FontSize(10);
    for (int p = 0; p < pages; ++p) {
        for (int line = 0; line < linesPerPage; ++line) {
            QString number = QString::number(100000 + p * linesPerPage + line);
            QString name = names[line % 4];
            QString amount = QStringLiteral("%L1").arg(1234.5 * (line + 1), 0, 'f', 2);
            AfterPrintType stay = A1_StayWhereYouAre, next = A2_JumpToNextLine;
            ctl.let_CurrentX(1000);
            ctl.printText(number, stay);
            ctl.let_CurrentX(2800);
            ctl.printText(name, stay);
            ctl.let_CurrentX(line % 2 ? 9300 : 7600);
            ctl.printText(amount, next);
        }
        if (p + 1 < pages) ctl.printPage();
    }
    ctl.printLastPage();
}

// The process's peak resident size so far (VmHWM), in kB.
inline long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

inline QPushButton* toolbarButton(Palvex& ctl, int index) {
    for (QPushButton* b : ctl.findChildren<QPushButton*>(QStringLiteral("cmd")))
        if (b->property("index").toInt() == index) return b;
    return nullptr;
}

} // namespace palvex::bench
