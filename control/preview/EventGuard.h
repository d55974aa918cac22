#pragma once

#include "interface/Guarded.h"

#include <functional>
#include <new>
#include <utility>

namespace palvex {

// Runs the handlers of the window's events (clicks, list choices, keys, scrolling) so that
// nothing they throw reaches the event loop, which would end the host's process. A failure is
// handed to `onFailure`, which tells the user and puts the window back in a usable state.
class EventGuard {
public:
    std::function<void(Status)> onFailure;

    // A slot that runs `handler` through the guard.
    template <class F> auto handler(F body) {
        return [this, body = std::move(body)] { run(body); };
    }

    template <class F> void run(F&& handler) noexcept {
        Status status = Status::Ok;
        try {
            handler();
            return;
        } catch (const Error& error) {
            status = error.status;
        } catch (const std::bad_alloc&) {
            status = Status::OutOfMemory;
        } catch (...) {
            status = Status::InvalidProcedureCall;
        }
        try {
            if (onFailure) onFailure(status);
        } catch (...) {
            // Reporting failed too: the window stays as it is.
        }
    }
};

} // namespace palvex
