#include "ControlMessages.h"

#include "platform/MessageBoxes.h"

#include <palvex/Enumerations.h>

namespace palvex {

int ControlMessages::show(int kind, const QString& text) {
    constexpr int Rtl = MessageBoxes::RtlReading | MessageBoxes::RightAlign;
    int flags = 0;
    switch (kind) {
    case K0_Please_write_number_of_copies_1_or_higher:
        flags = Rtl;
        break;
    case K1_Is_the_number_of_copies_OK:
        flags = Rtl | MessageBoxes::YesNo;
        break;
    case K2_Not_found_any_more:
        flags = MessageBoxes::RightAlign | MessageBoxes::Information;
        break;
    case K3_Printer_problem_Please_check_if_a_printer_is_connected_etc:
        flags = Rtl | MessageBoxes::Exclamation;
        break;
    default:
        return 0;
    }
    const int answer = m_boxes.show(text, flags, &m_parent);
    if (kind == K1_Is_the_number_of_copies_OK || kind == K2_Not_found_any_more)
        m_lastAnswer = QString::number(answer);
    return answer;
}

void ControlMessages::problem(const QString& text) {
    m_boxes.show(text,
                 MessageBoxes::RtlReading | MessageBoxes::RightAlign | MessageBoxes::Exclamation,
                 &m_parent);
}

} // namespace palvex
