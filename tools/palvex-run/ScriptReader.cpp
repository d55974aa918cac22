#include "ScriptReader.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <sys/types.h>

namespace palvex::script {

ScriptReader::ScriptReader(const QString& path) {
    if (path == QLatin1String("-")) {
        m_file = stdin;
    } else {
        m_file = std::fopen(QFile::encodeName(path).constData(), "rb");
        m_ownsFile = m_file != nullptr;
    }
}

ScriptReader::~ScriptReader() {
    std::free(m_buffer);
    if (m_ownsFile) std::fclose(m_file);
}

std::optional<QString> ScriptReader::nextLine() {
    if (!m_file) return std::nullopt;
    // getline returns as soon as a line end arrives, where a block read would wait for more.
    ssize_t length = getline(&m_buffer, &m_capacity, m_file);
    if (length < 0) return std::nullopt;
    const char* text = m_buffer;
    if (length > 0 && text[length - 1] == '\n') --length;
    if (length > 0 && text[length - 1] == '\r') --length;
    if (m_first && length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        length -= 3;
    }
    m_first = false;
    return QString::fromUtf8(text, qsizetype(length));
}

bool ScriptReader::failed() const {
    return m_file && std::ferror(m_file);
}

} // namespace palvex::script
