#pragma once

#include "core/InternalExport.h"

#include <string>
#include <vector>

namespace palvex {

// The windowing platform of an application Palvex makes itself (for a C or Python host, a C++
// host's palvex::Application, the script host, the demonstration). Qt ends the process when the
// platform it was asked for cannot open a display, which is how report jobs start on servers (cron,
// a web back end, CI): there the application runs on the offscreen platform instead, where
// recording, exporting, printing and saving work and only showing a preview cannot.
class PALVEX_INTERNAL_EXPORT DisplayPlatform {
public:
    // The arguments to make the QApplication with: the program's, with the platforms to try in
    // turn, the one asked for (-platform, else QT_QPA_PLATFORM, else the display the
    // environment names) first and the offscreen one last. The list is the application's
    // argument rather than the environment's, so programs the application starts are unaffected.
    // The application keeps references to them: they must live as long as it does.
    // Making them also gives Qt a runtime folder where the environment names none
    // (RuntimeFolder), as it must be set before the application starts.
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
    // Arguments kept until the process ends, for the application made next: a C or Python
    // host's, whose end no one can tell, or palvex::Application, whose QApplication base is made
    // before any member of its own could hold them. The next call replaces them, for an
    // application made after the last one ended.
    static Arguments& lastingArguments(int argc, const char* const* argv);
    // After the application is made: when the platform it came up on is the offscreen fallback,
    // says so once on standard error, unless quiet or PALVEX_QUIET is set (and not "0"): a
    // server's job, whose output is mailed, then prints nothing. Qt's warnings that the platform
    // lacks a window system's features are dropped there. True on the fallback either way.
    static bool noteFallback(bool quiet = false);
    // The application fell back to the offscreen platform: no display could be opened.
    static bool withoutDisplay();
    // Nothing shown can be seen or answered: the offscreen and minimal platforms.
    static bool screenless();
};

} // namespace palvex
