#pragma once

#include <QString>

#include <functional>

namespace palvex {

// A file the user keeps, written under a hidden name beside it and put in its place in one step
// only once it is whole and on disk. A full disk, a folder that went away or a process killed
// half-way leave the previous file as it was, and nothing a listing of the folder shows.
class KeptFile {
public:
    // Whether the written file, open on `fd` and `size` bytes long, is whole.
    using Check = std::function<bool(int fd, qint64 size)>;

    explicit KeptFile(QString target) : m_target(std::move(target)) {}
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;
    ~KeptFile() { discard(); }

    // Makes a new, empty file with a unique name in the target's folder; false when it cannot.
    bool create();
    const QString& temporaryPath() const { return m_temporary; }
    const QString& target() const { return m_target; }
    // Checks the written file (when `check` is given), flushes it to disk and renames it over
    // the target. False (and the temporary file gone) when any step fails.
    bool commit(const Check& check = {});
    // Removes the temporary file, if one is left.
    void discard();

private:
    QString m_target;
    QString m_temporary;
};

} // namespace palvex
