#include "DisplayPlatform.h"

#include "RuntimeFolder.h"

#include <QGuiApplication>
#include <QVariant>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace palvex {

namespace {

constexpr const char* Offscreen = "offscreen";
// Marks the application that fell back, on the application itself: it lives as long as the
// fact does, and a later application of the process starts unmarked.
constexpr const char* FallbackProperty = "palvexWithoutDisplay";

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// PALVEX_QUIET set, to anything but "0".
bool quietByEnvironment() {
    return isSet("PALVEX_QUIET") && std::string_view(std::getenv("PALVEX_QUIET")) != "0";
}

// The first platform of a list ("wayland;xcb", or "offscreen:fontengine=freetype").
std::string_view firstPlatform(std::string_view list) {
    return list.substr(0, list.find_first_of(";:"));
}

// What was asked for when this process last built its application's arguments.
std::string& requestedPlatform() {
    static std::string requested;
    return requested;
}

// Qt's warnings that the platform lacks a feature of a window system ("This plugin does not
// support propagateSizeHints()", grabs, reparenting), given whenever a host's window uses one. On
// the fallback no window system was asked for and none is missed: they would only fill a
// server job's mail. Every other message goes on to the handler there was before.
QtMessageHandler handlerBefore = nullptr;

void withoutMissingFeatures(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support ")))
        return;
    handlerBefore(type, context, message);
}

void dropMissingFeatureWarnings() {
    // Once a process: a second handler in the chain would hand messages to itself.
    if (!handlerBefore) handlerBefore = qInstallMessageHandler(withoutMissingFeatures);
}

} // namespace

namespace {

std::vector<std::string> withPlatforms(std::vector<std::string> arguments) {
    std::string asked;
    size_t given = arguments.size();
    for (size_t i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "-platform" || arguments[i] == "--platform") {
            asked = arguments[i + 1];
            given = i;
        }
    if (asked.empty() && isSet("QT_QPA_PLATFORM")) asked = std::getenv("QT_QPA_PLATFORM");
    if (asked.empty()) {
        // The display the environment names; with none there is nothing to try.
        const char* session = std::getenv("XDG_SESSION_TYPE");
        const bool wayland = isSet("WAYLAND_DISPLAY"), x11 = isSet("DISPLAY");
        const bool waylandFirst = wayland && session && std::string_view(session) == "wayland";
        if (waylandFirst) asked = "wayland";
        if (x11) asked += asked.empty() ? "xcb" : ";xcb";
        if (wayland && !waylandFirst) asked += asked.empty() ? "wayland" : ";wayland";
    }
    requestedPlatform() = asked;
    const std::string list = asked.empty()                       ? std::string(Offscreen)
                             : firstPlatform(asked) == Offscreen ? asked
                                                                 : asked + ";" + Offscreen;
    if (given < arguments.size()) {
        arguments[given + 1] = list;
    } else {
        arguments.insert(arguments.begin() + (arguments.empty() ? 0 : 1), {"-platform", list});
    }
    return arguments;
}

} // namespace

DisplayPlatform::Arguments::Arguments(int argc, const char* const* argv) {
    RuntimeFolder::provide();
    std::vector<std::string> given;
    for (int i = 0; argv && i < argc; ++i)
        given.emplace_back(argv[i] ? argv[i] : "");
    if (given.empty()) given.emplace_back("palvex");
    m_strings = withPlatforms(std::move(given));
    for (std::string& s : m_strings)
        m_pointers.push_back(s.data());
    m_pointers.push_back(nullptr);
    m_count = int(m_strings.size());
}

DisplayPlatform::Arguments& DisplayPlatform::lastingArguments(int argc, const char* const* argv) {
    static std::optional<Arguments> arguments;
    arguments.emplace(argc, argv);
    return *arguments;
}

bool DisplayPlatform::noteFallback(bool quiet) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != QLatin1String(Offscreen) ||
        firstPlatform(requestedPlatform()) == Offscreen)
        return false;
    if (!app->property(FallbackProperty).toBool()) {
        app->setProperty(FallbackProperty, true);
        dropMissingFeatureWarnings();
        if (quiet || quietByEnvironment()) return true;
        const std::string& asked = requestedPlatform();
        const std::string why =
            asked.empty() ? "DISPLAY and WAYLAND_DISPLAY are not set" : "tried " + asked;
        std::fprintf(stderr,
                     "palvex: no display could be opened (%s); running on the offscreen "
                     "platform: reports record, export (ExportPdf), print (PrintReport) and save "
                     "(SavePrint), but no preview can be shown\n",
                     why.c_str());
    }
    return true;
}

bool DisplayPlatform::withoutDisplay() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->property(FallbackProperty).toBool();
}

bool DisplayPlatform::screenless() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String(Offscreen) || platform == QLatin1String("minimal");
}

} // namespace palvex
