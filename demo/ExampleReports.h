#pragma once

#include "Automation.h"
#include "DemoSettings.h"

#include <QString>

#include <functional>

namespace palvex::demo {

// The file names the examples use, in the program's folder.
inline const QString TrialBalanceHebrewFile = QStringLiteral("TrialBalance_HEB.bln");
inline const QString TrialBalanceEnglishFile = QStringLiteral("TrialBalance_ENG.bln");
inline const QString StatementFile = QStringLiteral("Statement_ENG.bln");
inline const QString SavedProfitAndLossFile = QStringLiteral("flProfitandLoss.saved");
inline const QString PictureFile = QStringLiteral("OfekLogo.png");

// The example reports. Each one opens the preview (through the host's OpenPreview), records
// its report through the control's automation interface and ends with printLastPage; the
// control's preview does the rest. Data files are read before the preview opens, so a missing
// file (DataFileError) leaves no empty preview behind.
class ExampleReports {
public:
    using OpenPreview = std::function<Automation&()>;

    ExampleReports(DemoSettings& settings, OpenPreview openPreview)
        : m_settings(settings), m_openPreview(std::move(openPreview)) {}

    void trialBalance();
    void gridStepByStep();
    void gridAtOnce();
    void graphics();
    void balanceSheet();
    void profitAndLoss();
    void mixedLanguages();

    // Text positions are twips from the right edge of the page; colours 0x00BBGGRR.
    static constexpr int32_t Red = 0x0000FF;
    static constexpr int32_t Green = 0x008000;
    static constexpr int32_t Blue = 0xFF0000;
    static constexpr int32_t Navy = 0x800000;
    static constexpr int32_t Cyan = 0xFFFF00;
    static constexpr int32_t Magenta = 0xFF00FF;
    static constexpr int32_t Black = 0;
    static constexpr float RowHeight = 1134; // grid rows: 2 cm
    static constexpr float GridColumnWidth = 2268;

    // The amount columns of the statements: digits end at these x, brackets stand outside.
    static constexpr float CurrentYearX = 6500;
    static constexpr float PreviousYearX = 8500;

private:
    Automation& begin();
    void statement(bool balanceSheet);
    // Prints a statement amount: "#,###", or "(#,###)" with the bracket outside the column
    // when `bracketed`, so the digits of both stand under each other.
    void printAmount(int64_t value, float x, bool bracketed);
    void noteLine();

    // Small wrappers over the automation calls the examples repeat.
    void text(const QString& s, int32_t after);
    void textAt(float x, const QString& s, int32_t after);
    void center(const QString& s, int32_t after);
    void specialCenter(float x1, float x2, const QString& s, int32_t after, float y1, float y2);
    void charRun(float start, float end, int16_t code, int32_t after, int32_t placement);
    void line(float x1, float y1, float x2, float y2, int32_t color, int16_t width);
    void font(float size, bool bold, int32_t color);
    float single(const Variant& value) const;

    DemoSettings& m_settings;
    OpenPreview m_openPreview;
    Automation* m_pv = nullptr; // PreviewControl: the control on the open preview form
};

} // namespace palvex::demo
