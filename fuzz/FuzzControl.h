#pragma once

// One control for a whole fuzzing run, on the offscreen platform, recording into a private
// temporary folder, with scripted message boxes (whose log is dropped as it grows) and the
// built-in PDF printer only.

#include "PalvexPrivate.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include <palvex/Palvex.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace palvex::fuzz {

class FuzzControl {
public:
    FuzzControl() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("CUPS_SERVER", "/nonexistent/palvex-fuzz.sock", 1);
        static int argc = 1;
        static char name[] = "palvex-fuzz";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
        m_dir = std::make_unique<QTemporaryDir>();
        std::filesystem::current_path(m_dir->path().toStdString());
        m_boxes = std::make_shared<ScriptedMessageBoxes>();
        Platform platform;
        platform.screen = std::make_shared<Screen>(9600.0f, 7200.0f);
        platform.messageBoxes = m_boxes;
        platform.printers = std::make_shared<FixedPrinters>(QList{Printers::pdfDevice()});
        m_control = std::make_unique<Palvex>(platform, Ambient{});
        restart();
    }

    Palvex& control() { return *m_control; }

    // Keeps the report store and the message log from growing across runs.
    void tidy() {
        m_boxes->clearLog();
        if (m_control->internals().reportStore().itemCount() > 20000) restart();
    }

private:
    // A start that fails would leave the run fuzzing a control that records nothing.
    void restart() {
        if (const Status status = m_control->StartPalvexPrintPreview(); status != Status::Ok) {
            std::fprintf(stderr, "palvex-fuzz: the report cannot start (status %d)\n",
                         int(status));
            std::abort();
        }
    }

    std::unique_ptr<QApplication> m_app;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<Palvex> m_control;
};

} // namespace palvex::fuzz
