#pragma once

#include "Guarded.h"

#include <functional>
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
        const Status status = guarded(std::forward<F>(handler));
        if (status == Status::Ok) return;
        // Reporting may fail too: the window then stays as it is.
        (void)guarded([&] {
            if (onFailure) onFailure(status);
        });
    }
};

} // namespace palvex
