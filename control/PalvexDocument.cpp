// What the PDFs a report is written to say about themselves: title, author, subject, keywords,
// language and the standards they are written to; and what the items recorded next are, for
// those who read rather than look. Not saved with the form: they describe this session's reports.

#include "PalvexPrivate.h"

#include <QRegularExpression>

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

Status Palvex::get_DocumentLanguage(Out<QString> value) {
    value = d->m_report.document.language;
    return Status::Ok;
}

Status Palvex::let_DocumentLanguage(const QString& value) {
    return d->guard(__func__, [&] {
        // A language, then subtags: "he", "he-IL", "en-US", "zh-Hant-TW".
        static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
        if (!tag.match(value).hasMatch())
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("\"%1\" is not a language tag such as \"he-IL\" or \"en-US\"")
                       .arg(value));
        d->m_report.document.language = value;
    });
}

Status Palvex::get_PdfConformance(Out<QString> value) {
    value = d->m_report.document.conformance();
    return Status::Ok;
}

Status Palvex::let_PdfConformance(const QString& value) {
    return d->guard(__func__, [&] {
        if (!d->m_report.document.setConformance(value))
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("\"%1\" is not \"\" (none), \"PDF/A-2b\", \"PDF/UA-1\" or "
                                  "\"PDF/A-2b+PDF/UA-1\"")
                       .arg(value));
    });
}

Status Palvex::get_ItemRole(Out<int16_t> value) {
    const HostMarks& host = d->m_report.hostMarks;
    switch (host.textRole) {
    case ItemRole::Heading:
        value = int16_t(std::max<int>(1, host.headingLevel));
        break;
    case ItemRole::Decoration:
        value = int16_t(7);
        break;
    default:
        value = int16_t(0);
        break;
    }
    return Status::Ok;
}

Status Palvex::let_ItemRole(int16_t value) {
    return d->guard(__func__, [&] {
        if (value < 0 || value > 7)
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("%1 is not 0 (body text), 1-6 (a heading of that level) or 7 "
                                  "(decoration)")
                       .arg(value));
        HostMarks& host = d->m_report.hostMarks;
        host.textRole = value == 0   ? ItemRole::Body
                        : value == 7 ? ItemRole::Decoration
                                     : ItemRole::Heading;
        host.headingLevel = value >= 1 && value <= 6 ? uint8_t(value) : 0;
    });
}

Status Palvex::get_PictureAltText(Out<QString> value) {
    value = d->m_report.hostMarks.pictureAltText;
    return Status::Ok;
}

Status Palvex::let_PictureAltText(const QString& value) {
    d->m_report.hostMarks.pictureAltText = value;
    return Status::Ok;
}

} // namespace palvex
