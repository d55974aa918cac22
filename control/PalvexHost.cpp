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
#include "printing/SpreadsheetExport.h"
#include "recording/PropertyRules.h"
#include "texts/HostMessageBoxes.h"

#include <optional>

namespace palvex {

namespace {
// An omitted optional page argument arrives as a null pointer.
std::optional<int32_t> optionalPage(const int32_t* page) {
    return page ? std::optional<int32_t>(*page) : std::nullopt;
}

// Export and printing take the report as printLastPage left it.
[[noreturn]] void refuseBeforeReportEnds(const PalvexPrivate& d) {
    refuse(Status::BadFileName,
           d.reportOpen() ? QStringLiteral("the report is still open; call printLastPage first")
                          : QStringLiteral("there is no report; call StartPalvexPrintPreview, "
                                           "record the report and call printLastPage first"));
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
    return d->guard(__func__, [&] { value = d->m_workingFolder.path(); });
}

Status Palvex::let_WorkingFolder(const QString& value) {
    return d->guard(__func__, [&] { d->m_workingFolder.set(value); });
}

Status Palvex::get_PaperSize(Out<QString> value) {
    return d->guard(__func__, [&] { value = d->m_report.pageSetup.paperSize(); });
}

Status Palvex::let_PaperSize(const QString& value) {
    return d->guard(__func__, [&] { d->m_report.pageSetup.setPaperSize(value); });
}

Status Palvex::get_CodePage(Out<int32_t> value) {
    value = d->m_report.props.CodePage;
    return Status::Ok;
}

Status Palvex::let_CodePage(int32_t value) {
    // A page iconv does not know, or one of several bytes a character other than UTF-8's, could
    // not hold the report's texts in its fixed fields.
    return d->guard(__func__, [&] {
        if (!CodePage::isKnown(value))
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("code page %1 is not one this system converts, or not one of "
                                  "one byte a character; 65001 is UTF-8")
                       .arg(value));
        d->m_report.props.CodePage = value;
        d->m_properties->changed("CodePage");
    });
}

Status Palvex::get_Orientation(Out<int32_t> value) {
    return d->guard(__func__, [&] { value = d->m_report.pageSetup.orientation(); });
}

Status Palvex::let_Orientation(int32_t value) {
    return d->guard(__func__, [&] { d->m_report.pageSetup.setOrientation(value); });
}

Status Palvex::get_Embedded(Out<bool> value) {
    value = d->m_view.embedded;
    return Status::Ok;
}

Status Palvex::let_Embedded(bool value) {
    d->m_view.embedded = value;
    return Status::Ok;
}

Status Palvex::get_ShowThumbnails(Out<bool> value) {
    value = d->m_view.thumbnailsAtStart;
    return Status::Ok;
}

Status Palvex::let_ShowThumbnails(bool value) {
    d->m_view.thumbnailsAtStart = value;
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
    return d->guard(__func__, [&] { d->m_properties->refuseSet(); });
}

Status Palvex::get_LastMessage(Out<QString> value) {
    value = d->m_hostBoxes->lastMessage();
    return Status::Ok;
}

Status Palvex::let_LastMessage(const QString&) {
    return d->guard(__func__, [&] { d->m_properties->refuseSet(); });
}

Status Palvex::ExportPdf(QString Path, const int32_t* FromPage, const int32_t* ToPage) {
    return d->guard(__func__, [&] {
        if (!d->reportEnded()) refuseBeforeReportEnds(*d);
        PdfExport(d->m_report, d->m_view.printZoom(), d->m_store)
            .run(Path, optionalPage(FromPage), optionalPage(ToPage));
    });
}

Status Palvex::ExportXlsx(QString Path) {
    return d->guard(__func__, [&] {
        if (!d->reportEnded()) refuseBeforeReportEnds(*d);
        exportSpreadsheet(d->m_store, Path, SpreadsheetFormat::Xlsx);
    });
}

Status Palvex::ExportCsv(QString Path) {
    return d->guard(__func__, [&] {
        if (!d->reportEnded()) refuseBeforeReportEnds(*d);
        exportSpreadsheet(d->m_store, Path, SpreadsheetFormat::Csv);
    });
}

Status Palvex::PrintReport(const int32_t* FromPage, const int32_t* ToPage, const int16_t* Copies) {
    return d->guard(__func__, [&] {
        if (!d->reportEnded()) refuseBeforeReportEnds(*d);
        Printers& printers = *d->m_platform.printers;
        if (printers.installed().isEmpty())
            refuse(Status::PrinterError, QStringLiteral("no printer is installed"));
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
