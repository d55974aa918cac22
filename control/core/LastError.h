#pragma once

#include "core/Guarded.h"
#include <palvex/Status.h>

#include <QString>

#include <cstdint>
#include <string_view>

namespace palvex {

// Why the last refused call of one control was refused, for hosts that get only a number back:
// "TableRow: the row has 4 cells, the table 3 columns". A host reads it right after a call that
// failed; a call that succeeds leaves it as it is, as errno does.
class LastError {
public:
    // A member's body, at the boundary where what it throws becomes its status: a refusal is
    // noted under the member's name (a getter's or setter's function name stands for its
    // property: "let_FontName" is noted as "FontName").
    template <class F> Status run(std::string_view function, F&& body) noexcept {
        QString reason;
        const Status status = guarded([&] {
            try {
                body();
            } catch (const Refusal& refusal) {
                reason = refusal.reason;
                throw;
            }
        });
        if (status != Status::Ok) note(function, status, reason);
        return status;
    }
    // A refusal of `function` for `reason`; with no reason, the status's own description.
    void note(std::string_view function, Status status, const QString& reason) noexcept;

    // "" until a call has been refused.
    const QString& detail() const { return m_detail; }
    // How many refusals were noted: a caller that sees it unchanged across a failed call knows
    // the member never ran (its arguments were refused before it).
    uint64_t count() const { return m_count; }

    // The member a function name stands for: the name without a property's get_/let_/putref_.
    static std::string_view memberOf(std::string_view function);

private:
    QString m_detail;
    uint64_t m_count = 0;
};

} // namespace palvex
