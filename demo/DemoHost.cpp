#include "DemoHost.h"

#include "DataFiles.h"
#include "platform/MessageBoxes.h"

namespace palvex::demo {

DemoHost::DemoHost(Platform platform, QString programFolder, Automation::Reporter reporter)
    : m_platform(std::move(platform)), m_reporter(std::move(reporter)),
      m_examples(m_settings, [this]() -> Automation& { return OpenPreview(); }) {
    m_settings.programFolder = std::move(programFolder);
}

DemoHost::~DemoHost() {
    // Unload a preview that is still open, so its control ends as it would on close.
    delete m_form.data();
}

Automation& DemoHost::OpenPreview() {
    if (!m_form) {
        m_form = new PreviewForm(m_platform);
        m_automation = std::make_unique<Automation>(m_form->Palvex1(), m_reporter);
        connect(m_form.data(), &PreviewForm::unloaded, this, &DemoHost::previewUnloaded);
    }
    m_form->show();
    m_automation->call("StartPalvexPrintPreview");
    return *m_automation;
}

bool DemoHost::run(void (ExampleReports::*example)()) {
    bool done = true;
    try {
        (m_examples.*example)();
    } catch (const DataFileError& error) {
        m_platform.messageBoxes->beep();
        m_platform.messageBoxes->show(error.message(), MessageBoxes::Exclamation, nullptr);
        done = false;
    }
    // The pointer is normal again whatever the example left.
    if (m_platform.screen) m_platform.screen->setWaitCursor(false);
    return done;
}

bool DemoHost::runEnglish(EnglishChoice choice, bool centrePages) {
    m_settings.HebrewReport = false;
    m_settings.CentrePages = centrePages;
    switch (choice) {
    case EnglishChoice::TrialBalance:
        return run(&ExampleReports::trialBalance);
    case EnglishChoice::GridStepByStep:
        return run(&ExampleReports::gridStepByStep);
    case EnglishChoice::GridAtOnce:
        return run(&ExampleReports::gridAtOnce);
    case EnglishChoice::Graphics:
        return run(&ExampleReports::graphics);
    case EnglishChoice::BalanceSheet:
        m_settings.BalanceSheetMode = 1;
        return run(&ExampleReports::balanceSheet);
    case EnglishChoice::ProfitAndLoss:
        m_settings.SaveProfitAndLoss = false;
        return run(&ExampleReports::profitAndLoss);
    case EnglishChoice::ProfitAndLossSaved:
        m_settings.SaveProfitAndLoss = true;
        return run(&ExampleReports::profitAndLoss);
    case EnglishChoice::BalanceSheetWithProfitAndLoss:
        m_settings.BalanceSheetMode = 2;
        return run(&ExampleReports::balanceSheet);
    }
    return false;
}

bool DemoHost::runHebrew(HebrewChoice choice, bool centrePages) {
    m_settings.HebrewReport = true;
    m_settings.CentrePages = centrePages;
    return run(choice == HebrewChoice::TrialBalance ? &ExampleReports::trialBalance
                                                    : &ExampleReports::mixedLanguages);
}

} // namespace palvex::demo
