// The live C handles. Tokens count up from a value no allocation returns near zero and step by
// 16, so they look like aligned pointers to a host that prints or compares them.

#include "capi/Handle.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <unordered_map>

namespace palvex::capi {

namespace {

struct Registry {
    std::mutex mutex; // palvex_destroy may come from any thread
    std::unordered_map<uintptr_t, std::unique_ptr<ControlHandle>> handles;
    uintptr_t next = 0x5a1000;
};

// Never destroyed: a host that ends without releasing its controls must not have them deleted
// among the static destructors, after Qt's own are gone.
Registry& registry() {
    static Registry* const instance = new Registry;
    return *instance;
}

void reportDead(const palvex_control* token, const char* function) {
    std::fprintf(stderr, "palvex: %s: %s\n", function,
                 token ? "this handle is not a live control (destroyed, or never created)"
                       : "the control handle is NULL");
}

} // namespace

palvex_control* registerHandle(std::unique_ptr<ControlHandle> handle) {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    const uintptr_t token = r.next;
    r.next += 16;
    r.handles.emplace(token, std::move(handle));
    return reinterpret_cast<palvex_control*>(token);
}

ControlHandle* liveHandle(const palvex_control* token, const char* function) {
    Registry& r = registry();
    {
        const std::lock_guard lock(r.mutex);
        if (const auto found = r.handles.find(reinterpret_cast<uintptr_t>(token));
            found != r.handles.end())
            return found->second.get();
    }
    reportDead(token, function);
    return nullptr;
}

std::unique_ptr<ControlHandle> takeHandle(const palvex_control* token, const char* function) {
    Registry& r = registry();
    {
        const std::lock_guard lock(r.mutex);
        if (auto found = r.handles.find(reinterpret_cast<uintptr_t>(token));
            found != r.handles.end()) {
            std::unique_ptr<ControlHandle> handle = std::move(found->second);
            r.handles.erase(found);
            return handle;
        }
    }
    reportDead(token, function);
    return nullptr;
}

} // namespace palvex::capi
