// What the PDFs a report is written to say about themselves: title, author, subject, keywords,
// and whether they are archives. Not saved with the form: they describe the documents of this
// session's reports.

#include "PalvexPrivate.h"

namespace palvex {

Status Palvex::get_DocumentTitle(Out<QString> value) {
    value = d->m_report.document.title;
    return Status::Ok;
}

Status Palvex::let_DocumentTitle(const QString& value) {
    d->m_report.document.title = value;
    return Status::Ok;
}

Status Palvex::get_DocumentAuthor(Out<QString> value) {
    value = d->m_report.document.author;
    return Status::Ok;
}

Status Palvex::let_DocumentAuthor(const QString& value) {
    d->m_report.document.author = value;
    return Status::Ok;
}

Status Palvex::get_DocumentSubject(Out<QString> value) {
    value = d->m_report.document.subject;
    return Status::Ok;
}

Status Palvex::let_DocumentSubject(const QString& value) {
    d->m_report.document.subject = value;
    return Status::Ok;
}

Status Palvex::get_DocumentKeywords(Out<QString> value) {
    value = d->m_report.document.keywords;
    return Status::Ok;
}

Status Palvex::let_DocumentKeywords(const QString& value) {
    d->m_report.document.keywords = value;
    return Status::Ok;
}

Status Palvex::get_PdfArchive(Out<bool> value) {
    value = d->m_report.document.archive;
    return Status::Ok;
}

Status Palvex::let_PdfArchive(bool value) {
    d->m_report.document.archive = value;
    return Status::Ok;
}

} // namespace palvex
