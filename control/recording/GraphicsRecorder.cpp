#include "GraphicsRecorder.h"

#include "ControlState.h"
#include "ItemWriter.h"
#include "PrintItem.h"
#include "interface/Status.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxes.h"

namespace palvex {

void GraphicsRecorder::fxPrintingChars(float start, float end, int16_t code, int32_t direction,
                                       int32_t& entr, int32_t& placement) {
    if (placement < 0 || placement > 2) placement = K0_StartAndEndPointAsDefined;
    m_state.pending.charsPlacement = int16_t(placement);
    m_state.run = {start, end, direction};
    if (code > 255) {
        m_boxes.beep();
        const int answer = m_boxes.show(QStringLiteral("ASCII Code should be little than 255\n"
                                                       "You defined ASCII = %1\n"
                                                       "Please contaxt your software supplier to solve this")
                                            .arg(code),
                                        MessageBoxes::Information, nullptr);
        m_state.lastAnswer = QString::number(answer);
        return;
    }
    if (code < 0) raise(Status::InvalidProcedureCall); // not a character code
    QString text(m_codePage.charOf(static_cast<unsigned char>(code)));
    entr = entr == 1 ? KindChars : KindCharsNewLine;
    m_state.pending.kind = int16_t(entr);
    m_writer.WriteItem(text);
}

} // namespace palvex
