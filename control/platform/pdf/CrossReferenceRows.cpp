#include "CrossReferenceRows.h"

#include <zlib.h>

namespace palvex::pdf {

namespace {
constexpr qsizetype PieceBytes = 65536;
} // namespace

CrossReferenceRows::CrossReferenceRows(int width)
    : m_width(width), m_zip(new z_stream{}), m_previous(size_t(columns()), 0),
      m_row(size_t(columns()), 0) {
    m_ok = deflateInit(m_zip, 6) == Z_OK;
}

CrossReferenceRows::~CrossReferenceRows() {
    deflateEnd(m_zip);
    delete m_zip;
}

bool CrossReferenceRows::deflatePending(int mode) {
    m_zip->next_in = reinterpret_cast<Bytef*>(m_rows.data());
    m_zip->avail_in = uInt(m_rows.size());
    int result = Z_OK;
    do {
        char out[16384];
        m_zip->next_out = reinterpret_cast<Bytef*>(out);
        m_zip->avail_out = sizeof out;
        result = deflate(m_zip, mode);
        m_deflated.append(out, qsizetype(sizeof out - m_zip->avail_out));
    } while (m_zip->avail_out == 0 || (mode == Z_FINISH && result == Z_OK));
    m_rows.clear();
    return result != Z_STREAM_ERROR && (mode != Z_FINISH || result == Z_STREAM_END);
}

void CrossReferenceRows::add(unsigned type, uint64_t middle, unsigned last) {
    if (!m_ok) return;
    m_row[0] = (unsigned char)type;
    for (int i = 0; i < m_width; ++i)
        m_row[size_t(1 + i)] = (middle >> (8 * (m_width - 1 - i))) & 0xFF;
    m_row[size_t(columns() - 2)] = (unsigned char)(last >> 8);
    m_row[size_t(columns() - 1)] = (unsigned char)(last & 0xFF);
    m_rows.append(char(2)); // the row's predictor: Up
    for (size_t i = 0; i < m_row.size(); ++i)
        m_rows.append(char(m_row[i] - m_previous[i]));
    m_previous.swap(m_row);
    if (m_rows.size() >= PieceBytes) m_ok = deflatePending(Z_NO_FLUSH);
}

QByteArray CrossReferenceRows::finish() {
    if (m_ok) m_ok = deflatePending(Z_FINISH);
    return m_ok ? m_deflated : QByteArray();
}

} // namespace palvex::pdf
