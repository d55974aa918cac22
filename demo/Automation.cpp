#include "Automation.h"

namespace palvex::demo {

Automation::Automation(Palvex& control, Reporter reporter)
    : m_dispatch(control), m_reporter(std::move(reporter)) {}

DispId Automation::idOf(std::string_view name) {
    if (auto it = m_ids.find(name); it != m_ids.end()) return it->second;
    const DispId id = m_dispatch.idOfName(name);
    m_ids.emplace(std::string(name), id);
    return id;
}

Status Automation::invoke(std::string_view name, InvokeKind kind, std::vector<Variant>& args,
                          Variant* result) {
    const DispId id = idOf(name);
    const Status status =
        id == UnknownDispId ? Status::NoSuchMember : m_dispatch.invoke(id, kind, args, result);
    m_last.insert_or_assign(std::string(name), status);
    if (status != Status::Ok) {
        const QString member = QString::fromLatin1(name.data(), qsizetype(name.size()));
        m_failures.push_back({member, status});
        if (m_reporter) {
            const std::string_view text = describe(status);
            m_reporter(QStringLiteral("%1: error %2: %3")
                           .arg(member)
                           .arg(int(status))
                           .arg(QString::fromLatin1(text.data(), qsizetype(text.size()))));
        }
    }
    return status;
}

void Automation::call(std::string_view name, std::vector<Variant>& args, Variant* result) {
    (void)invoke(name, InvokeKind::Method, args, result);
}

void Automation::call(std::string_view name, std::initializer_list<Variant> args) {
    std::vector<Variant> values(args);
    (void)invoke(name, InvokeKind::Method, values, nullptr);
}

Variant Automation::result(std::string_view name, std::initializer_list<Variant> args) {
    std::vector<Variant> values(args);
    Variant value;
    (void)invoke(name, InvokeKind::Method, values, &value);
    return value;
}

Variant Automation::get(std::string_view property) {
    std::vector<Variant> none;
    Variant value;
    (void)invoke(property, InvokeKind::PropertyGet, none, &value);
    return value;
}

void Automation::set(std::string_view property, Variant value) {
    std::vector<Variant> args{std::move(value)};
    (void)invoke(property, InvokeKind::PropertyPut, args, nullptr);
}

Status Automation::lastStatus(std::string_view name) const {
    const auto it = m_last.find(name);
    return it == m_last.end() ? Status::Ok : it->second;
}

} // namespace palvex::demo
