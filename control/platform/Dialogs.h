#pragma once

#include "core/InternalExport.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <optional>

class QWidget;

namespace palvex {

// What the printer set-up dialog shows and answers: the paper in twips as a sheet standing
// upright (0 x 0 for the printer's own), the orientation (0 the printer's, 1 portrait,
// 2 landscape), and QPrinter's duplex mode and paper source (-1 for the printer's own).
struct PrinterSetupChoice {
    float paperWidth = 0, paperHeight = 0;
    int32_t orientation = 0;
    int duplex = -1;
    int paperSource = -1;
};

// Where the preview's Export writes the report, and as what.
enum class ExportKind { Pdf, Xlsx, Csv };
struct ExportTarget {
    QString path;
    ExportKind kind = ExportKind::Pdf;
};
// The kind a file's name ends in (".pdf", ".xlsx", ".csv", in any case), or nothing.
PALVEX_INTERNAL_EXPORT std::optional<ExportKind> exportKindOf(const QString& path);

// The platform's dialogs the control opens: the colour dialog (and, for printing, the printer
// set-up dialog and the export's file dialog).
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen colour (0x00BBGGRR), or nothing when the user cancels.
    virtual std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) = 0;
    // The printer set-up dialog for the named printer, opened on `current`; the user's choices,
    // or nothing when cancelled.
    virtual std::optional<PrinterSetupChoice> printerSetup(const QString& printerName,
                                                           const PrinterSetupChoice& current,
                                                           QWidget* parent) = 0;
    // The file to export to and its kind (PDF, Excel or CSV, offered in that order, the name
    // given its kind's ending when it has none), or nothing when cancelled.
    virtual std::optional<ExportTarget> exportTarget(const QString& suggestedName,
                                                     QWidget* parent) = 0;
};

class QtDialogs final : public Dialogs {
public:
    std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) override;
    std::optional<PrinterSetupChoice> printerSetup(const QString& printerName,
                                                   const PrinterSetupChoice& current,
                                                   QWidget* parent) override;
    std::optional<ExportTarget> exportTarget(const QString& suggestedName,
                                             QWidget* parent) override;
};

// Headless: answers from a queue; a dialog without a queued answer is cancelled.
class PALVEX_INTERNAL_EXPORT ScriptedDialogs final : public Dialogs {
public:
    void queueColor(std::optional<int32_t> answer) { m_colors.push_back(answer); }
    std::optional<int32_t> chooseColor(int32_t initial, QWidget* parent) override;
    // OK leaving the dialog's choices as it opened with them, or Cancel.
    void queueSetup(bool ok) { m_setups.push_back({ok, std::nullopt}); }
    // OK after choosing `choice`.
    void queueSetup(const PrinterSetupChoice& choice) { m_setups.push_back({true, choice}); }
    std::optional<PrinterSetupChoice> printerSetup(const QString& printerName,
                                                   const PrinterSetupChoice& current,
                                                   QWidget* parent) override;
    void queueExport(std::optional<ExportTarget> answer) { m_exports.push_back(answer); }
    std::optional<ExportTarget> exportTarget(const QString& suggestedName,
                                             QWidget* parent) override;

private:
    struct SetupAnswer {
        bool ok = false;
        std::optional<PrinterSetupChoice> choice;
    };
    std::deque<std::optional<int32_t>> m_colors;
    std::deque<SetupAnswer> m_setups;
    std::deque<std::optional<ExportTarget>> m_exports;
};

// Keyboard layouts by their identifiers ("00000409" US English, "0000040D" Hebrew). Without a
// way to switch the system's layout the request is remembered; callers keep their own flag.
class KeyboardLayouts {
public:
    virtual ~KeyboardLayouts() = default;
    virtual void activate(const QString& layoutId) { m_active = layoutId; }
    QString active() const { return m_active; }

private:
    QString m_active;
};

} // namespace palvex
