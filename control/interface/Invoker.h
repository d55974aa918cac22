#pragma once

// Turns a typed member of Palvex into a late-bound invoker: arguments are converted from
// Variants before the call (a conversion error is the call's status), by-reference arguments
// are written back after it, and an Out<T> parameter becomes the call's result.

#include "core/Guarded.h"
#include <palvex/Enumerations.h>
#include <palvex/MemberTable.h>
#include <palvex/Out.h>
#include <palvex/Variant.h>

#include <QFont>
#include <QString>

#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace palvex::invoke {

template <class T> struct EnumName { static constexpr std::string_view value = ""; };
#define PALVEX_ENUM_NAME(E)                                                                        \
    template <> struct EnumName<E> { static constexpr std::string_view value = #E; };
PALVEX_ENUM_NAME(AlignType)
PALVEX_ENUM_NAME(AlignPicHorizontalType)
PALVEX_ENUM_NAME(AlignPicVerticalType)
PALVEX_ENUM_NAME(WhereToPrintChars)
PALVEX_ENUM_NAME(DirectionOfPrintCharsType)
PALVEX_ENUM_NAME(KindOfHeaderType)
PALVEX_ENUM_NAME(AfterPrintType)
PALVEX_ENUM_NAME(txtMessageType)
PALVEX_ENUM_NAME(Footer1Number)
PALVEX_ENUM_NAME(Proporional_CurrentY)
#undef PALVEX_ENUM_NAME

// Conversion of one value type.
template <class T> T fromVariant(const Variant& v) {
    if constexpr (std::is_same_v<T, bool>)
        return v.toBool();
    else if constexpr (std::is_same_v<T, int16_t>)
        return v.toInt16();
    else if constexpr (std::is_same_v<T, int32_t>)
        return v.toInt32();
    else if constexpr (std::is_same_v<T, float>)
        return v.toSingle();
    else if constexpr (std::is_same_v<T, QString>)
        return v.toString();
    else if constexpr (std::is_same_v<T, QFont>)
        return v.toFont();
    else if constexpr (std::is_enum_v<T>)
        return static_cast<T>(v.toInt32());
    else
        static_assert(sizeof(T) == 0, "unsupported parameter type");
}

template <class T> Variant toVariant(const T& value) {
    if constexpr (std::is_enum_v<T>)
        return Variant(static_cast<int32_t>(value));
    else
        return Variant(value);
}

template <class T> constexpr ValueType valueTypeOf() {
    if constexpr (std::is_same_v<T, bool>)
        return ValueType::Boolean;
    else if constexpr (std::is_same_v<T, int16_t>)
        return ValueType::Integer;
    else if constexpr (std::is_same_v<T, int32_t>)
        return ValueType::Long;
    else if constexpr (std::is_same_v<T, float>)
        return ValueType::Single;
    else if constexpr (std::is_same_v<T, QString>)
        return ValueType::String;
    else if constexpr (std::is_same_v<T, QFont>)
        return ValueType::Font;
    else
        return ValueType::Enumeration;
}

// How a C++ parameter crosses: by value, by reference, optional, or the result. A const
// reference is by reference to a late-bound caller too: its argument comes back in the
// declared type, whether or not the member changes it.
template <class P> struct Param {
    using Value = std::decay_t<P>;
    static constexpr bool byRef = std::is_lvalue_reference_v<P>;
    static constexpr bool setByMember = byRef && !std::is_const_v<std::remove_reference_t<P>>;
    static constexpr bool optional = false;
    static constexpr bool result = false;
    using Storage = Value;
    static Storage load(Variant* arg) { return fromVariant<Value>(*arg); }
    static P pass(Storage& s) { return s; }
    static void store(Variant* arg, Storage& s) {
        if constexpr (byRef) *arg = toVariant(s);
    }
};
template <class T> struct Param<T*> { // optional by reference
    using Value = T;
    static constexpr bool byRef = true, optional = true, result = false, setByMember = true;
    using Storage = std::optional<T>;
    static Storage load(Variant* arg) {
        if (!arg || arg->isMissing()) return std::nullopt;
        return fromVariant<T>(*arg);
    }
    static T* pass(Storage& s) { return s ? &*s : nullptr; }
    static void store(Variant* arg, Storage& s) {
        if (arg && s && !arg->isMissing()) *arg = toVariant(*s);
    }
};
template <class T> struct Param<const T*> : Param<T*> { // the member only reads it
    static constexpr bool setByMember = false;
};
template <class T> struct Param<Out<T>> {
    using Value = T;
    static constexpr bool byRef = false, optional = false, result = true, setByMember = false;
    using Storage = T;
};

template <class M> struct MethodTraits;
template <class... A> struct MethodTraits<Status (Palvex::*)(A...)> {
    using Args = std::tuple<A...>;
    static constexpr size_t count = sizeof...(A);
};

template <class Tuple, size_t... I> constexpr size_t countInputs(std::index_sequence<I...>) {
    return ((Param<std::tuple_element_t<I, Tuple>>::result ? 0 : 1) + ... + 0);
}

template <auto Method> Status call(Palvex& control, std::span<Variant> args, Variant* result) {
    using Traits = MethodTraits<decltype(Method)>;
    using Args = typename Traits::Args;
    return [&]<size_t... I>(std::index_sequence<I...>)->Status {
        constexpr size_t inputs = countInputs<Args>(std::index_sequence<I...>{});
        if (args.size() > inputs) return Status::InvalidProcedureCall;
        [[maybe_unused]] auto argAt = [&](size_t i) -> Variant* {
            return i < args.size() ? &args[i] : nullptr;
        };
        return guardedStatus([&] {
            std::tuple<typename Param<std::tuple_element_t<I, Args>>::Storage...> storage{
                [&]() -> typename Param<std::tuple_element_t<I, Args>>::Storage {
                    using P = Param<std::tuple_element_t<I, Args>>;
                    if constexpr (P::result)
                        return {};
                    else if constexpr (P::optional)
                        return P::load(argAt(I));
                    else {
                        Variant* arg = argAt(I);
                        if (!arg || arg->isMissing()) raise(Status::ArgumentNotOptional);
                        return P::load(arg);
                    }
                }()...};
            [[maybe_unused]] auto pass = [&]<size_t K>() -> decltype(auto) {
                using A = std::tuple_element_t<K, Args>;
                using P = Param<A>;
                if constexpr (P::result)
                    return Out<typename P::Value>(std::get<K>(storage));
                else
                    return P::pass(std::get<K>(storage));
            };
            const Status status = (control.*Method)(pass.template operator()<I>()...);
            (
                [&] {
                    using P = Param<std::tuple_element_t<I, Args>>;
                    if constexpr (P::result) {
                        if (result) *result = toVariant(std::get<I>(storage));
                    } else if constexpr (P::byRef) {
                        P::store(argAt(I), std::get<I>(storage));
                    }
                }(),
                ...);
            return status;
        });
    }
    (std::make_index_sequence<Traits::count>{});
}

// Helpers as plain templates, not nested generic lambdas: some compilers (clang 14) crash on
// those.
template <class A>
void appendParam(std::vector<ParamInfo>& out, const std::string_view*& it,
                 const std::string_view* end) {
    using P = Param<A>;
    if constexpr (!P::result)
        out.push_back({it != end ? *it++ : std::string_view{}, valueTypeOf<typename P::Value>(),
                       EnumName<typename P::Value>::value, P::byRef, P::optional, P::setByMember});
}

template <class Args, size_t... I>
void appendParams(std::vector<ParamInfo>& out, std::initializer_list<std::string_view> names,
                  std::index_sequence<I...>) {
    [[maybe_unused]] const std::string_view* it = names.begin();
    (appendParam<std::tuple_element_t<I, Args>>(out, it, names.end()), ...);
}

template <auto Method>
std::vector<ParamInfo> params(std::initializer_list<std::string_view> names) {
    using Args = typename MethodTraits<decltype(Method)>::Args;
    std::vector<ParamInfo> out;
    appendParams<Args>(out, names, std::make_index_sequence<std::tuple_size_v<Args>>{});
    return out;
}

template <class A> void noteResult(std::optional<ParamInfo>& out) {
    using P = Param<A>;
    if constexpr (P::result)
        out = ParamInfo{"", valueTypeOf<typename P::Value>(), EnumName<typename P::Value>::value,
                        false, false};
}

template <class Args, size_t... I>
std::optional<ParamInfo> resultOfArgs(std::index_sequence<I...>) {
    std::optional<ParamInfo> out;
    (noteResult<std::tuple_element_t<I, Args>>(out), ...);
    return out;
}

template <auto Method> std::optional<ParamInfo> resultOf() {
    using Args = typename MethodTraits<decltype(Method)>::Args;
    return resultOfArgs<Args>(std::make_index_sequence<std::tuple_size_v<Args>>{});
}

} // namespace palvex::invoke
