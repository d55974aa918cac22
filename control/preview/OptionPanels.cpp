#include "OptionPanels.h"

#include "ControlState.h"
#include "PageCentring.h"
#include "PageRenderer.h"
#include "PreviewStartup.h"
#include "PreviewWindow.h"
#include "recording/ReportStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include <cmath>

namespace palvex {

OptionPanels::OptionPanels(ControlState& state, ReportStore& store, PageRenderer& renderer,
                           PreviewWindow& window, PageCentring& centring)
    : m_state(state), m_store(store), m_renderer(renderer), m_window(window), m_centring(centring) {
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
        m_window.cboMargins[i]->setCurrentIndex(marginIndex(m_state.defaultMarginsCm[i]));
}

void OptionPanels::cmdOKMarginsSetup_Click() {
    std::array<float, 4> twips{};
    for (size_t i = 0; i < 4; ++i) {
        const int index = std::max(0, m_window.cboMargins[i]->currentIndex());
        m_state.definitions.DefReals[i] = index * 0.01;
        m_state.marginIndexes[i] = index;
        twips[i] = marginTwips(index);
    }
    m_state.margins = {twips[0], twips[1], twips[2], twips[3]};
    m_window.chkDefaultMargins->setChecked(false);
    m_store.writeDefinitions(m_state.definitions);
    m_window.fraMarginsSetup->hide();
    // The page-number line follows the bottom margin. The line at 100 % moves: a zoomed page
    // draws its own line from it, and the printout uses it.
    if (m_state.margins.bottom != m_state.savedMargins.bottom) {
        const float moved = m_state.savedCurrentYofPageNumber + m_state.savedMargins.bottom -
                            m_state.margins.bottom;
        m_state.props.currentYofPageNumber = moved;
        m_state.breakLimit = moved - BreakDistance;
        m_state.savedCurrentYofPageNumber = moved;
        m_state.savedBreakLimit = m_state.breakLimit;
    }
    m_state.savedMargins = m_state.margins;
    if (m_state.centreAllPages) {
        m_centring.centreEveryPage();
        m_state.zoomListArmed = true;
    } else {
        m_renderer.RenderPage(false);
    }
}

void OptionPanels::cmdCancelMarginsSetup_Click() {
    m_state.margins = m_state.savedMargins;
    const std::array<float, 4> saved{m_state.savedMargins.left, m_state.savedMargins.right,
                                     m_state.savedMargins.top, m_state.savedMargins.bottom};
    for (size_t i = 0; i < 4; ++i)
        m_window.cboMargins[i]->setCurrentIndex(int(std::lround(saved[i] / TwipsPerCm / 0.01)));
    m_window.chkDefaultMargins->setChecked(false);
    m_window.fraMarginsSetup->hide();
}

void OptionPanels::cmdOKZoomOptions_Click() {
    m_window.fraZoomOptions->hide();
    m_state.definitions.DefFlags[0] = m_window.chkZoomCurrentx->isChecked() ? 1 : 0;
    m_state.definitions.DefFlags[1] = m_window.chkZoomWidth->isChecked() ? 1 : 0;
    m_state.definitions.DefFlags[2] = m_window.chkZoomHeight->isChecked() ? 1 : 0;
    m_store.writeDefinitions(m_state.definitions);
    m_renderer.RenderPage(false);
}

void OptionPanels::cmdCancelZoomOptions_Click() {
    m_window.fraZoomOptions->hide();
}

} // namespace palvex
