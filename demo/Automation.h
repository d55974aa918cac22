#pragma once

#include <palvex/Dispatch.h>

#include <QString>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace palvex {
class Palvex;
}

namespace palvex::demo {

// The demonstration's only way into the control: late binding by name. Each name is looked up
// once (idOfName) and then invoked by its dispatch identifier, as a host that knows nothing
// but the type library would. A failing call is remembered and reported, and the report goes
// on, as a host's error handler that resumes with the next statement would.
class Automation {
public:
    struct Failure {
        QString member;
        Status status;
    };
    using Reporter = std::function<void(const QString& line)>;

    explicit Automation(Palvex& control, Reporter reporter = {});

    // A method; by-reference arguments are written back into `args`. A failure is recorded and
    // reported, not returned: see failures() and lastStatus().
    void call(std::string_view name, std::vector<Variant>& args, Variant* result = nullptr);
    void call(std::string_view name, std::initializer_list<Variant> args = {});
    // A method's result (a function without arguments, such as gtTopMargin).
    Variant result(std::string_view name, std::initializer_list<Variant> args = {});
    Variant get(std::string_view property);
    void set(std::string_view property, Variant value);

    const std::vector<Failure>& failures() const { return m_failures; }
    // The status of the last call of a member (Ok when it was never called).
    Status lastStatus(std::string_view name) const;

private:
    DispId idOf(std::string_view name);
    Status invoke(std::string_view name, InvokeKind kind, std::vector<Variant>& args,
                  Variant* result);

    Dispatch m_dispatch;
    Reporter m_reporter;
    std::map<std::string, DispId, std::less<>> m_ids;
    std::map<std::string, Status, std::less<>> m_last;
    std::vector<Failure> m_failures;
};

} // namespace palvex::demo
