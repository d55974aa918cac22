#include "RuntimeFolder.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvex {

namespace {

constexpr mode_t OwnerOnly = 0700;

// Closes the descriptor whatever path leaves the check.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::string temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp == '/' ? std::string(tmp) : std::string("/tmp");
}

} // namespace

bool RuntimeFolder::prepare(const std::string& path, uid_t owner) {
    const bool made = ::mkdir(path.c_str(), OwnerOnly) == 0;
    if (!made && errno != EEXIST) return false;
    // Opened without following a link and checked through what was opened: a link planted
    // under the name is refused, never followed to a folder someone else chose.
    const Descriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != owner) return false;
    // A folder made here may lack bits the umask took; it is ours, so it is set right. One found
    // with other bits is left as it is and not used: its contents may not be the user's alone.
    if (made && (st.st_mode & 07777) != OwnerOnly) return ::fchmod(folder.get(), OwnerOnly) == 0;
    return (st.st_mode & 07777) == OwnerOnly;
}

void RuntimeFolder::provide() {
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given && *given) return;
    const uid_t user = ::geteuid();
    const std::string path = temporaryFolder() + "/palvex-runtime-" + std::to_string(user);
    if (prepare(path, user)) ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
}

} // namespace palvex
