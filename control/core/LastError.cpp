#include "core/LastError.h"

namespace palvex {

std::string_view LastError::memberOf(std::string_view function) {
    for (std::string_view prefix : {"get_", "let_", "putref_"})
        if (function.starts_with(prefix)) return function.substr(prefix.size());
    return function;
}

void LastError::note(std::string_view function, Status status, const QString& reason) noexcept {
    ++m_count;
    try {
        const std::string_view member = memberOf(function);
        const std::string_view text = describe(status);
        const QString why = reason.isEmpty()
                                ? QString(QLatin1StringView(text.data(), qsizetype(text.size())))
                                : reason;
        m_detail = QString(QLatin1StringView(member.data(), qsizetype(member.size()))) +
                   QStringLiteral(": ") + why;
    } catch (...) {
        // Out of memory for the words: the status still reaches the host.
        m_detail.clear();
    }
}

} // namespace palvex
