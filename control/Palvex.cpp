#include "Palvex.h"

#include "platform/CodePage.h"
#include "preview/Navigation.h"
#include "preview/OptionPanels.h"
#include "preview/PageCanvas.h"
#include "preview/PageCentring.h"
#include "preview/PageRenderer.h"
#include "preview/PreviewController.h"
#include "preview/PreviewStartup.h"
#include "preview/PreviewWindow.h"
#include "preview/Search.h"
#include "printing/PrinterPanel.h"
#include "printout/PrintoutSaveFile.h"
#include "recording/GraphicsRecorder.h"
#include "recording/ItemWriter.h"
#include "recording/PageRecorder.h"
#include "recording/PropertyPersistence.h"
#include "recording/PropertyRules.h"
#include "recording/TextRecorder.h"
#include "texts/HostMessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>

#include <cmath>

#ifndef PALVEX_VERSION
#define PALVEX_VERSION "0.0.0"
#endif

namespace palvex {

Palvex::Palvex(Platform platform, Ambient ambient, QWidget* parent)
    : QWidget(parent), m_platform(std::move(platform)), m_ambient(std::move(ambient)),
      m_store(CodePage::system()), m_saveFile(std::make_unique<PrintoutSaveFile>()) {
    setObjectName(QStringLiteral("Palvex"));
    m_hostBoxes = std::make_shared<HostMessageBoxes>(m_platform.messageBoxes);
    m_platform.messageBoxes = m_hostBoxes;
    m_state.props.Font = m_ambient.font;
    m_state.props.ownFont = m_ambient.font;
    m_state.props.canvasFont = m_ambient.font;
    m_state.surface = &m_pic;
    m_writer = std::make_unique<ItemWriter>(m_state, m_store);
    m_text = std::make_unique<TextRecorder>(m_state, *m_writer, m_pic);
    m_graphics = std::make_unique<GraphicsRecorder>(m_state, *m_writer, *m_platform.messageBoxes,
                                                    CodePage::system());
    m_pages = std::make_unique<PageRecorder>(m_state, m_store, *m_text, *m_graphics, m_pic);
    m_properties = std::make_unique<PropertyRules>(*this);
    m_pages->onIllegalValue = [this](IllegalValue kind) { m_properties->warnIllegal(kind); };
    m_startup =
        std::make_unique<PreviewStartup>(m_state, m_store, m_pic, m_canvas, *m_platform.printers);

    m_window = std::make_unique<PreviewWindow>(this);
    m_canvas.setBackColor(Qt::white); // a white page on the preview colour
    m_canvas.setDevicePixelRatio(devicePixelRatioF());
    m_window->p1->setSurface(&m_canvas);
    m_renderer = std::make_unique<PageRenderer>(m_state, m_store, m_canvas, m_pic, *m_window);
    m_navigation =
        new Navigation(m_state, m_store, *m_renderer, *m_window, *m_platform.screen, this);
    m_preview = std::make_unique<PreviewController>(m_state, m_store, *m_startup, *m_window,
                                                    *m_renderer, *m_navigation, *m_platform.screen);
    m_pages->onPageFormatted = [this](int32_t pages) { m_preview->ShowFormattingPage(pages); };
    m_centring =
        std::make_unique<PageCentring>(m_state, m_store, *m_renderer, *m_window, *m_navigation,
                                       *m_platform.screen, *m_platform.dialogs);
    m_centring->onBackColor = [this](int32_t color) { m_state.props.BackColor = color; };
    m_panels =
        std::make_unique<OptionPanels>(m_state, m_store, *m_renderer, *m_window, *m_centring);
    m_search = new Search(m_state, m_store, *m_renderer, *m_window, *m_navigation, m_canvas,
                          *m_platform.keyboard);
    connect(m_search, &Search::notFound, this, [this](const QString& text) {
        m_platform.messageBoxes->beep();
        showMessage(K2_Not_found_any_more, text);
    });
    m_navigation->setSearch(m_search);
    m_navigation->setCentring(m_centring.get());
    m_printerPanel = new PrinterPanel(m_state, m_store, *m_window, *m_platform.printers,
                                      *m_platform.dialogs, *m_platform.screen, m_pic);
    m_printerPanel->showMessage = [this](int kind, const QString& text) {
        return showMessage(kind, text);
    };
    connect(m_printerPanel, &PrinterPanel::beep, this, [this] { m_platform.messageBoxes->beep(); });
    connect(m_navigation, &Navigation::printRequested, this,
            m_window->guard.handler([this] { m_printerPanel->open(); }));
    connect(m_window->cboMoreOptions, &QComboBox::activated, this,
            m_window->guard.handler([this] { m_centring->cboMoreOptions_Click(); }));
    m_window->guard.onFailure = [this](Status status) { recoverFromFailure(status); };
    for (QCheckBox* box :
         {m_window->chkZoomCurrentx, m_window->chkZoomWidth, m_window->chkZoomHeight})
        connect(box, &QCheckBox::toggled, this, [this] {
            m_state.zoomCurrentX = m_window->chkZoomCurrentx->isChecked();
            m_state.zoomWidth = m_window->chkZoomWidth->isChecked();
            m_state.zoomHeight = m_window->chkZoomHeight->isChecked();
        });
    connectHostSignals();
}

const QImage& Palvex::canvasImage() {
    return m_canvas.image();
}

// A window event failed (a page that cannot be read, a printer that went away): the user hears
// of it, and nothing that the failed handler started is left on the screen.
void Palvex::recoverFromFailure(Status status) {
    m_platform.screen->setWaitCursor(false);
    m_window->Prg1->hide();
    m_window->cmdCancelPrinting->hide();
    m_window->p1->show();
    m_state.pagesCentred = false;
    const std::string_view description = describe(status);
    qWarning("Palvex: %.*s (error %d)", int(description.size()), description.data(), int(status));
    m_platform.messageBoxes->beep();
    m_platform.messageBoxes->show(
        QStringLiteral("The preview could not complete this:\n%1 (error %2)")
            .arg(QString::fromLatin1(description.data(), qsizetype(description.size())))
            .arg(int(status)),
        MessageBoxes::Exclamation, this);
}

void Palvex::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // On a form being designed the control stays a small placeholder of 300 x 300 twips.
    constexpr int Placeholder = 300 / Screen::TwipsPerPixel;
    if (!m_ambient.userMode && (width() > Placeholder || height() > Placeholder)) {
        resize(std::min(width(), Placeholder), std::min(height(), Placeholder));
        return;
    }
    if (m_laidOut) guarded([&] { m_preview->relayOut(); });
}

