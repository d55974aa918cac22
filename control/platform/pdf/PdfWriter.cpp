#include "PdfWriter.h"

#include "PdfSyntax.h"

#include <QColorSpace>
#include <QCryptographicHash>
#include <QDateTime>
#include <QIODevice>
#include <QUuid>

#include <libdeflate.h>

#include <memory>

#ifndef PALVEX_VERSION
#define PALVEX_VERSION "0.0.0"
#endif

namespace palvex::pdf {

namespace {

QByteArray xmlEscaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

const char* const accessibilitySchema =
    "<rdf:Description rdf:about=\"\"\n"
    " xmlns:pdfaExtension=\"http://www.aiim.org/pdfa/ns/extension/\"\n"
    " xmlns:pdfaSchema=\"http://www.aiim.org/pdfa/ns/schema#\"\n"
    " xmlns:pdfaProperty=\"http://www.aiim.org/pdfa/ns/property#\">\n"
    "<pdfaExtension:schemas><rdf:Bag><rdf:li rdf:parseType=\"Resource\">\n"
    "<pdfaSchema:schema>PDF/UA Universal Accessibility Schema</pdfaSchema:schema>\n"
    "<pdfaSchema:namespaceURI>http://www.aiim.org/pdfua/ns/id/</pdfaSchema:namespaceURI>\n"
    "<pdfaSchema:prefix>pdfuaid</pdfaSchema:prefix>\n"
    "<pdfaSchema:property><rdf:Seq><rdf:li rdf:parseType=\"Resource\">\n"
    "<pdfaProperty:name>part</pdfaProperty:name>\n"
    "<pdfaProperty:valueType>Integer</pdfaProperty:valueType>\n"
    "<pdfaProperty:category>internal</pdfaProperty:category>\n"
    "<pdfaProperty:description>The accessibility conformance the document "
    "claims</pdfaProperty:description>\n"
    "</rdf:li></rdf:Seq></pdfaSchema:property>\n"
    "</rdf:li></rdf:Bag></pdfaExtension:schemas>\n"
    "</rdf:Description>\n";

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

} // namespace

PdfWriter::PdfWriter(QIODevice& out, DocumentProperties properties)
    : m_out(out), m_properties(std::move(properties)) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_created = "D:" + now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z";
    m_createdXmp = now.toString(Qt::ISODate).toLatin1();
    m_catalog = reserve();
    m_pageTree = reserve();
    m_resources = reserve();
    // The binary comment tells transfer programs the file is not text.
    write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

QByteArray PdfWriter::compress(const QByteArray& data) {
    // Level 5 of libdeflate compresses about as tightly as zlib's default, several times faster.
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(5));
    if (!compressor) return {};
    QByteArray out(qsizetype(libdeflate_zlib_compress_bound(compressor.get(), data.size())),
                   Qt::Uninitialized);
    const size_t size = libdeflate_zlib_compress(compressor.get(), data.constData(), data.size(),
                                                 out.data(), out.size());
    if (size == 0) return {};
    out.truncate(qsizetype(size));
    return out;
}

void PdfWriter::write(const char* data, qint64 size) {
    if (!m_ok) return;
    if (m_out.write(data, size) != size) {
        m_ok = false;
        return;
    }
    m_offset += size;
}

void PdfWriter::beginObject(int id) {
    if (id >= int(m_offsets.size())) m_offsets.resize(id + 1, 0);
    m_offsets[id] = m_offset;
    QByteArray head;
    appendInteger(head, id);
    head.append(" 0 obj\n");
    write(head);
}

void PdfWriter::object(int id, const QByteArray& body) {
    beginObject(id);
    write(body);
    write("\nendobj\n");
}

void PdfWriter::stream(int id, const QByteArray& entries, const QByteArray& data, bool compress) {
    if (!compress) {
        streamObject(id, entries, data);
        return;
    }
    const QByteArray deflated = PdfWriter::compress(data);
    if (deflated.isEmpty() && !data.isEmpty()) m_ok = false;
    deflatedStream(id, entries, deflated);
}

void PdfWriter::deflatedStream(int id, const QByteArray& entries, const QByteArray& deflated) {
    streamObject(id, "/Filter /FlateDecode " + entries, deflated);
}

void PdfWriter::streamObject(int id, const QByteArray& entries, const QByteArray& data) {
    beginObject(id);
    QByteArray head("<< /Length ");
    appendInteger(head, data.size());
    write(head + ' ' + entries + " >>\nstream\n");
    write(data);
    write("\nendstream\nendobj\n");
}

bool PdfWriter::page(double widthPt, double heightPt, int contentsId, int id,
                     const QByteArray& entries) {
    QByteArray body("<< /Type /Page /Parent ");
    appendInteger(body, m_pageTree);
    body.append(" 0 R /MediaBox [0 0 ");
    appendNumber(body, widthPt);
    body.append(' ');
    appendNumber(body, heightPt);
    body.append("] /Resources ");
    appendInteger(body, m_resources);
    body.append(" 0 R /Contents ");
    appendInteger(body, contentsId);
    body.append(" 0 R");
    object(id, body + entries + " >>");
    m_pages.push_back(id);
    return m_ok;
}

QByteArray PdfWriter::information() const {
    QByteArray info("<< /Producer ");
    info += textString(QStringLiteral("Palvex " PALVEX_VERSION));
    info += " /CreationDate (" + m_created + ") /ModDate (" + m_created + ")";
    const std::pair<const char*, const QString*> entries[] = {{"Title", &m_properties.title},
                                                              {"Author", &m_properties.author},
                                                              {"Subject", &m_properties.subject},
                                                              {"Keywords", &m_properties.keywords}};
    for (const auto& [key, value] : entries)
        if (!value->isEmpty()) info += " /" + QByteArray(key) + ' ' + textString(*value);
    return info + " >>";
}

