#pragma once

#include <palvex/MemberTable.h>
#include <palvex/Status.h>
#include <palvex/Variant.h>

#include <QString>

#include <span>

namespace palvex {

// Why late binding refused a call before its member ran, in words that name the argument:
// "argument Width: \"abc\" is not a number", "argument TXT is not optional". `values` are the
// arguments as the member would take them (a property's value alone); "" when none of them is
// at fault.
QString argumentRefusal(const MemberInfo& member, std::span<const Variant> values,
                        bool propertyValue);

} // namespace palvex
