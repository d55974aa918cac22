#include <palvex/Application.h>

#include "platform/DisplayPlatform.h"

namespace palvex {

Application::Arguments Application::prepared(int argc, char** argv) {
    DisplayPlatform::Arguments& arguments = DisplayPlatform::lastingArguments(argc, argv);
    return {arguments.argc(), arguments.argv()};
}

Application::Application(int argc, char** argv, Notice notice)
    : Application(prepared(argc, argv), notice) {}

Application::Application(Arguments arguments, Notice notice)
    : QApplication(arguments.argc, arguments.argv) {
    DisplayPlatform::noteFallback(notice == Notice::Quiet);
}

bool Application::withoutDisplay() const {
    return DisplayPlatform::withoutDisplay();
}

} // namespace palvex
