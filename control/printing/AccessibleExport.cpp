#include "AccessibleExport.h"

#include "core/Guarded.h"
#include "recording/ReportState.h"

namespace palvex {

void refuseUnlessAccessible(const ReportState& report) {
    if (!report.document.accessible) return;
    if (report.document.title.trimmed().isEmpty())
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("a PDF/UA-1 document needs a title, which readers show in place of "
                              "the file name; set DocumentTitle first"));
    if (report.pictureWithoutAltTextPage != 0)
        refuse(Status::InvalidProcedureCall,
               QStringLiteral("the picture on page %1 has no alternative text, which a PDF/UA-1 "
                              "document needs; set PictureAltText before printPicture")
                   .arg(report.pictureWithoutAltTextPage));
}

} // namespace palvex