QByteArray PdfWriter::xmpMetadata() const {
    QByteArray xmp = "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                     "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                     "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                     "<rdf:Description rdf:about=\"\"\n"
                     " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
                     " xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
                     " xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"";
    if (m_properties.archive) xmp += "\n xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\"";
    if (m_properties.accessible) xmp += "\n xmlns:pdfuaid=\"http://www.aiim.org/pdfua/ns/id/\"";
    xmp += ">\n";
    xmp += "<pdf:Producer>Palvex " PALVEX_VERSION "</pdf:Producer>\n";
    xmp += "<xmp:CreateDate>" + m_createdXmp + "</xmp:CreateDate>\n";
    xmp += "<xmp:ModifyDate>" + m_createdXmp + "</xmp:ModifyDate>\n";
    const auto& p = m_properties;
    if (!p.title.isEmpty())
        xmp += "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" + xmlEscaped(p.title) +
               "</rdf:li></rdf:Alt></dc:title>\n";
    if (!p.author.isEmpty())
        xmp += "<dc:creator><rdf:Seq><rdf:li>" + xmlEscaped(p.author) +
               "</rdf:li></rdf:Seq></dc:creator>\n";
    if (!p.subject.isEmpty())
        xmp += "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + xmlEscaped(p.subject) +
               "</rdf:li></rdf:Alt></dc:description>\n";
    if (!p.keywords.isEmpty())
        xmp += "<pdf:Keywords>" + xmlEscaped(p.keywords) + "</pdf:Keywords>\n";
    if (p.archive)
        xmp += "<pdfaid:part>2</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n";
    if (p.accessible) xmp += "<pdfuaid:part>1</pdfuaid:part>\n";
    xmp += "</rdf:Description>\n";
    // An archive names the schema of every property outside the ones it knows.
    if (p.archive && p.accessible) xmp += accessibilitySchema;
    xmp += "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
    return xmp;
}

QByteArray PdfWriter::catalog(int metadata, int structure) {
    QByteArray catalog("<< /Type /Catalog /Pages ");
    appendInteger(catalog, m_pageTree);
    catalog.append(" 0 R /Metadata ");
    appendInteger(catalog, metadata);
    catalog.append(" 0 R");
    if (structure >= 0) {
        catalog.append(" /MarkInfo << /Marked true >> /StructTreeRoot ");
        appendInteger(catalog, structure);
        catalog.append(" 0 R");
    }
    if (!m_properties.language.isEmpty())
        catalog.append(" /Lang " + textString(m_properties.language));
    // A reader's window shows the title rather than the file's name.
    if (m_properties.accessible) catalog.append(" /ViewerPreferences << /DisplayDocTitle true >>");
    if (m_properties.archive) {
        catalog.append(" /OutputIntents [");
        appendInteger(catalog, outputIntent());
        catalog.append(" 0 R]");
    }
    return catalog + " >>";
}

int PdfWriter::outputIntent() {
    const int profile = reserve();
    stream(profile, "/N 3", QColorSpace(QColorSpace::SRgb).iccProfile());
    const int intent = reserve();
    QByteArray body("<< /Type /OutputIntent /S /GTS_PDFA1 /OutputConditionIdentifier (sRGB) "
                    "/Info (sRGB IEC61966-2.1) /DestOutputProfile ");
    appendInteger(body, profile);
    object(intent, body + " 0 R >>");
    return intent;
}

bool PdfWriter::finish(const QByteArray& resources, int structure) {
    object(m_resources, resources);

    QByteArray tree("<< /Type /Pages /Count ");
    appendInteger(tree, qsizetype(m_pages.size()));
    tree.append(" /Kids [");
    tree.reserve(tree.size() + qsizetype(m_pages.size()) * 10);
    for (int id : m_pages) {
        appendInteger(tree, id);
        tree.append(" 0 R ");
    }
    object(m_pageTree, tree + "] >>");

    const int info = reserve();
    object(info, information());
    const int metadata = reserve();
    // Metadata stays unfiltered, so archive validators and search tools read it as it is.
    stream(metadata, "/Type /Metadata /Subtype /XML", xmpMetadata(), false);

    object(m_catalog, catalog(metadata, structure));

    const qint64 xref = m_offset;
    QByteArray table("xref\n0 ");
    appendInteger(table, qsizetype(m_offsets.size()));
    table.append("\n0000000000 65535 f \n");
    for (size_t id = 1; id < m_offsets.size(); ++id) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010lld %05d %c \n", (long long)m_offsets[id],
                      m_offsets[id] ? 0 : 65535, m_offsets[id] ? 'n' : 'f');
        table.append(entry, 20);
    }
    const QByteArray id = QCryptographicHash::hash(QUuid::createUuid().toRfc4122() + m_created,
                                                   QCryptographicHash::Md5)
                              .toHex();
    table.append("trailer\n<< /Size ");
    appendInteger(table, qsizetype(m_offsets.size()));
    table.append(" /Root ");
    appendInteger(table, m_catalog);
    table.append(" 0 R /Info ");
    appendInteger(table, info);
    table.append(" 0 R /ID [<" + id + "> <" + id + ">] >>\nstartxref\n");
    appendInteger(table, xref);
    table.append("\n%%EOF\n");
    write(table);
    return m_ok;
}

} // namespace palvex::pdf
