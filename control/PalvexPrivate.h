#pragma once

#include "core/Guarded.h"
#include "core/LastError.h"
#include "platform/ImageSurface.h"
#include "platform/Platform.h"
#include "platform/Surface.h"
#include "preview/PreviewState.h"
#include "recording/ReportState.h"
#include "recording/ReportStore.h"
#include "recording/WorkingFolder.h"

#include <palvex/Palvex.h>

#include <memory>

namespace palvex {

class ItemWriter;
class TextRecorder;
class GraphicsRecorder;
class PageRecorder;
class LayoutRecorder;
class PropertyRules;
class PreviewStartup;
class PreviewWindow;
class PageRenderer;
class Navigation;
class PreviewController;
class PageCentring;
class OptionPanels;
class Search;
class PrinterPanel;
class Thumbnails;
class PrintoutSaveFile;
class HostMessageBoxes;
class ControlMessages;

// What a control is made of. The public class holds one of these, so that the parts can change
// without changing what a host compiles against.
class PalvexPrivate {
public:
    PalvexPrivate(Palvex& control, Platform platform, const Ambient& ambient);
    ~PalvexPrivate();
    // Makes the parts and wires them to one another and to the control's window.
    void build();
    void buildRecording();
    void buildPreview();
    void connectParts();

    // For tests and tools: the report store, the recording surface, the report's state and the
    // preview's.
    const ReportStore& reportStore() const { return m_store; }
    const Surface& recordingSurface() const { return m_pic; }
    const ReportState& report() const { return m_report; }
    const PreviewState& view() const { return m_view; }
    const Platform& platform() const { return m_platform; }
    const Ambient& ambient() const { return m_ambient; }
    // The page canvas as drawn, and where its text items were drawn.
    const QImage& canvasImage() { return m_canvas.image(); }
    const ImageSurface& canvas() const { return m_canvas; }
    const PageRenderer& renderer() const { return *m_renderer; }
    const Search& search() const { return *m_search; }

    // A member's body at the boundary: what it throws becomes its status, and a refusal is noted
    // under the member's name for lastErrorDetail. Members pass their __func__.
    template <class F> Status guard(std::string_view function, F&& body) noexcept {
        return m_lastError.run(function, std::forward<F>(body));
    }

    // A window event failed: the user hears of it and the window is left usable.
    void recoverFromFailure(Status status);
    // A report that printLastPage ended and Close has not forgotten: its page index is complete.
    bool reportEnded() const { return m_reportShown && m_store.itemCount() > 0; }
    // A start succeeded and neither Close nor a failed SavePrint has ended the report since.
    bool reportOpen() const { return m_store.isOpen() && m_report.lines.surface(); }
    // Writes the printout when the control ends, if SavePrint named a file.
    void WritePrintout();
    // The parts' notices passed on as the control's signals.
    void connectHostSignals();

    Palvex& q;
    Platform m_platform;
    Ambient m_ambient;
    ReportState m_report;
    PreviewState m_view;
    ReportStore m_store;
    LastError m_lastError;
    MeasuringSurface m_pic; // PIC: the hidden recording surface
    ImageSurface m_canvas;  // p1(0): the page canvas
    std::unique_ptr<ItemWriter> m_writer;
    std::unique_ptr<TextRecorder> m_text;
    std::unique_ptr<GraphicsRecorder> m_graphics;
    std::unique_ptr<PageRecorder> m_pages;
    std::unique_ptr<LayoutRecorder> m_layout;
    std::unique_ptr<PropertyRules> m_properties;
    std::unique_ptr<PreviewStartup> m_startup;
    std::unique_ptr<PreviewWindow> m_window;
    std::unique_ptr<PageRenderer> m_renderer;
    Navigation* m_navigation = nullptr; // a child QObject of the control
    std::unique_ptr<PreviewController> m_preview;
    std::unique_ptr<PageCentring> m_centring;
    std::unique_ptr<OptionPanels> m_panels;
    Search* m_search = nullptr;             // a child QObject of the control
    PrinterPanel* m_printerPanel = nullptr; // a child QObject of the control
    Thumbnails* m_thumbnails = nullptr;     // a child QObject of the control
    std::unique_ptr<PrintoutSaveFile> m_saveFile;
    bool m_saveEnabled = false;
    bool m_laidOut = false; // the preview window has been laid out by a start
    WorkingFolder m_workingFolder;
    std::unique_ptr<ControlMessages> m_messages;   // the control's own four messages
    std::shared_ptr<HostMessageBoxes> m_hostBoxes; // every box of the control goes through it
    bool m_reportShown = false; // printLastPage has ended the report of the last start
};

} // namespace palvex
