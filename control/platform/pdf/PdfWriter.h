#pragma once

#include "core/DocumentProperties.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

namespace palvex::pdf {

// The file layer of the PDF device: numbered objects, streams compressed with deflate, pages
// under one page tree, and the closing parts (document information, XMP metadata, the output
// intent an archive needs, the cross-reference stream). Objects that are not streams (pages,
// structure elements, fonts' dictionaries) are gathered into deflated object streams: a tagged
// page has hundreds of small elements, which written one by one would make most of the file.
// Where each object is stays in memory as runs of consecutive numbers, a few per page rather
// than one entry per object, so memory stays flat however long the document. Every write is
// checked; the first failure is kept and everything after it is skipped, so finish() reports it.
class PdfWriter {
public:
    PdfWriter(QIODevice& out, DocumentProperties properties);

    bool ok() const { return m_ok; }

    // A new object number, written later with object() or stream().
    int reserve() { return m_nextObject++; }
    // An object that is not a stream; it goes into the next object stream.
    void object(int id, QByteArray body);
    // An object too large to hold whole (the structure of a long document): written straight
    // to the file in pieces between beginLargeObject and endLargeObject, with nothing else
    // written between them.
    void beginLargeObject(int id) { beginObject(id); }
    void appendLargeObject(const QByteArray& piece) { write(piece); }
    void endLargeObject() { write("\nendobj\n"); }
    // A stream object; `entries` are extra dictionary entries ("/Subtype /Image ...").
    void stream(int id, const QByteArray& entries, const QByteArray& data, bool compress = true);
    // A stream whose data was already deflated (by compress(), possibly on another thread).
    void deflatedStream(int id, const QByteArray& entries, const QByteArray& deflated);
    // Where object streams go to be deflated, each to come back to deflatedStream(); without
    // one they are deflated and written at once.
    using Deflater = std::function<void(int id, QByteArray entries, QByteArray data)>;
    void setDeflater(Deflater deflater) { m_deflater = std::move(deflater); }

    // Page `pageId` (reserved) of `widthPt` × `heightPt` points whose content is object
    // `contentsId`, drawn with the shared resources; `entries` end its dictionary. Returns false
    // when the page cannot be written.
    bool page(double widthPt, double heightPt, int contentsId, int pageId,
              const QByteArray& entries = {});
    int resourcesId() const { return m_resources; }
    int pageCount() const { return int(m_pages.size()); }

    // Writes the page tree, the shared resources (`resources`, a dictionary), the document's
    // information and metadata, the catalog (marked as tagged, with the structure tree root
    // `structure`, when there is one) and the cross-reference stream.
    bool finish(const QByteArray& resources, int structure = -1);

    // Deflate in the zlib format PDF's FlateDecode reads. Safe on any thread.
    static QByteArray compress(const QByteArray& data);

    // Objects gathered before an object stream is written: enough to deflate well, few enough
    // to hold.
    static constexpr size_t PackedObjects = 1000;
    static constexpr qsizetype PackedBytes = 64 * 1024;

private:
    // Where objects are: `count` numbers from `first`, each at its own offset (`index` unused)
    // when direct, or in object stream `where` from `index` on when packed.
    struct Run {
        uint32_t first;
        uint32_t count;
        int64_t where;
        uint32_t index; // packed: the first one's index in its stream
        bool packed;
    };
    struct Packed {
        int id;
        QByteArray body;
    };

    void write(const char* data, qint64 size);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    void beginObject(int id);
    void streamObject(int id, const QByteArray& entries, const QByteArray& data);
    // Writes the objects gathered so far as one object stream.
    void writePacked();
    void writeCrossReference(int info);
    QByteArray information() const;
    QByteArray xmpMetadata() const;
    QByteArray catalog(int metadata, int structure);
    int outputIntent();

    QIODevice& m_out;
    DocumentProperties m_properties;
    QByteArray m_created;    // the creation time, as PDF dates it
    QByteArray m_createdXmp; // and as XMP does
    qint64 m_offset = 0;
    bool m_ok = true;
    int m_nextObject = 1;
    std::vector<Run> m_runs; // in the order written
    std::vector<Packed> m_packing;
    Deflater m_deflater;
    qsizetype m_packingBytes = 0;
    std::vector<int> m_pages;
    int m_catalog, m_pageTree, m_resources;
};

} // namespace palvex::pdf
