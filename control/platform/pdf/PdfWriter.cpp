#include "PdfWriter.h"

#include "CrossReferenceRows.h"
#include "PdfSyntax.h"

#include <QColorSpace>
#include <QCryptographicHash>
#include <QDateTime>
#include <QIODevice>
#include <QUuid>

#include <libdeflate.h>

#include <algorithm>
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
    m_runs.push_back({uint32_t(id), 1, m_offset, 0, false});
    QByteArray head;
    appendInteger(head, id);
    head.append(" 0 obj\n");
    write(head);
}

void PdfWriter::object(int id, QByteArray body) {
    m_packingBytes += body.size();
    m_packing.push_back({id, std::move(body)});
    if (m_packing.size() >= PackedObjects || m_packingBytes >= PackedBytes) writePacked();
}

void PdfWriter::writePacked() {
    if (m_packing.empty()) return;
    // In order of number, the objects of a page make one run, whatever order they closed in.
    std::sort(m_packing.begin(), m_packing.end(),
              [](const Packed& a, const Packed& b) { return a.id < b.id; });
    const int id = reserve();
    QByteArray offsets, bodies;
    offsets.reserve(qsizetype(m_packing.size()) * 12);
    bodies.reserve(m_packingBytes + qsizetype(m_packing.size()));
    for (size_t i = 0; i < m_packing.size(); ++i) {
        const Packed& object = m_packing[i];
        appendInteger(offsets, object.id);
        offsets.append(' ');
        appendInteger(offsets, bodies.size());
        offsets.append(' ');
        bodies.append(object.body);
        bodies.append('\n');
        Run* last = m_runs.empty() ? nullptr : &m_runs.back();
        if (last && last->packed && last->where == id &&
            last->first + last->count == uint32_t(object.id))
            ++last->count;
        else
            m_runs.push_back({uint32_t(object.id), 1, id, uint32_t(i), true});
    }
    QByteArray entries("/Type /ObjStm /N ");
    appendInteger(entries, qsizetype(m_packing.size()));
    entries.append(" /First ");
    appendInteger(entries, offsets.size());
    m_packing.clear();
    m_packingBytes = 0;
    if (m_deflater)
        m_deflater(id, entries, offsets + bodies);
    else
        stream(id, entries, offsets + bodies);
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

    writePacked();
    writeCrossReference(info);
    return m_ok;
}

void PdfWriter::writeCrossReference(int info) {
    // The stream's own entry is its offset, known before it is written.
    const int id = reserve();
    const qint64 offset = m_offset;
    const uint32_t size = uint32_t(m_nextObject);
    std::sort(m_runs.begin(), m_runs.end(),
              [](const Run& a, const Run& b) { return a.first < b.first; });
    int width = 1; // of the middle field: offsets and object stream numbers
    while (width < 8 && (std::max<qint64>(offset, size) >> (8 * width)) != 0)
        ++width;
    CrossReferenceRows rows(width);
    uint32_t next = 0;
    auto freeTo = [&](uint32_t end) {
        for (; next < end; ++next)
            rows.add(0, 0, 65535); // a number taken but never written
    };
    for (const Run& run : m_runs) {
        freeTo(run.first);
        for (uint32_t i = 0; i < run.count; ++i, ++next)
            if (run.packed)
                rows.add(2, uint64_t(run.where), run.index + i);
            else
                rows.add(1, uint64_t(run.where), 0);
    }
    freeTo(uint32_t(id));
    rows.add(1, uint64_t(offset), 0);
    const QByteArray deflated = rows.finish();
    if (deflated.isEmpty()) m_ok = false;
    std::vector<Run>().swap(m_runs);

    const QByteArray fileId = QCryptographicHash::hash(QUuid::createUuid().toRfc4122() + m_created,
                                                       QCryptographicHash::Md5)
                                  .toHex();
    QByteArray entries("/Type /XRef /Size ");
    appendInteger(entries, size);
    entries.append(" /W [1 ");
    appendInteger(entries, width);
    entries.append(" 2] /Root ");
    appendInteger(entries, m_catalog);
    entries.append(" 0 R /Info ");
    appendInteger(entries, info);
    entries.append(" 0 R /ID [<" + fileId + "> <" + fileId +
                   ">] /DecodeParms << /Predictor 12 /Columns ");
    appendInteger(entries, rows.columns());
    entries.append(" >>");
    deflatedStream(id, entries, deflated);
    QByteArray tail("startxref\n");
    appendInteger(tail, offset);
    tail.append("\n%%EOF\n");
    write(tail);
}

} // namespace palvex::pdf
