#pragma once

#include <QScrollBar>

namespace palvex {

// HScroll and VScroll: a scroll bar over a range of twips. The bar's maximum keeps to 16 bits, as
// hosts and scripts see it; a range beyond 32767 twips makes every step of the bar cover more
// than one twip instead of cutting the range short, so every part of a large page stays
// reachable.
class TwipScrollBar : public QScrollBar {
    Q_OBJECT

public:
    static constexpr int MaxSteps = 32767;

    TwipScrollBar(Qt::Orientation orientation, QWidget* parent);

    // The range in twips (its absolute value, rounded; not-a-number counts as 0). The large
    // change is a tenth of it.
    void setRangeTwips(double twips);
    int rangeTwips() const { return m_rangeTwips; }
    int twipsPerStep() const { return m_twipsPerStep; }
    // The small change, in twips.
    void setSingleStepTwips(int twips);

    int valueTwips() const;
    void setValueTwips(double twips);

private:
    int m_rangeTwips = 0;
    int m_twipsPerStep = 1;
    int m_singleStepTwips = 1;
};

// A scroll range in whole twips: the rounded distance between a canvas and its viewport.
int scrollRange(double twips);

} // namespace palvex
