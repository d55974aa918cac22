#pragma once

// Values between the C interface's tagged union and the dispatch layer's Variant.

#include <palvex/MemberTable.h>
#include <palvex/Variant.h>
#include <palvex/palvex_c.h>

#include <optional>

namespace palvex::capi {

// The argument as the dispatch layer takes it. An empty value becomes the zero of `declared`
// (False, 0 or ""), as a late-bound caller's uninitialised variable would; without a declared
// type (too many arguments) it stays omitted and the call refuses it. An unknown tag, and a
// string that is not UTF-8, is TypeMismatch (13). Throws palvex::Error.
Variant fromC(const palvex_variant& value, std::optional<ValueType> declared);

// The value handed back to C: a string is a new allocation marked PALVEX_OWNED, an omitted
// value is PALVEX_EMPTY, and a font, which C has no type for, is TypeMismatch (13). `out` is
// only written when the conversion succeeds. Throws palvex::Error or std::bad_alloc.
void toC(const Variant& value, palvex_variant& out);

} // namespace palvex::capi
