#include "RecordFile.h"

#include "interface/Status.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvex {

namespace {

Status statusOfErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return Status::DiskFull;
    case ENOENT: return Status::FileNotFound;
    case ENAMETOOLONG: return Status::BadFileName;
    default: return Status::PathFileAccessError;
    }
}

} // namespace

RecordFile::~RecordFile() { close(); }

void RecordFile::open(const std::string& path, int recordLength, Mode mode) {
    close();
    if (path.empty()) raise(Status::BadFileName);
    if (mode == Mode::Recreate && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        raise(statusOfErrno(errno));
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) raise(statusOfErrno(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        raise(Status::PathFileAccessError);
    }
    m_fd = fd;
    m_size = info.st_size;
    m_recordLength = recordLength;
    m_path = path;
}

void RecordFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

int64_t RecordFile::sizeInBytes() const {
    if (m_fd < 0) raise(Status::BadFileName);
    return m_size;
}

void RecordFile::write(int64_t number, const unsigned char* record) {
    if (m_fd < 0) raise(Status::BadFileName);
    if (number < 1) raise(Status::BadFileName);
    const off_t offset = off_t(number - 1) * m_recordLength;
    const int64_t sizeBefore = sizeInBytes();
    int64_t done = 0;
    while (done < m_recordLength) {
        const ssize_t n = ::pwrite(m_fd, record + done, size_t(m_recordLength - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            // An appended record that failed half-way must not stay behind.
            if (sizeBefore <= offset) [[maybe_unused]] int ignored = ::ftruncate(m_fd, sizeBefore);
            raise(statusOfErrno(error));
        }
        done += n;
    }
    m_size = std::max<int64_t>(m_size, offset + m_recordLength);
}

int64_t RecordFile::readPartial(int64_t number, unsigned char* buffer, int64_t size) const {
    if (m_fd < 0) raise(Status::BadFileName);
    if (number < 1) raise(Status::BadFileName);
    const off_t offset = off_t(number - 1) * m_recordLength;
    int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, buffer + done, size_t(size - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) raise(statusOfErrno(errno));
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
