// The members added for host programs: where the report's files live, export without a panel,
// the preview embedded in a host's layout, and what the host hears of the preview.

#include "Palvex.h"

#include "preview/Navigation.h"
#include "preview/PageRenderer.h"
#include "printing/PdfExport.h"
#include "printing/PrinterPanel.h"
#include "recording/PropertyRules.h"
#include "texts/HostMessageBoxes.h"

#include <optional>

namespace palvex {

void Palvex::connectHostSignals() {
    m_hostBoxes->onMessage = [this](int flags, const QString& text) {
        emit messageShown(flags, text);
    };
    m_renderer->onPageShown = [this](int32_t page) { emit pageShown(page); };
    connect(m_navigation, &Navigation::closed, this, &Palvex::closed);
    connect(m_printerPanel, &PrinterPanel::printed, this, &Palvex::printed);
}

Status Palvex::get_WorkingFolder(Out<QString> value) {
    return boundary([&] { value = m_workingFolder.path(); });
}

Status Palvex::let_WorkingFolder(const QString& value) {
    return boundary([&] { m_workingFolder.set(value); });
}

Status Palvex::get_Embedded(Out<bool> value) {
    value = m_state.embedded;
    return Status::Ok;
}

Status Palvex::let_Embedded(bool value) {
    m_state.embedded = value;
    return Status::Ok;
}

Status Palvex::get_MessagesToHost(Out<bool> value) {
    value = m_hostBoxes->toHost;
    return Status::Ok;
}

Status Palvex::let_MessagesToHost(bool value) {
    m_hostBoxes->toHost = value;
    return Status::Ok;
}

Status Palvex::get_PageCount(Out<int32_t> value) {
    // Close forgets the report's items, so a closed preview shows no pages either.
    value = m_reportShown && m_store.itemCount() > 0 ? m_state.lastPageIndex + 1 : 0;
    return Status::Ok;
}

Status Palvex::let_PageCount(int32_t) {
    return boundary([&] { m_properties->refuseSet(); });
}

Status Palvex::get_LastMessage(Out<QString> value) {
    value = m_hostBoxes->lastMessage();
    return Status::Ok;
}

Status Palvex::let_LastMessage(const QString&) {
    return boundary([&] { m_properties->refuseSet(); });
}

Status Palvex::ExportPdf(const QString& Path, int32_t* FromPage, int32_t* ToPage) {
    return boundary([&] {
        // The page index is complete only once printLastPage has ended the report.
        if (!m_reportShown || m_store.itemCount() == 0) palvex::raise(Status::BadFileName);
        auto page = [](const int32_t* p) { return p ? std::optional<int32_t>(*p) : std::nullopt; };
        PdfExport(m_state, m_store).run(Path, page(FromPage), page(ToPage));
    });
}

} // namespace palvex
