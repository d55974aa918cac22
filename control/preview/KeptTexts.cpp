#include "KeptTexts.h"

#include "preview/PreviewState.h"

#include <QComboBox>

namespace palvex {

namespace {

void keep(QString& target, const std::optional<QString>& text) {
    if (text) target = *text;
}

template <size_t N>
void keepEntries(QComboBox* list, const std::array<std::optional<QString>, N>& entries) {
    for (size_t i = 0; i < N && int(i) < list->count(); ++i)
        if (entries[i]) list->setItemText(int(i), *entries[i]);
}

} // namespace

void KeptTexts::applyTo(PreviewState& state, QComboBox* quality, QComboBox* printZoom) const {
    keep(state.pageCaption, pageCaption);
    keep(state.formattingCaption, formattingCaption);
    keep(state.centringWaitMessage, centringWaitMessage);
    for (size_t i = 0; i < messages.size(); ++i)
        keep(state.previewMessages[messages.key(i)], messages[messages.key(i)]);
    keepEntries(quality, qualityEntries);
    keepEntries(printZoom, printZoomEntries);
}

} // namespace palvex
