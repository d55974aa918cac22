#include "PdfOutputFile.h"

#include <QByteArray>
#include <QList>

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace palvex {

namespace {

// Exactly `size` bytes at `offset`, or false.
bool readAt(int fd, qint64 offset, char* buffer, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray bytesAt(int fd, qint64 offset, qint64 size) {
    QByteArray bytes(size, '\0');
    return readAt(fd, offset, bytes.data(), size) ? bytes : QByteArray();
}

// The number after `key` in `dictionary` ("/Size 12"), or -1.
qint64 numberAfter(const QByteArray& dictionary, const char* key) {
    const qsizetype at = dictionary.indexOf(key);
    if (at < 0) return -1;
    qsizetype i = at + qsizetype(qstrlen(key));
    while (i < dictionary.size() && (dictionary[i] == ' ' || dictionary[i] == '['))
        ++i;
    qint64 value = 0;
    qsizetype digits = 0;
    for (; i < dictionary.size() && dictionary[i] >= '0' && dictionary[i] <= '9'; ++i, ++digits)
        value = value * 10 + (dictionary[i] - '0');
    return digits > 0 ? value : -1;
}

// Whether object `number` begins at `offset`.
bool objectAt(int fd, qint64 offset, qint64 number) {
    const QByteArray expected = QByteArray::number(number) + " 0 obj";
    return bytesAt(fd, offset, expected.size()) == expected;
}

// Every entry of the cross-reference stream whose data is `length` bytes at `data`, rows of
// `widths` undone from the "Up" predictor, read and checked a piece at a time: each object
// written in the file begins where its entry says, each packed one names a stream there is.
bool entriesHold(int fd, qint64 data, qint64 length, const int (&widths)[3], qint64 size,
                 qint64 xref) {
    const int columns = widths[0] + widths[1] + widths[2];
    std::vector<unsigned char> row(size_t(columns), 0);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    std::vector<unsigned char> in(65536), out(65536);
    size_t pending = 0; // bytes of `out` not yet a whole row
    qint64 rows = 0, read = 0;
    int result = Z_OK;
    bool ok = true, full = false; // full: the last inflate may have more to give
    while (ok && result != Z_STREAM_END) {
        if (z.avail_in == 0 && !full) {
            const qint64 piece = std::min<qint64>(qint64(in.size()), length - read);
            if (piece <= 0 || !readAt(fd, data + read, reinterpret_cast<char*>(in.data()), piece))
                break;
            read += piece;
            z.next_in = in.data();
            z.avail_in = uInt(piece);
        }
        z.next_out = out.data() + pending;
        z.avail_out = uInt(out.size() - pending);
        result = inflate(&z, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) break;
        full = z.avail_out == 0;
        const size_t filled = out.size() - z.avail_out;
        size_t at = 0;
        for (; ok && at + size_t(columns) + 1 <= filled; at += size_t(columns) + 1, ++rows) {
            for (int i = 0; i < columns; ++i)
                row[size_t(i)] = (unsigned char)(row[size_t(i)] + out[at + 1 + size_t(i)]);
            qint64 field[3] = {0, 0, 0};
            for (int f = 0, i = 0; f < 3; ++f)
                for (int k = 0; k < widths[f]; ++k, ++i)
                    field[f] = field[f] << 8 | row[size_t(i)];
            if (out[at] != 2 || rows >= size)
                ok = false;
            else if (field[0] == 1)
                ok = field[1] <= xref && objectAt(fd, field[1], rows);
            else if (field[0] == 2)
                ok = field[1] > 0 && field[1] < size;
        }
        pending = filled - at;
        std::memmove(out.data(), out.data() + at, pending);
    }
    inflateEnd(&z);
    return ok && result == Z_STREAM_END && pending == 0 && rows == size;
}

// The document ends with "startxref <offset> %%EOF", the cross-reference stream at that offset
// says where each object is, and each object written in the file begins there. A write that
// was lost moves everything after it, so a document missing any bytes fails one of these.
bool documentIsWhole(int fd, qint64 size) {
    const qint64 tailSize = std::min<qint64>(size, 256);
    const QByteArray tail = bytesAt(fd, size - tailSize, tailSize);
    if (!tail.trimmed().endsWith("%%EOF")) return false;
    const qsizetype at = tail.lastIndexOf("startxref");
    if (at < 0) return false;
    bool ok = false;
    const qint64 xref =
        tail.mid(at + 9, tail.lastIndexOf("%%EOF") - at - 9).trimmed().toLongLong(&ok);
    if (!ok || xref <= 0 || xref >= size - tailSize + at) return false;

    const QByteArray head = bytesAt(fd, xref, std::min<qint64>(1024, size - xref));
    const qsizetype streamAt = head.indexOf(">>\nstream\n");
    if (streamAt < 0) return false;
    const QByteArray dictionary = head.left(streamAt);
    const qint64 objects = numberAfter(dictionary, "/Size");
    const qint64 length = numberAfter(dictionary, "/Length");
    const qsizetype w = dictionary.indexOf("/W [");
    int widths[3] = {0, 0, 0};
    if (w >= 0) {
        const QList<QByteArray> parts = dictionary.mid(w + 4, 16).split(']').value(0).split(' ');
        for (int i = 0; i < 3 && i < parts.size(); ++i)
            widths[i] = parts[i].toInt();
    }
    const qint64 data = xref + streamAt + 10;
    if (!dictionary.contains("/Type /XRef") || !dictionary.contains("/Predictor 12") ||
        objects <= 0 || length <= 0 || data + length > size || widths[0] != 1 || widths[1] < 1 ||
        widths[1] > 8 || widths[2] != 2 || bytesAt(fd, data + length, 10) != "\nendstream")
        return false;
    return entriesHold(fd, data, length, widths, objects, xref);
}

} // namespace

bool PdfOutputFile::commit() {
    return m_file.commit(documentIsWhole);
}

} // namespace palvex
