#include "PrintoutSaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <set>

namespace palvex {

namespace {

std::set<QString>& namesInUse() {
    static std::set<QString> names;
    return names;
}

} // namespace

PrintoutSaveFile::Opened PrintoutSaveFile::open(const QString& fileName) {
    close();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    if (namesInUse().count(path)) return Opened::AlreadyOpen;
    // Append mode creates a missing file but never empties an existing one.
    QFile probe(path);
    if (QFileInfo(path).isDir() || !probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return Opened::CannotWrite;
    probe.close();
    // The printout is written at the end into a new file beside this one: a folder that cannot
    // take one (read-only, full of inodes, immutable) fails now, while the host can still act.
    QTemporaryFile beside(path + QStringLiteral(".XXXXXX"));
    if (!beside.open()) return Opened::CannotWrite;
    beside.close();
    namesInUse().insert(path);
    m_path = path;
    return Opened::Ok;
}

void PrintoutSaveFile::close() {
    if (m_path.isEmpty()) return;
    namesInUse().erase(m_path);
    m_path.clear();
}

bool PrintoutSaveFile::commit(const std::function<bool(QIODevice&)>& fill, QString& error) {
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (!fill(file)) {
        error = file.error() != QFileDevice::NoError ? file.errorString()
                                                     : QStringLiteral("the report store");
        file.cancelWriting();
        return false;
    }
    // commit() flushes to disk before renaming over the old file.
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace palvex