bool Palvex::eventFilter(QObject* watched, QEvent* event) {
    // The host's window was resized: the control follows it, up to the screen's size.
    if (m_laidOut && m_ambient.userMode && watched == parentWidget() &&
        event->type() == QEvent::Resize)
        guarded([&] { m_preview->followHost(); });
    return QWidget::eventFilter(watched, event);
}

Palvex::~Palvex() {
    // The printout is written from the report store, so before any file closes.
    if (m_saveEnabled) WritePrintout();
    // A host's copy of the platform may outlive the control: its boxes no longer reach it.
    m_hostBoxes->onMessage = nullptr;
    // The window's widgets go first, while the parts their signals and filters reach still
    // exist; silenced, so nothing they emit on the way out runs a handler.
    for (QObject* o : findChildren<QObject*>())
        o->blockSignals(true);
    delete m_search;
    m_search = nullptr;
    delete m_navigation;
    m_navigation = nullptr;
    delete m_printerPanel;
    m_printerPanel = nullptr;
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    if (m_platform.screen) m_platform.screen->setWaitCursor(false);
    m_store.closeAll();
}

void Palvex::saveProperties(PropertyBag& bag) {
    palvex::saveProperties(m_state.props, bag, m_ambient.font);
}

void Palvex::loadProperties(PropertyBag& bag) {
    setVisible(false); // the preview start shows the control again
    palvex::loadProperties(m_state.props, bag, m_ambient.font);
    guarded([&] { m_properties->setBackColor(m_state.props.BackColor); });
    m_state.noPageNumbers = m_state.props.dontPrintNumberPage;
}

// ---- Properties -------------------------------------------------------------------------------

#define PALVEX_STORED_PROPERTY(Name, Type)                                                         \
    Status Palvex::get_##Name(Out<Type> value) {                                                   \
        value = m_state.props.Name;                                                                \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::let_##Name(Type value) {                                                        \
        m_state.props.Name = value;                                                                \
        m_properties->changed(#Name);                                                              \
        return Status::Ok;                                                                         \
    }

