// The members added for host programs: where the report's files live, the page of the next
// report, export without a panel, the preview embedded in a host's layout, and what the host
// hears of the preview.

#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "platform/Printers.h"
#include "preview/Navigation.h"
#include "preview/PageRenderer.h"
#include "preview/PrinterPanel.h"
#include "printing/PdfExport.h"
#include "recording/PropertyRules.h"
#include "texts/HostMessageBoxes.h"

#include <optional>

namespace palvex {

namespace {
// An omitted optional page argument arrives as a null pointer.
std::optional<int32_t> optionalPage(const int32_t* page) {
    return page ? std::optional<int32_t>(*page) : std::nullopt;
}
} // namespace

void PalvexPrivate::connectHostSignals() {
    m_hostBoxes->onMessage = [this](int flags, const QString& text) {
        emit q.messageShown(flags, text);
    };
    m_renderer->onPageShown = [this](int32_t page) { emit q.pageShown(page); };
    QObject::connect(m_navigation, &Navigation::closed, &q, &Palvex::closed);
    QObject::connect(m_printerPanel, &PrinterPanel::printed, &q, &Palvex::printed);
}

Status Palvex::get_WorkingFolder(Out<QString> value) {
    return guarded([&] { value = d->m_workingFolder.path(); });
}

Status Palvex::let_WorkingFolder(const QString& value) {
    return guarded([&] { d->m_workingFolder.set(value); });
}

Status Palvex::get_PaperSize(Out<QString> value) {
    return guarded([&] { value = d->m_report.pageSetup.paperSize(); });
}

Status Palvex::let_PaperSize(const QString& value) {
    return guarded([&] { d->m_report.pageSetup.setPaperSize(value); });
}

Status Palvex::get_CodePage(Out<int32_t> value) {
    value = d->m_report.props.CodePage;
    return Status::Ok;
}

Status Palvex::let_CodePage(int32_t value) {
    // A page iconv does not know, or one of several bytes a character other than UTF-8's, could
    // not hold the report's texts in its fixed fields.
    if (!CodePage::isKnown(value)) return Status::InvalidPropertyValue;
    d->m_report.props.CodePage = value;
    d->m_properties->changed("CodePage");
    return Status::Ok;
}

Status Palvex::get_Orientation(Out<int32_t> value) {
    return guarded([&] { value = d->m_report.pageSetup.orientation(); });
}

Status Palvex::let_Orientation(int32_t value) {
    return guarded([&] { d->m_report.pageSetup.setOrientation(value); });
}

Status Palvex::get_Embedded(Out<bool> value) {
    value = d->m_view.embedded;
    return Status::Ok;
}

Status Palvex::let_Embedded(bool value) {
    d->m_view.embedded = value;
    return Status::Ok;
}

Status Palvex::get_MessagesToHost(Out<bool> value) {
    value = d->m_hostBoxes->toHost;
    return Status::Ok;
}

Status Palvex::let_MessagesToHost(bool value) {
    d->m_hostBoxes->toHost = value;
    return Status::Ok;
}

Status Palvex::get_PageCount(Out<int32_t> value) {
    value = d->reportEnded() ? d->m_report.lastPageIndex + 1 : 0;
    return Status::Ok;
}

Status Palvex::let_PageCount(int32_t) {
    return guarded([&] { d->m_properties->refuseSet(); });
}

Status Palvex::get_LastMessage(Out<QString> value) {
    value = d->m_hostBoxes->lastMessage();
    return Status::Ok;
}

Status Palvex::let_LastMessage(const QString&) {
    return guarded([&] { d->m_properties->refuseSet(); });
}

Status Palvex::ExportPdf(QString Path, const int32_t* FromPage, const int32_t* ToPage) {
    return guarded([&] {
        if (!d->reportEnded()) palvex::raise(Status::BadFileName);
        PdfExport(d->m_report, d->m_view.printZoom(), d->m_store)
            .run(Path, optionalPage(FromPage), optionalPage(ToPage));
    });
}

Status Palvex::PrintReport(const int32_t* FromPage, const int32_t* ToPage, const int16_t* Copies) {
    return guarded([&] {
        if (!d->reportEnded()) palvex::raise(Status::BadFileName);
        Printers& printers = *d->m_platform.printers;
        if (printers.installed().isEmpty()) palvex::raise(Status::PrinterError);
        const int32_t pages =
            PdfExport(d->m_report, d->m_view.printZoom(), d->m_store)
                .print(printers.current(), printers.pdfOutputPath(), optionalPage(FromPage),
                       optionalPage(ToPage), Copies ? *Copies : 1);
        emit printed(pages);
    });
}

void Palvex::reportFileSizeLimitAsDiskFull() {
    Platform::reportFileSizeLimitAsDiskFull();
}

} // namespace palvex
