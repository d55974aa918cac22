#pragma once

#include <QString>

#include <string>

namespace palvex {

// The folder that holds the report store and the definitions file. Left empty it is the
// process's current directory at each start, as it always was; a host that sets it keeps its
// reports out of whatever directory the user happened to launch it from.
class WorkingFolder {
public:
    // The folder as the host set it, made absolute; empty for the current directory.
    const QString& path() const { return m_path; }
    // Takes `folder` when it can hold the report's files (an existing folder in which a new file
    // can be created), else throws palvex::Error (75) and keeps the previous folder.
    void set(const QString& folder);
    // The folder a start opens the files in. Throws palvex::Error (75) when the current
    // directory cannot be found.
    std::string directory() const;

private:
    QString m_path;
};

} // namespace palvex