PALVEX_STORED_PROPERTY(tfPrintFooter1, bool)
PALVEX_STORED_PROPERTY(FontTransparent, bool)
PALVEX_STORED_PROPERTY(FontStrikethru, bool)
PALVEX_STORED_PROPERTY(dontPrintNumberPage, bool)
PALVEX_STORED_PROPERTY(AutoRedraw, bool)
PALVEX_STORED_PROPERTY(AutoSize, bool)
#undef PALVEX_STORED_PROPERTY

#define PALVEX_READ_ONLY_PROPERTY(Name, Type)                                                      \
    Status Palvex::get_##Name(Out<Type> value) {                                                   \
        value = m_state.props.Name;                                                                \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::let_##Name(Type) {                                                              \
        return boundary([&] { m_properties->refuseSet(); });                                       \
    }

PALVEX_READ_ONLY_PROPERTY(ScaleWidth, float)
PALVEX_READ_ONLY_PROPERTY(ScaleHeight, float)
PALVEX_READ_ONLY_PROPERTY(gtPrWidth, float)
PALVEX_READ_ONLY_PROPERTY(currentYofPageNumber, float)
#undef PALVEX_READ_ONLY_PROPERTY

Status Palvex::get_BackColor(Out<int32_t> value) {
    value = m_state.props.BackColor;
    return Status::Ok;
}
Status Palvex::let_BackColor(int32_t value) {
    return boundary([&] { m_properties->setBackColor(value); });
}

Status Palvex::get_Header(Out<bool> value) {
    value = m_state.props.Header;
    return Status::Ok;
}
Status Palvex::let_Header(bool value) {
    return boundary([&] {
        m_properties->requireRunTimeForSet();
        m_state.props.Header = value;
        m_properties->changed("Header");
    });
}

Status Palvex::get_gtAfterPage(Out<bool> value) {
    value = m_state.props.gtAfterPage;
    return Status::Ok;
}
Status Palvex::let_gtAfterPage(bool value) {
    return boundary([&] {
        m_properties->requireRunTimeForSet();
        m_state.props.gtAfterPage = value;
        m_properties->changed("gtAfterPage");
    });
}

Status Palvex::get_DontConsiderForCenter(Out<bool> value) {
    return boundary([&] {
        m_properties->requireDesignTimeForGet();
        value = m_state.props.DontConsiderForCenter;
    });
}
Status Palvex::let_DontConsiderForCenter(bool value) {
    m_state.props.DontConsiderForCenter = value;
    m_properties->changed("DontConsiderForCenter");
    return Status::Ok;
}

