#pragma once

#include "Dialogs.h"
#include "MessageBoxes.h"
#include "Printers.h"
#include "Screen.h"
#include "core/InternalExport.h"

#include <QFont>

#include <memory>

namespace palvex {

// What the host tells the control about its form.
struct Ambient {
    QFont font;
    bool userMode = true; // false while the host's form is being designed
};

// The services the control relies on, shared with the host.
struct Platform {
    std::shared_ptr<Screen> screen;
    std::shared_ptr<MessageBoxes> messageBoxes;
    std::shared_ptr<Printers> printers;
    std::shared_ptr<Dialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::shared_ptr<KeyboardLayouts> keyboard = std::make_shared<KeyboardLayouts>();

    // Real dialogs, the real screen and the system's printers.
    PALVEX_INTERNAL_EXPORT static Platform desktop();
    // Scripted message boxes reporting to `listener`, a 9600 x 7200 twip screen, system printers.
    PALVEX_INTERNAL_EXPORT static Platform headless(ScriptedMessageBoxes::Listener listener = {});

    // A write past the process's file-size limit (ulimit -f) otherwise ends the process with
    // SIGXFSZ, losing the report; ignored, the write fails and the item gets status 61 (disk
    // full) like any full disk. A signal's disposition is the process's, so a host calls this
    // once in main; the control never changes it by itself.
    static void reportFileSizeLimitAsDiskFull();
};

} // namespace palvex
