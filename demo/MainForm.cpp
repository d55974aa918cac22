#include "MainForm.h"

#include "DemoHost.h"
#include "platform/FontCatalog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace palvex::demo {

namespace {

template <size_t N>
QGroupBox* optionGroup(QWidget* parent, const char* name, const QString& title,
                       std::array<QRadioButton*, N>& buttons,
                       const std::array<const char*, N>& captions, size_t chosen) {
    auto* frame = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(frame);
    auto* group = new QButtonGroup(frame);
    for (size_t i = 0; i < N; ++i) {
        buttons[i] = new QRadioButton(QString::fromLatin1(captions[i]), frame);
        buttons[i]->setObjectName(QString::fromLatin1(name));
        buttons[i]->setProperty("index", int(i));
        group->addButton(buttons[i], int(i));
        layout->addWidget(buttons[i]);
    }
    buttons[chosen]->setChecked(true);
    return frame;
}

QPushButton* showMeButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(QStringLiteral("Show me"), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumHeight(36);
    return button;
}

} // namespace

MainForm::MainForm(DemoHost& host) : m_host(host) {
    setObjectName(QStringLiteral("frmMain_RTL"));
    setWindowTitle(QStringLiteral(
        "MainForm - Examples of using Palvex Print Preview control Right To Left direction"));
    setLayoutDirection(Qt::RightToLeft);
    QFont captions(FontCatalog::instance().resolve(QStringLiteral("MS Sans Serif")));
    captions.setPointSizeF(10);
    setFont(captions);

    auto* english = new QWidget(this);
    auto* englishLayout = new QVBoxLayout(english);
    englishLayout->addWidget(optionGroup<8>(
        english, "optChoosePreview", QStringLiteral("English"), optChoosePreview,
        {"Trial Balance", "Draw Grid step by step", "Draw Grid at once", "Draw Graphics",
         "Preview only Balance Sheet", "Preview only Profit and Loss Statement",
         "Preview only Profit and Loss Statement and save it",
         "Preview Balance Sheet and add the formatted print of Profit and Loss which was saved "
         "before"},
        0));
    englishLayout->addWidget(optionGroup<2>(english, "optCenterPages", QString(), optCenterPages,
                                            {"Show as is", "Center all pages"}, 1));
    cmdShow = showMeButton(english, "cmdShow");
    englishLayout->addWidget(cmdShow);
    englishLayout->addStretch();

    auto* hebrew = new QWidget(this);
    auto* hebrewLayout = new QVBoxLayout(hebrew);
    hebrewLayout->addWidget(optionGroup<2>(
        hebrew, "optChoosePreview_HEB", QString::fromUtf8("עברית"), optChoosePreview_HEB,
        {"Trial Balance Hebrew_RightToLeft", "MixedLanguages Hebrew_RightToLeft"}, 0));
    hebrewLayout->addWidget(optionGroup<2>(hebrew, "optCenterPagesHEB", QString(),
                                           optCenterPagesHEB, {"Show as is", "Center all pages"},
                                           1));
    cmdShowTrialBalanceHEB = showMeButton(hebrew, "cmdShowTrialBalanceHEB");
    hebrewLayout->addWidget(cmdShowTrialBalanceHEB);
    hebrewLayout->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(english, 3);
    layout->addWidget(hebrew, 2);

    connect(cmdShow, &QPushButton::clicked, this, &MainForm::cmdShow_Click);
    connect(cmdShowTrialBalanceHEB, &QPushButton::clicked, this,
            &MainForm::cmdShowTrialBalanceHEB_Click);
    // Form_Unload of the preview form: the main form comes back.
    connect(&m_host, &DemoHost::previewUnloaded, this, &QWidget::show);
}

void MainForm::cmdShow_Click() {
    const bool centre = optCenterPages[1]->isChecked();
    hide();
    int chosen = 0;
    for (size_t i = 0; i < optChoosePreview.size(); ++i)
        if (optChoosePreview[i]->isChecked()) chosen = int(i);
    if (!m_host.runEnglish(EnglishChoice(chosen), centre)) show();
}

void MainForm::cmdShowTrialBalanceHEB_Click() {
    hide();
    const bool centre = optCenterPagesHEB[1]->isChecked();
    const auto choice = optChoosePreview_HEB[1]->isChecked() ? HebrewChoice::MixedLanguages
                                                             : HebrewChoice::TrialBalance;
    if (!m_host.runHebrew(choice, centre)) show();
}

void MainForm::centreOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2,
         area.y() + (area.height() - size.height()) / 2);
}

void MainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    centreOnScreen();
}

} // namespace palvex::demo
