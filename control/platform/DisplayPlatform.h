#pragma once

#include "core/InternalExport.h"

#include <string>
#include <vector>

namespace palvex {

// The windowing platform of an application Palvex makes itself (for a C or Python host, the
// script host, the demonstration). Qt ends the process when the platform it was asked for
// cannot open a display, which is how report jobs start on servers (cron, a web back end, CI):
// there the application runs on the offscreen platform instead, where recording, exporting,
// printing and saving work and only showing a preview cannot.
class PALVEX_INTERNAL_EXPORT DisplayPlatform {
public:
    // The arguments to make the QApplication with: the program's, with the platforms to try in
    // turn, the one asked for (-platform, else QT_QPA_PLATFORM, else the display the
    // environment names) first and the offscreen one last. The list is the application's
    // argument rather than the environment's, so programs the application starts are unaffected.
    // The application keeps references to them: they must live as long as it does.
    class Arguments {
    public:
        // A missing or empty argv gives the program the name "palvex".
        Arguments(int argc, const char* const* argv);
        Arguments(const Arguments&) = delete;
        Arguments& operator=(const Arguments&) = delete;
        int& argc() { return m_count; }
        char** argv() { return m_pointers.data(); }

    private:
        std::vector<std::string> m_strings;
        std::vector<char*> m_pointers;
        int m_count = 0;
    };
    // After the application is made: when the platform it came up on is the offscreen fallback,
    // says so once on standard error. True then.
    static bool noteFallback();
    // The application fell back to the offscreen platform: no display could be opened.
    static bool withoutDisplay();
    // Nothing shown can be seen or answered: the offscreen and minimal platforms.
    static bool screenless();
};

} // namespace palvex
