#include "PdfOutputFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The document ends with "startxref <offset> %%EOF", the table at that offset lists each object's
// offset, and each object begins there. A write the engine lost moves everything after it, so a
// document missing any bytes fails one of these.
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

    const QByteArray table = bytesAt(fd, xref, size - xref);
    if (!table.startsWith("xref")) return false;
    const QList<QByteArray> head = table.left(64).split('\n');
    if (head.size() < 3) return false;
    const QList<QByteArray> range = head[1].trimmed().split(' ');
    const int count = range.size() == 2 ? range[1].toInt(&ok) : 0;
    if (!ok || count <= 0) return false;
    const qsizetype entries = head[0].size() + 1 + head[1].size() + 1;
    constexpr qsizetype EntrySize = 20;
    if (table.size() < entries + count * EntrySize ||
        !table.mid(entries + count * EntrySize).startsWith("trailer"))
        return false;
    for (int object = 1; object < count; ++object) {
        const QByteArray entry = table.mid(entries + object * EntrySize, EntrySize);
        if (entry.size() != EntrySize) return false;
        if (entry[17] != 'n') continue;
        const qint64 offset = entry.left(10).toLongLong(&ok);
        if (!ok || offset >= xref) return false;
        if (offset == 0) continue; // an object number taken but never written
        const QByteArray expected = QByteArray::number(object) + " 0 obj";
        if (bytesAt(fd, offset, expected.size()) != expected) return false;
    }
    return true;
}

// Flushes the folder's entry for a renamed file, so the new name survives a crash too.
bool syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL; // a folder some systems cannot sync
    ::close(fd);
    return synced;
}

} // namespace

bool PdfOutputFile::create() {
    discard();
    QTemporaryFile file(QFileInfo(m_target).absoluteFilePath() + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) return false;
    m_temporary = file.fileName();
    file.close();
    return true;
}

bool PdfOutputFile::commit() {
    if (m_temporary.isEmpty()) return false;
    const QByteArray temporary = QFile::encodeName(m_temporary);
    const int fd = ::open(temporary.constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    bool kept = fd >= 0 && ::fstat(fd, &info) == 0 && documentIsWhole(fd, info.st_size) &&
                ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    if (fd >= 0 && ::close(fd) != 0) kept = false;
    const QString target = QFileInfo(m_target).absoluteFilePath();
    if (!kept || std::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    return syncFolder(QFileInfo(target).absolutePath());
}

void PdfOutputFile::discard() {
    if (m_temporary.isEmpty()) return;
    ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

} // namespace palvex
