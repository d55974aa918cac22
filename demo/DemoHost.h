#pragma once

#include "Automation.h"
#include "DemoSettings.h"
#include "ExampleReports.h"
#include "PreviewForm.h"

#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace palvex::demo {

// The choices of the English group and of the Hebrew group, in the order of their buttons.
enum class EnglishChoice {
    TrialBalance = 0,
    GridStepByStep = 1,
    GridAtOnce = 2,
    Graphics = 3,
    BalanceSheet = 4,
    ProfitAndLoss = 5,
    ProfitAndLossSaved = 6,
    BalanceSheetWithProfitAndLoss = 7,
};
enum class HebrewChoice { TrialBalance = 0, MixedLanguages = 1 };

// What the main form drives: the settings, the preview form with its control (OpenPreview) and
// the example of each choice.
class DemoHost : public QObject {
    Q_OBJECT

public:
    DemoHost(Platform platform, QString programFolder, Automation::Reporter reporter = {});
    ~DemoHost() override;

    DemoSettings& settings() { return m_settings; }
    const Platform& platform() const { return m_platform; }

    // OpenPreview: takes Palvex1 of the preview form (creating the form when there is none),
    // shows the form and starts the control's preview.
    Automation& OpenPreview();
    // The open preview form, or null.
    PreviewForm* previewForm() const { return m_form; }
    // The automation of the open preview form's control, or null.
    Automation* PreviewControl() const { return m_form ? m_automation.get() : nullptr; }

    // Run the example of a choice with the settings given. A data file that cannot be read is
    // reported in a message box; false then, and no preview is open.
    bool runEnglish(EnglishChoice choice, bool centrePages);
    bool runHebrew(HebrewChoice choice, bool centrePages);

signals:
    // The preview form has unloaded.
    void previewUnloaded();

private:
    bool run(void (ExampleReports::*example)());

    Platform m_platform;
    Automation::Reporter m_reporter;
    DemoSettings m_settings;
    ExampleReports m_examples;
    QPointer<PreviewForm> m_form;
    std::unique_ptr<Automation> m_automation;
};

} // namespace palvex::demo
