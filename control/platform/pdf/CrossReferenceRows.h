#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

struct z_stream_s;

namespace palvex::pdf {

// The rows of a cross-reference stream: a type byte, a middle field `width` bytes wide (an
// offset, or an object stream's number) and a two-byte last field. Each row is written as its
// difference from the one before (the "Up" predictor: rows of one object stream differ only in
// their index, so they deflate to almost nothing) and deflated a piece at a time, so a document
// of a million objects never holds its table whole.
class CrossReferenceRows {
public:
    explicit CrossReferenceRows(int width);
    ~CrossReferenceRows();
    CrossReferenceRows(const CrossReferenceRows&) = delete;
    CrossReferenceRows& operator=(const CrossReferenceRows&) = delete;

    int columns() const { return 1 + m_width + 2; }
    void add(unsigned type, uint64_t middle, unsigned last);
    // The deflated rows; empty when deflating failed at any point.
    QByteArray finish();

private:
    bool deflatePending(int mode);

    int m_width;
    z_stream_s* m_zip;
    bool m_ok;
    QByteArray m_rows, m_deflated;
    std::vector<unsigned char> m_previous, m_row;
};

} // namespace palvex::pdf
