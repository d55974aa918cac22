#include "KeptFile.h"

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

bool KeptFile::create() {
    discard();
    // Hidden until it is whole: a process killed while it writes leaves nothing that a listing
    // of the folder shows beside the user's files.
    const QFileInfo target(m_target);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) return false;
    m_temporary = file.fileName();
    file.close();
    return true;
}

bool KeptFile::commit(const Check& check) {
    if (m_temporary.isEmpty()) return false;
    const QByteArray temporary = QFile::encodeName(m_temporary);
    const int fd = ::open(temporary.constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    bool kept = fd >= 0 && ::fstat(fd, &info) == 0 && (!check || check(fd, info.st_size)) &&
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

void KeptFile::discard() {
    if (m_temporary.isEmpty()) return;
    ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

} // namespace palvex
