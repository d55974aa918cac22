#pragma once

#include <string>

#include <sys/types.h>

namespace palvex {

// Qt keeps its per-user sockets and locks in the folder XDG_RUNTIME_DIR names, and warns on
// standard error when the variable is not set, as under cron, in a container or over a plain
// ssh session. Palvex gives the applications it makes a folder of the user's own instead, so a
// report job that went well prints nothing.
class RuntimeFolder {
public:
    // When XDG_RUNTIME_DIR is not set, sets it to "palvex-runtime-UID" under the temporary folder
    // (TMPDIR, else /tmp), once prepare() found it fit; otherwise leaves it to Qt, which then
    // says what it found. Qt reads the variable once: this must come before the application.
    static void provide();
    // The folder at path, fit for the user owner alone: made with mode 0700 when missing; an
    // existing one only when it is a folder itself (not a link to one), owned by owner and of
    // mode 0700, so a folder another user planted is never used. False when it is not fit.
    static bool prepare(const std::string& path, uid_t owner);
};

} // namespace palvex
