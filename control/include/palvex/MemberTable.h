#pragma once

#include "Status.h"
#include "Variant.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace palvex {

class Palvex;

using DispId = int32_t;
constexpr DispId UnknownDispId = -1;

enum class InvokeKind { Method = 1, PropertyGet = 2, PropertyPut = 4, PropertyPutRef = 8 };

// The declared type of a parameter, a property or a result.
enum class ValueType { Boolean, Integer, Long, Single, String, Font, Enumeration };

struct ParamInfo {
    std::string_view name;
    ValueType type;
    std::string_view enumName; // for enumerations
    bool byRef;
    bool optional;
    // By reference and the member may store a value of its own there (printLine raises a draw
    // width below 1 to 1). A by-reference argument the member only reads comes back as it was
    // passed, converted to the declared type.
    bool setByMember = false;
};

using MethodInvoker = Status (*)(Palvex&, std::span<Variant>, Variant*);

// One member of the automation interface. The table of these is the single source for
// dispatch, name lookup, the script host and the generated member listing.
struct MemberInfo {
    std::string_view name;
    DispId id;
    bool isProperty;
    bool hidden;
    std::string_view family;
    std::vector<ParamInfo> params;   // methods
    std::optional<ParamInfo> result; // a method's result, or a property's value
    MethodInvoker call = nullptr;    // method
    MethodInvoker get = nullptr;     // property get
    MethodInvoker put = nullptr;     // property let (or set by reference for Font)
};

PALVEX_EXPORT std::span<const MemberInfo> members();
PALVEX_EXPORT const MemberInfo* findMember(DispId id);
PALVEX_EXPORT const MemberInfo* findMember(std::string_view name); // case-insensitive

// The member listing in Markdown.
PALVEX_EXPORT std::string memberListing();

} // namespace palvex
