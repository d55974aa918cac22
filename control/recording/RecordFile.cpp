#include "RecordFile.h"

#include "core/Guarded.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvex {

namespace {

constexpr int64_t BufferBytes = 64 * 1024;
constexpr int64_t ReserveStep = 256 * 1024;

Status statusOfErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Status::DiskFull;
    case ENOENT:
        return Status::FileNotFound;
    case ENAMETOOLONG:
        return Status::BadFileName;
    default:
        return Status::PathFileAccessError;
    }
}

// The system's words for what failed, with the file: "palvex.rpt: No space left on device".
[[noreturn]] void refuseFor(const std::string& path, int error) {
    refuse(statusOfErrno(error),
           QStringLiteral("%1: %2").arg(QString::fromStdString(path),
                                        QString::fromLocal8Bit(std::strerror(error))));
}

// A file recreated here is this handle's alone. Another process starting in the same folder at
// the same moment may unlink and create the name between our unlink and open; opening with
// O_EXCL refuses its file, and we unlink it again and make ours. That process keeps writing
// into its own file, now without a name, so neither report takes the other's records. Bounded:
// a folder that keeps producing the name is an access error, not a loop.
int createExclusively(const std::string& path) {
    constexpr int Attempts = 16;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return -1;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EACCES;
    return -1;
}

} // namespace

RecordFile::~RecordFile() {
    try {
        close();
    } catch (const Error&) {
        // Nothing can be reported from here; the records written so far stay.
    }
}

void RecordFile::open(const std::string& path, int recordLength, Mode mode, bool bufferAppends) {
    close();
    if (path.empty()) raise(Status::BadFileName);
    const int fd = mode == Mode::Recreate
                       ? createExclusively(path)
                       : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) refuseFor(path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        raise(Status::PathFileAccessError);
    }
    m_fd = fd;
    m_size = m_reservedEnd = info.st_size;
    m_recordLength = recordLength;
    m_bufferAppends = bufferAppends;
    m_buffer.clear();
    m_path = path;
}

void RecordFile::close() {
    if (m_fd < 0) return;
    const int fd = m_fd;
    try {
        sync();
    } catch (...) {
        ::close(fd);
        m_fd = -1;
        throw;
    }
    ::close(fd);
    m_fd = -1;
}

int64_t RecordFile::sizeInBytes() const {
    if (m_fd < 0) raise(Status::BadFileName);
    return m_size;
}

void RecordFile::writeAt(int64_t offset, const unsigned char* data, int64_t size) const {
    int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(m_fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) refuseFor(m_path, n < 0 ? errno : ENOSPC);
        done += n;
    }
}

void RecordFile::flushBuffer() const {
    if (m_buffer.empty()) return;
    writeAt(m_bufferOffset, m_buffer.data(), int64_t(m_buffer.size()));
    m_buffer.clear();
}

void RecordFile::reserve(int64_t end) {
    if (end <= m_reservedEnd) return;
    const int64_t target = std::max(end, m_reservedEnd + ReserveStep);
    int error = ::posix_fallocate(m_fd, off_t(m_reservedEnd), off_t(target - m_reservedEnd));
    if (error == EFBIG || error == ENOSPC) {
        // Near a limit: the record itself may still fit.
        error = ::posix_fallocate(m_fd, off_t(m_reservedEnd), off_t(end - m_reservedEnd));
        if (error == 0) {
            m_reservedEnd = end;
            return;
        }
    }
    if (error != 0) {
        // Whatever was allocated past the records goes again.
        [[maybe_unused]] int ignored = ::ftruncate(m_fd, off_t(m_size));
        m_reservedEnd = m_size;
        flushBuffer();
        refuseFor(m_path, error);
    }
    m_reservedEnd = target;
}

void RecordFile::write(int64_t number, const unsigned char* records, int count) {
    if (m_fd < 0) raise(Status::BadFileName);
    if (number < 1 || count < 1) raise(Status::BadFileName);
    const int64_t offset = (number - 1) * m_recordLength;
    const int64_t bytes = int64_t(count) * m_recordLength;
    if (m_bufferAppends && offset == m_size) {
        reserve(offset + bytes);
        if (m_buffer.empty()) m_bufferOffset = offset;
        m_buffer.insert(m_buffer.end(), records, records + bytes);
        m_size = offset + bytes;
        if (int64_t(m_buffer.size()) >= BufferBytes) flushBuffer();
        return;
    }
    flushBuffer();
    const int64_t sizeBefore = m_size;
    try {
        writeAt(offset, records, bytes);
    } catch (const Error&) {
        // Appended records that failed half-way must not stay behind.
        if (sizeBefore <= offset && m_reservedEnd <= offset) [[maybe_unused]]
            int ignored = ::ftruncate(m_fd, off_t(sizeBefore));
        throw;
    }
    m_size = std::max<int64_t>(m_size, offset + bytes);
    m_reservedEnd = std::max(m_reservedEnd, m_size);
}

void RecordFile::sync() {
    if (m_fd < 0) return;
    flushBuffer();
    if (m_reservedEnd > m_size) {
        if (::ftruncate(m_fd, off_t(m_size)) != 0) refuseFor(m_path, errno);
        m_reservedEnd = m_size;
    }
}

int64_t RecordFile::readPartial(int64_t number, unsigned char* buffer, int64_t size) const {
    if (m_fd < 0) raise(Status::BadFileName);
    if (number < 1) raise(Status::BadFileName);
    flushBuffer();
    const int64_t offset = (number - 1) * m_recordLength;
    // Reserved space past the records is not part of the file.
    const int64_t available = std::clamp<int64_t>(m_size - offset, 0, size);
    int64_t done = 0;
    while (done < available) {
        const ssize_t n =
            ::pread(m_fd, buffer + done, size_t(available - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) refuseFor(m_path, errno);
        if (n == 0) break;
        done += n;
    }
    return done;
}

void RecordFile::read(int64_t number, unsigned char* record) const {
    const int64_t got = readPartial(number, record, m_recordLength);
    std::memset(record + got, 0, size_t(m_recordLength - got));
}

} // namespace palvex
