#pragma once

#include <cstdint>
#include <string>

namespace palvex {

// A random-access file of fixed-length records numbered from 1. Errors throw palvex::Error with
// the runtime's file error numbers. A failed write leaves the file as long as it was before.
class RecordFile {
public:
    enum class Mode { KeepContents, Recreate };

    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    // Recreate deletes any existing file first, so the record file always starts empty.
    void open(const std::string& path, int recordLength, Mode mode);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    int64_t sizeInBytes() const;
    int64_t recordCount() const { return sizeInBytes() / m_recordLength; }

    void write(int64_t number, const unsigned char* record);
    // A record beyond the end of the file reads as zero bytes; a partial one is zero-filled.
    void read(int64_t number, unsigned char* record) const;
    // Reads up to `size` bytes of record `number`; returns how many the file held.
    int64_t readPartial(int64_t number, unsigned char* buffer, int64_t size) const;

private:
    int m_fd = -1;
    int64_t m_size = 0; // this handle is the file's only writer while it is open
    int m_recordLength = 1;
    std::string m_path;
};

} // namespace palvex
