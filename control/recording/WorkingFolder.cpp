#include "WorkingFolder.h"

#include "core/Guarded.h"

#include <filesystem>

#include <stdlib.h>
#include <unistd.h>

namespace palvex {

namespace {

// Permission bits say nothing for root, a read-only mount or a full inode table: the only sound
// test that the report's files can be created is to create one.
bool canCreateFileIn(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) || error) return false;
    std::string name = (folder / ".palvex-XXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

} // namespace

void WorkingFolder::set(const QString& folder) {
    if (folder.isEmpty()) {
        m_path.clear();
        return;
    }
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::path(folder.toStdString()), error);
    if (error || !canCreateFileIn(absolute))
        refuse(Status::PathFileAccessError,
               QStringLiteral("no file can be created in \"%1\"").arg(folder));
    m_path = QString::fromStdString(absolute.lexically_normal().string());
    // "dir/" normalises to "dir/"; the files are joined with "/", so drop the trailing one.
    while (m_path.size() > 1 && m_path.endsWith(QLatin1Char('/')))
        m_path.chop(1);
}

std::string WorkingFolder::directory() const {
    if (!m_path.isEmpty()) return m_path.toStdString();
    std::error_code error;
    const auto path = std::filesystem::current_path(error);
    if (error) raise(Status::PathFileAccessError);
    return path.string();
}

} // namespace palvex
