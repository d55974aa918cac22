#include "TwipScrollBar.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace palvex {

int scrollRange(double twips) {
    if (!std::isfinite(twips)) return 0;
    return int(std::min(std::round(std::fabs(twips)), double(INT_MAX / 2)));
}

TwipScrollBar::TwipScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

void TwipScrollBar::setRangeTwips(double twips) {
    m_rangeTwips = scrollRange(twips);
    m_twipsPerStep = std::max(1, (m_rangeTwips + MaxSteps - 1) / MaxSteps);
    const int steps = int(std::lround(double(m_rangeTwips) / m_twipsPerStep));
    setMaximum(steps);
    setPageStep(std::max(1, steps / 10));
    setSingleStep(std::max(1, m_singleStepTwips / m_twipsPerStep));
}

void TwipScrollBar::setSingleStepTwips(int twips) {
    m_singleStepTwips = std::max(1, twips);
    setSingleStep(std::max(1, m_singleStepTwips / m_twipsPerStep));
}

int TwipScrollBar::valueTwips() const {
    if (value() >= maximum()) return m_rangeTwips; // the far end, however the steps round
    return std::min(m_rangeTwips, value() * m_twipsPerStep);
}

void TwipScrollBar::setValueTwips(double twips) {
    if (!std::isfinite(twips)) return;
    const double steps = std::round(twips / m_twipsPerStep);
    setValue(int(std::clamp(steps, 0.0, double(maximum()))));
}

} // namespace palvex