#define PALVEX_APPLIED_PROPERTY(Name, Type, Arg)                                                   \
    Status Palvex::get_##Name(Out<Type> value) {                                                   \
        value = m_state.props.Name;                                                                \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::let_##Name(Arg value) {                                                         \
        return boundary([&] { m_properties->set##Name(value); });                                  \
    }

PALVEX_APPLIED_PROPERTY(FontUnderline, bool, bool)
PALVEX_APPLIED_PROPERTY(FontSize, float, float)
PALVEX_APPLIED_PROPERTY(FontName, QString, const QString&)
PALVEX_APPLIED_PROPERTY(FontItalic, bool, bool)
PALVEX_APPLIED_PROPERTY(FontBold, bool, bool)
PALVEX_APPLIED_PROPERTY(ForeColor, int32_t, int32_t)
#undef PALVEX_APPLIED_PROPERTY

Status Palvex::get_CurrentX(Out<float> value) {
    value = m_state.props.CurrentX;
    return Status::Ok;
}
Status Palvex::let_CurrentX(float value) {
    if (!std::isfinite(value)) return Status::InvalidPropertyValue;
    return boundary([&] { m_properties->setCurrentX(value); });
}

Status Palvex::get_CurrentY(Out<float> value) {
    value = m_state.props.CurrentY;
    return Status::Ok;
}
Status Palvex::let_CurrentY(float value) {
    if (!std::isfinite(value)) return Status::InvalidPropertyValue;
    return boundary([&] { m_properties->setCurrentY(value); });
}

Status Palvex::get_Font(Out<QFont> value) {
    value = m_state.props.Font;
    return Status::Ok;
}
Status Palvex::putref_Font(const QFont& value) {
    m_state.props.Font = value;
    m_properties->changed("Font");
    return Status::Ok;
}

// ---- Text and alignment -----------------------------------------------------------------------

Status Palvex::printText(QString& TXT, AfterPrintType& Entr) {
    return boundary([&] { m_text->printText(TXT, Entr, AlignNone); });
}
Status Palvex::RightIT(QString& TXT, AfterPrintType& Entr) {
    return boundary([&] { m_text->printText(TXT, Entr, AlignRight); });
}
Status Palvex::LeftIT(QString& TXT, AfterPrintType Entr) {
    return boundary([&] { m_text->printText(TXT, Entr, AlignLeft); });
}
Status Palvex::centerIT(QString& TXT, AfterPrintType& Entr) {
    return boundary([&] { m_text->printText(TXT, Entr, AlignCenter); });
}
Status Palvex::centerMixedLanguages(QString& TXT) {
    return boundary([&] { m_text->centerMixedLanguages(TXT); });
}
Status Palvex::SpecialCenter(float& startxPoint, float& endxPoint, QString& TXT,
                             AfterPrintType& Entr, float& startyPoint, float* endyPoint) {
    return boundary([&] {
        // An omitted end y is stored as 0: the renderer then keeps the item's own y.
        const float endY = endyPoint ? *endyPoint : 0.0f;
        requireFinite(startxPoint, endxPoint, startyPoint, endY);
        m_text->SpecialCenter(startxPoint, endxPoint, TXT, Entr, startyPoint, endY);
    });
}
Status Palvex::JumpToNextLine() {
    return boundary([&] { m_text->JumpToNextLine(); });
}
Status Palvex::TextWidth(const QString& Str, Out<float> result) {
    return boundary([&] { result = m_text->TextWidth(Str); });
}
Status Palvex::TextHeight(const QString& Str, Out<float> result) {
    return boundary([&] { result = m_text->TextHeight(Str); });
}
Status Palvex::gtStartCurX(Out<float> result) {
    result = m_state.textStart;
    return Status::Ok;
}
Status Palvex::gtEndCurX(Out<float> result) {
    result = m_state.textEnd;
    return Status::Ok;
}

// ---- Settings ---------------------------------------------------------------------------------

Status Palvex::fxreduceTwips(float& SZ) {
    return boundary([&] {
        requireFinite(SZ);
        m_state.reduceTwips = std::max(0.0f, SZ);
    });
}

Status Palvex::fxProporional_CurrentY(Proporional_CurrentY& PROP) {
    return boundary([&] {
        if (PROP < INT16_MIN || PROP > INT16_MAX) palvex::raise(Status::Overflow);
        m_state.pending.yRelative = int16_t(PROP);
    });
}

Status Palvex::fxDefaultMargins(float& lMargin, float& rMargin, float& tMargin, float& bMargin) {
    // Each value is kept within 0 to 4 cm; a value that is not a number counts as 0.
    auto limit = [](float cm) { return std::isnan(cm) ? 0.0 : std::clamp(double(cm), 0.0, 4.0); };
    m_state.defaultMarginsCm = {limit(lMargin), limit(rMargin), limit(tMargin), limit(bMargin)};
    return Status::Ok;
}

Status Palvex::gtLeftMargin(Out<float> result) {
    result = m_state.margins.left;
    return Status::Ok;
}
Status Palvex::gtRightMargin(Out<float> result) {
    result = m_state.margins.right;
    return Status::Ok;
}
Status Palvex::gtTopMargin(Out<float> result) {
    result = m_state.margins.top;
    return Status::Ok;
}
Status Palvex::gtBottomMargin(Out<float> result) {
    result = m_state.margins.bottom;
    return Status::Ok;
}
Status Palvex::gtVersion(Out<QString> result) {
    result = m_state.version;
    return Status::Ok;
}

// ---- Preview ----------------------------------------------------------------------------------

Status Palvex::StartPalvexPrintPreview() {
    m_state.pending = PendingItem{}; // nothing a failed call left may reach the new report
    m_reportShown = false;
    m_state.props.DontConsiderForCenter = false;
    const Status status = boundary([&] {
        m_preview->start(m_workingFolder.directory());
        m_state.version = QStringLiteral(PALVEX_VERSION);
        m_laidOut = true;
        if (QWidget* host = parentWidget()) host->installEventFilter(this);
    });
    // A report half started is no report: recording waits for a start that succeeds.
    if (status != Status::Ok) m_store.closeAll();
    return status;
}

Status Palvex::About() {
    return boundary([&] {
        m_state.version = QStringLiteral(PALVEX_VERSION);
        m_platform.messageBoxes->show(QStringLiteral("Palvex Version ") + m_state.version,
                                      MessageBoxes::Information, this);
    });
}

} // namespace palvex
