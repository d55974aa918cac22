#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace palvex {

// The file a printout is saved to. Naming it checks that it can be written without emptying
// it, so whatever it held survives until the new printout is complete: the printout is written
// to a temporary file in the same folder, flushed to disk and renamed over it in one step.
class PrintoutSaveFile {
public:
    enum class Opened { Ok, AlreadyOpen, CannotWrite };

    PrintoutSaveFile() = default;
    PrintoutSaveFile(const PrintoutSaveFile&) = delete;
    PrintoutSaveFile& operator=(const PrintoutSaveFile&) = delete;
    ~PrintoutSaveFile() { close(); }

    // A file named by another save file of this process is already open. A file that cannot be
    // written, or whose folder cannot take the temporary file the end writes, cannot be saved.
    Opened open(const QString& fileName);
    void close();
    bool isOpen() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

    // Writes the whole printout through `fill` and replaces the file with it; on failure the
    // file keeps what it held and `error` says why.
    bool commit(const std::function<bool(QIODevice&)>& fill, QString& error);

private:
    QString m_path; // absolute, so a later change of the current folder does not move it
};

} // namespace palvex
