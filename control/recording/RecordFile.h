#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace palvex {

// A random-access file of fixed-length records numbered from 1. Errors throw palvex::Error with
// the runtime's file error numbers. A write that fails leaves the file's records as they were.
//
// With appends buffered, records added at the end are collected and written in blocks. Disk
// space for them is reserved first, so a full disk (or a file size limit) is still reported on
// the record that needs the space, before anything changes; the file is cut back to its records
// whenever it is synced or closed.
class RecordFile {
public:
    enum class Mode { KeepContents, Recreate };

    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    // Recreate deletes any existing file first and creates a new one that no other handle shares,
    // so the record file always starts empty and stays this handle's.
    void open(const std::string& path, int recordLength, Mode mode, bool bufferAppends = false);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // The length of the records written, whatever is still buffered.
    int64_t sizeInBytes() const;
    int64_t recordCount() const { return sizeInBytes() / m_recordLength; }

    // Writes `count` records from `number` on: all of them, or (when the disk refuses) none.
    void write(int64_t number, const unsigned char* records, int count = 1);
    // A record beyond the end of the file reads as zero bytes; a partial one is zero-filled.
    void read(int64_t number, unsigned char* record) const;
    // Reads up to `size` bytes of record `number`; returns how many the file held.
    int64_t readPartial(int64_t number, unsigned char* buffer, int64_t size) const;
    // Writes what is buffered and gives back the space reserved beyond the last record.
    void sync();

private:
    void writeAt(int64_t offset, const unsigned char* data, int64_t size) const;
    void flushBuffer() const;
    void reserve(int64_t end);

    int m_fd = -1;
    int64_t m_size = 0;        // bytes of records; this handle is the file's only writer
    int64_t m_reservedEnd = 0; // the file's length on disk, reserved space included
    int m_recordLength = 1;
    bool m_bufferAppends = false;
    mutable std::vector<unsigned char> m_buffer; // appended records not yet written
    mutable int64_t m_bufferOffset = 0;
    std::string m_path;
};

} // namespace palvex
