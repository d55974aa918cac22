#pragma once

#include <QWidget>

#include <array>

class QRadioButton;
class QPushButton;

namespace palvex::demo {

class DemoHost;

// frmMain_RTL: two groups of choices, English and Hebrew, each with its own "Show me" button.
// The form hides while a preview is open and comes back when the preview form unloads.
class MainForm : public QWidget {
    Q_OBJECT

public:
    explicit MainForm(DemoHost& host);

    void cmdShow_Click();
    void cmdShowTrialBalanceHEB_Click();

    // Centres the form on the screen.
    void centreOnScreen();

protected:
    void resizeEvent(QResizeEvent* event) override; // Form_Resize

private:
    DemoHost& m_host;
    std::array<QRadioButton*, 8> optChoosePreview{};
    std::array<QRadioButton*, 2> optCenterPages{};
    std::array<QRadioButton*, 2> optChoosePreview_HEB{};
    std::array<QRadioButton*, 2> optCenterPagesHEB{};
    QPushButton* cmdShow = nullptr;
    QPushButton* cmdShowTrialBalanceHEB = nullptr;
};

} // namespace palvex::demo
