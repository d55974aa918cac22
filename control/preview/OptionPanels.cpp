#include "OptionPanels.h"

#include "PageCentring.h"
#include "PageRenderer.h"
#include "PreviewStartup.h"
#include "PreviewWindow.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include <cmath>

namespace palvex {

OptionPanels::OptionPanels(PreviewState& view, ReportState& report, ReportStore& store,
                           PageRenderer& renderer, PreviewWindow& window, PageCentring& centring)
    : m_view(view), m_report(report), m_store(store), m_renderer(renderer), m_window(window),
      m_centring(centring) {
    QObject::connect(m_window.chkDefaultMargins, &QCheckBox::toggled, m_window.control,
                     m_window.guard.handler([this] { chkDefaultMargins_Click(); }));
    QObject::connect(m_window.cmdOKMarginsSetup, &QPushButton::clicked, m_window.control,
                     m_window.guard.handler([this] { cmdOKMarginsSetup_Click(); }));
    QObject::connect(m_window.cmdCancelMarginsSetup, &QPushButton::clicked, m_window.control,
                     m_window.guard.handler([this] { cmdCancelMarginsSetup_Click(); }));
    QObject::connect(m_window.cmdOKZoomOptions, &QPushButton::clicked, m_window.control,
                     m_window.guard.handler([this] { cmdOKZoomOptions_Click(); }));
    QObject::connect(m_window.cmdCancelZoomOptions, &QPushButton::clicked, m_window.control,
                     m_window.guard.handler([this] { cmdCancelZoomOptions_Click(); }));
}

void OptionPanels::chkDefaultMargins_Click() {
    if (!m_window.chkDefaultMargins->isChecked()) return;
    for (size_t i = 0; i < 4; ++i)
        m_window.cboMargins[i]->setCurrentIndex(marginIndex(m_report.defaultMarginsCm[i]));
}

void OptionPanels::cmdOKMarginsSetup_Click() {
    std::array<int, 4> indexes{};
    for (size_t i = 0; i < 4; ++i) {
        // A list with nothing selected stands for a margin wider than the list goes (set from
        // code): it stays as it is.
        const int chosen = m_window.cboMargins[i]->currentIndex();
        indexes[i] = chosen >= 0 ? chosen : m_view.marginIndexes[i];
    }
    applyMargins(indexes);
    redrawInNewMargins();
}

void OptionPanels::applyMargins(const std::array<int, 4>& indexes) {
    for (size_t i = 0; i < 4; ++i)
        m_view.definitions.DefReals[i] = indexes[i] * 0.01;
    m_store.writeDefinitions(m_view.definitions);
    m_report.hostMarginIndexes.reset();
    takeMargins(indexes);
}

void OptionPanels::useHostMargins(const std::array<int, 4>& indexes) {
    m_report.hostMarginIndexes = indexes;
    takeMargins(indexes);
}

void OptionPanels::takeMargins(const std::array<int, 4>& indexes) {
    std::array<float, 4> twips{};
    for (size_t i = 0; i < 4; ++i) {
        const int index = indexes[i];
        m_view.marginIndexes[i] = index;
        twips[i] = marginTwips(index);
        showMargin(*m_window.cboMargins[i], index);
    }
    m_window.chkDefaultMargins->setChecked(false);
    m_window.fraMarginsSetup->hide();
    // The page-number line follows the bottom margin; the printout uses the line at 100 %.
    m_report.takeMargins({twips[0], twips[1], twips[2], twips[3]});
}

void OptionPanels::redrawInNewMargins() {
    if (m_view.centreAllPages) {
        m_centring.centreEveryPage();
        m_view.zoomListArmed = true;
    } else {
        m_renderer.RenderPage(false);
    }
}

void OptionPanels::cmdCancelMarginsSetup_Click() {
    m_report.revertMargins();
    const std::array<float, 4> saved{m_report.savedMargins.left, m_report.savedMargins.right,
                                     m_report.savedMargins.top, m_report.savedMargins.bottom};
    for (size_t i = 0; i < 4; ++i)
        showMargin(*m_window.cboMargins[i], int(std::lround(saved[i] / TwipsPerCm / 0.01)));
    m_window.chkDefaultMargins->setChecked(false);
    m_window.fraMarginsSetup->hide();
}

void OptionPanels::cmdOKZoomOptions_Click() {
    m_window.fraZoomOptions->hide();
    m_view.definitions.DefFlags[0] = m_window.chkZoomCurrentx->isChecked() ? 1 : 0;
    m_view.definitions.DefFlags[1] = m_window.chkZoomWidth->isChecked() ? 1 : 0;
    m_view.definitions.DefFlags[2] = m_window.chkZoomHeight->isChecked() ? 1 : 0;
    m_store.writeDefinitions(m_view.definitions);
    m_renderer.RenderPage(false);
}

void OptionPanels::cmdCancelZoomOptions_Click() {
    m_window.fraZoomOptions->hide();
}

} // namespace palvex
