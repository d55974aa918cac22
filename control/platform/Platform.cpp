#include "Platform.h"

#include <csignal>

namespace palvex {

Platform Platform::desktop() {
    return {std::make_shared<Screen>(), std::make_shared<QtMessageBoxes>(), Printers::system(),
            std::make_shared<QtDialogs>()};
}

Platform Platform::headless(ScriptedMessageBoxes::Listener listener) {
    return {std::make_shared<Screen>(9600.0f, 7200.0f),
            std::make_shared<ScriptedMessageBoxes>(std::move(listener)), Printers::system()};
}

void Platform::reportFileSizeLimitAsDiskFull() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace palvex
