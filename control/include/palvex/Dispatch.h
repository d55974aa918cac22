#pragma once

#include "MemberTable.h"
#include "Status.h"
#include "Variant.h"

#include <span>
#include <string_view>

namespace palvex {

class Palvex;

// Late binding: members of one control by dispatch identifier. By-reference arguments are
// written back into `args`; a property get or a function delivers its value in `result`.
class PALVEX_EXPORT Dispatch {
public:
    explicit Dispatch(Palvex& control) : m_control(control) {}

    Status invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result);
    // UnknownDispId for a name the control does not have (case-insensitive).
    DispId idOfName(std::string_view name) const;

private:
    Palvex& m_control;
};

} // namespace palvex
