// The members added for host programs: where the report's files live, the page of the next
// report, and export without a panel.

#include "PalvexPrivate.h"

#include "printing/PdfExport.h"

#include <optional>

namespace palvex {

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

Status Palvex::get_Orientation(Out<int32_t> value) {
    return guarded([&] { value = d->m_report.pageSetup.orientation(); });
}

Status Palvex::let_Orientation(int32_t value) {
    return guarded([&] { d->m_report.pageSetup.setOrientation(value); });
}

Status Palvex::ExportPdf(const QString& Path, int32_t* FromPage, int32_t* ToPage) {
    return guarded([&] {
        // The page index is complete only once printLastPage has ended the report.
        if (!d->m_reportShown || d->m_store.itemCount() == 0) palvex::raise(Status::BadFileName);
        auto page = [](const int32_t* p) { return p ? std::optional<int32_t>(*p) : std::nullopt; };
        PdfExport(d->m_report, d->m_view, d->m_store).run(Path, page(FromPage), page(ToPage));
    });
}

} // namespace palvex
