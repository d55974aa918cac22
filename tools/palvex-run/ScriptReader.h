#pragma once

#include <QString>

#include <cstdio>
#include <optional>

namespace palvex::script {

// Reads a script a line at a time from a file or standard input, as the lines arrive: a line
// typed at a terminal or written into a pipe is returned as soon as it ends, not when the input
// does. Lines are UTF-8; the line end (LF or CR LF) and a leading byte-order mark are dropped.
class ScriptReader {
public:
    // "-" is standard input.
    explicit ScriptReader(const QString& path);
    ~ScriptReader();
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // The next line, or nothing at the end of the input or when reading fails.
    std::optional<QString> nextLine();
    // Reading stopped on an error rather than at the end.
    bool failed() const;

private:
    std::FILE* m_file = nullptr;
    bool m_ownsFile = false;
    bool m_first = true;
    char* m_buffer = nullptr;
    size_t m_capacity = 0;
};

} // namespace palvex::script
