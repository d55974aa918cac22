// What the PDFs a report is written to say about themselves: title, author, subject, keywords,
// and whether they are archives.

#include "PalvexPrivate.h"

namespace palvex {

namespace {

// Not saved with the form: they describe the documents of this session's reports.
Status keep(PalvexPrivate& d, QString pdf::DocumentProperties::*field, const QString& value) {
    d.m_report.document.*field = value;
    return Status::Ok;
}

} // namespace

Status Palvex::get_DocumentTitle(Out<QString> value) {
    value = d->m_report.document.title;
    return Status::Ok;
}

Status Palvex::let_DocumentTitle(const QString& value) {
    return keep(*d, &pdf::DocumentProperties::title, value);
}

Status Palvex::get_DocumentAuthor(Out<QString> value) {
    value = d->m_report.document.author;
    return Status::Ok;
}

Status Palvex::let_DocumentAuthor(const QString& value) {
    return keep(*d, &pdf::DocumentProperties::author, value);
}

Status Palvex::get_DocumentSubject(Out<QString> value) {
    value = d->m_report.document.subject;
    return Status::Ok;
}

Status Palvex::let_DocumentSubject(const QString& value) {
    return keep(*d, &pdf::DocumentProperties::subject, value);
}

Status Palvex::get_DocumentKeywords(Out<QString> value) {
    value = d->m_report.document.keywords;
    return Status::Ok;
}

Status Palvex::let_DocumentKeywords(const QString& value) {
    return keep(*d, &pdf::DocumentProperties::keywords, value);
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
