#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "preview/Navigation.h"
#include "preview/OptionPanels.h"
#include "preview/PageCanvas.h"
#include "preview/PageCentring.h"
#include "preview/PageRenderer.h"
#include "preview/PreviewController.h"
#include "preview/PreviewStartup.h"
#include "preview/PreviewWindow.h"
#include "preview/PrinterPanel.h"
#include "preview/Search.h"
#include "preview/Thumbnails.h"
#include "printout/PrintoutSaveFile.h"
#include "recording/GraphicsRecorder.h"
#include "recording/ItemWriter.h"
#include "recording/LayoutRecorder.h"
#include "recording/PageRecorder.h"
#include "recording/PropertyPersistence.h"
#include "recording/PropertyRules.h"
#include "recording/TextRecorder.h"
#include "texts/ControlMessages.h"
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

namespace {
// A cursor position the page's coordinates can hold.
void requireCursor(float twips) {
    if (!withinPageRange(twips))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("%1 twips is not a position on a page (at most %2 either way)")
                   .arg(double(twips))
                   .arg(double(MaxTwips), 0, 'f', 0));
}
} // namespace

Palvex::Palvex(QWidget* parent) : Palvex(Platform::desktop(), Ambient{}, parent) {}

Palvex::Palvex(Platform platform) : Palvex(std::move(platform), Ambient{}) {}

Palvex::Palvex(Platform platform, const Ambient& ambient, QWidget* parent)
    : QWidget(parent), d(std::make_unique<PalvexPrivate>(*this, std::move(platform), ambient)) {
    setObjectName(QStringLiteral("Palvex"));
    d->build();
}

PalvexPrivate::PalvexPrivate(Palvex& control, Platform platform, const Ambient& ambient)
    : q(control), m_platform(std::move(platform)), m_ambient(ambient), m_store(CodePage::system()),
      m_saveFile(std::make_unique<PrintoutSaveFile>()) {}

PalvexPrivate::~PalvexPrivate() = default;

// The parts, wired to one another and to the control's window.
void PalvexPrivate::build() {
    buildRecording();
    buildPreview();
    connectParts();
    connectHostSignals();
}

void PalvexPrivate::buildRecording() {
    m_hostBoxes = std::make_shared<HostMessageBoxes>(m_platform.messageBoxes);
    m_platform.messageBoxes = m_hostBoxes;
    m_messages =
        std::make_unique<ControlMessages>(*m_platform.messageBoxes, q, m_report.lastAnswer);
    m_report.props.Font = m_ambient.font;
    m_report.props.ownFont = m_ambient.font;
    m_report.props.canvasFont = m_ambient.font;
    m_report.lines.drawOn(m_pic);
    m_writer = std::make_unique<ItemWriter>(m_report, m_store);
    m_text = std::make_unique<TextRecorder>(m_report, *m_writer, m_pic);
    m_graphics = std::make_unique<GraphicsRecorder>(m_report, *m_writer, *m_platform.messageBoxes);
    m_pages = std::make_unique<PageRecorder>(m_report, m_store, *m_text, *m_graphics, m_pic);
    m_layout = std::make_unique<LayoutRecorder>(m_report, *m_text, *m_graphics, *m_pages);
    m_properties = std::make_unique<PropertyRules>(m_report, m_canvas, *m_platform.messageBoxes,
                                                   m_ambient, &q);
    m_startup = std::make_unique<PreviewStartup>(m_view, m_report, m_store, m_pic, m_canvas,
                                                 *m_platform.printers);
}

void PalvexPrivate::buildPreview() {
    m_window = std::make_unique<PreviewWindow>(&q);
    m_canvas.setBackColor(Qt::white); // a white page on the preview colour
    m_canvas.setDevicePixelRatio(q.devicePixelRatioF());
    m_window->p1->setSurface(&m_canvas);
    m_renderer =
        std::make_unique<PageRenderer>(m_view, m_report, m_store, m_canvas, m_pic, *m_window);
    m_navigation =
        new Navigation(m_view, m_report, m_store, *m_renderer, *m_window, *m_platform.screen, &q);
    m_preview =
        std::make_unique<PreviewController>(m_view, m_report, m_store, *m_startup, *m_window,
                                            *m_renderer, *m_navigation, *m_platform.screen);
    m_centring = std::make_unique<PageCentring>(m_view, m_report, m_store, *m_renderer, *m_window,
                                                *m_platform.screen, *m_platform.dialogs);
    m_panels = std::make_unique<OptionPanels>(m_view, m_report, m_store, *m_renderer, *m_window,
                                              *m_centring);
    m_search = new Search(m_view, m_report, m_store, *m_renderer, *m_window, m_canvas,
                          *m_platform.keyboard);
    m_thumbnails = new Thumbnails(m_view, m_report, *m_renderer, *m_window, &q);
    m_printerPanel = new PrinterPanel(m_report, m_view, m_store, *m_window, *m_platform.printers,
                                      *m_platform.dialogs, *m_platform.screen, m_pic, *m_messages);
}

// The parts hold none of one another: what one asks of another goes through here.
void PalvexPrivate::connectParts() {
    m_properties->onChanged = [this](const QString& name) { emit q.propertyChanged(name); };
    m_properties->onBackColor = [this](const QColor& color) {
        QPalette palette = q.palette();
        palette.setColor(QPalette::Window, color);
        q.setPalette(palette);
        q.setAutoFillBackground(true);
    };
    m_pages->onIllegalValue = [this](IllegalValue kind) { m_properties->warnIllegal(kind); };
    m_writer->onLostCharacters = [this](const QString& warning) {
        m_platform.messageBoxes->beep();
        const int answer = m_platform.messageBoxes->show(warning, MessageBoxes::Exclamation, &q);
        m_report.lastAnswer = QString::number(answer);
    };
    m_pages->onPageFormatted = [this](int32_t pages) { m_preview->ShowFormattingPage(pages); };
    m_centring->onBackColor = [this](int32_t color) { m_report.props.BackColor = color; };
    m_centring->onShowFirstPage = [this] { m_navigation->cmd_Click(ToolbarButton::First); };
    m_centring->onSelectPageEntry = [this](int entry) { m_navigation->selectPageEntry(entry); };
    QObject::connect(m_search, &Search::pageEntryWanted, m_navigation,
                     &Navigation::selectPageEntry);
    QObject::connect(m_search, &Search::areaWanted, m_navigation, &Navigation::revealAcross);
    QObject::connect(m_navigation, &Navigation::searchRequested, m_search, &Search::openPanel);
    QObject::connect(m_navigation, &Navigation::continueSearchRequested, m_search,
                     &Search::FindNext);
    QObject::connect(m_navigation, &Navigation::recentreRequested, &q,
                     [this] { m_centring->centreEveryPage(); });
    QObject::connect(m_search, &Search::notFound, &q, [this](const QString& text) {
        m_platform.messageBoxes->beep();
        m_messages->show(K2_Not_found_any_more, text);
    });
    QObject::connect(m_printerPanel, &PrinterPanel::beep, &q,
                     [this] { m_platform.messageBoxes->beep(); });
    QObject::connect(m_navigation, &Navigation::printRequested, &q,
                     m_window->guard.handler([this] { m_printerPanel->open(); }));
    QObject::connect(m_window->cboMoreOptions, &QComboBox::activated, &q,
                     m_window->guard.handler([this] { m_centring->cboMoreOptions_Click(); }));
    m_window->guard.onFailure = [this](Status status) { recoverFromFailure(status); };
    m_preview->onStarting = [this] { m_thumbnails->start(); };
    m_renderer->onRestyled = [this] { m_thumbnails->restyle(); };
    QObject::connect(&q, &Palvex::pageShown, m_thumbnails, &Thumbnails::showPage);
    QObject::connect(m_thumbnails, &Thumbnails::pageEntryWanted, m_navigation,
                     &Navigation::selectPageEntry);
    QObject::connect(m_navigation, &Navigation::thumbnailsToggleRequested, m_thumbnails,
                     &Thumbnails::toggle);
    QObject::connect(m_thumbnails, &Thumbnails::layoutChanged, &q, [this] {
        if (m_laidOut) m_preview->relayOut();
    });
    for (QCheckBox* box :
         {m_window->chkZoomCurrentx, m_window->chkZoomWidth, m_window->chkZoomHeight})
        QObject::connect(box, &QCheckBox::toggled, &q, [this] {
            m_view.zoomCurrentX = m_window->chkZoomCurrentx->isChecked();
            m_view.zoomWidth = m_window->chkZoomWidth->isChecked();
            m_view.zoomHeight = m_window->chkZoomHeight->isChecked();
        });
}

// A window event failed (a page that cannot be read, a printer that went away): the user hears
// of it, and nothing that the failed handler started is left on the screen.
void PalvexPrivate::recoverFromFailure(Status status) {
    m_platform.screen->setWaitCursor(false);
    m_window->Prg1->hide();
    m_window->cmdCancelPrinting->hide();
    m_window->p1->show();
    m_view.pagesCentred = false;
    const std::string_view description = describe(status);
    qWarning("Palvex: %.*s (error %d)", int(description.size()), description.data(), int(status));
    m_platform.messageBoxes->beep();
    m_platform.messageBoxes->show(
        QStringLiteral("The preview could not complete this:\n%1 (error %2)")
            .arg(QString::fromLatin1(description.data(), qsizetype(description.size())))
            .arg(int(status)),
        MessageBoxes::Exclamation, &q);
}

void Palvex::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // On a form being designed the control stays a small placeholder of 300 x 300 twips.
    constexpr int Placeholder = 300 / Screen::TwipsPerPixel;
    if (!d->m_ambient.userMode && (width() > Placeholder || height() > Placeholder)) {
        resize(std::min(width(), Placeholder), std::min(height(), Placeholder));
        return;
    }
    if (!d->m_laidOut) return;
    if (const Status status = guarded([&] { d->m_preview->relayOut(); }); status != Status::Ok)
        d->recoverFromFailure(status);
}

bool Palvex::eventFilter(QObject* watched, QEvent* event) {
    // The host's window was resized: the control follows it, up to the screen's size.
    if (d->m_laidOut && d->m_ambient.userMode && watched == parentWidget() &&
        event->type() == QEvent::Resize)
        if (const Status status = guarded([&] { d->m_preview->followHost(); });
            status != Status::Ok)
            d->recoverFromFailure(status);
    return QWidget::eventFilter(watched, event);
}

Palvex::~Palvex() {
    // The printout is written from the report store, so before any file closes.
    if (d->m_saveEnabled) d->WritePrintout();
    // A host's copy of the platform may outlive the control: its boxes no longer reach it.
    d->m_hostBoxes->onMessage = nullptr;
    // The window's widgets go first, while the parts their signals and filters reach still
    // exist; silenced, so nothing they emit on the way out runs a handler.
    for (QObject* o : findChildren<QObject*>())
        o->blockSignals(true);
    delete d->m_search;
    d->m_search = nullptr;
    delete d->m_navigation;
    d->m_navigation = nullptr;
    delete d->m_printerPanel;
    d->m_printerPanel = nullptr;
    delete d->m_thumbnails;
    d->m_thumbnails = nullptr;
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    if (d->m_platform.screen) d->m_platform.screen->setWaitCursor(false);
    d->m_store.closeAll();
}

QString Palvex::lastErrorDetail() const {
    return d->m_lastError.detail();
}

void Palvex::noteRefusal(std::string_view member, Status status, const QString& reason) {
    d->m_lastError.note(member, status, reason);
}

uint64_t Palvex::refusalCount() const {
    return d->m_lastError.count();
}

void Palvex::saveProperties(PropertyBag& bag) {
    palvex::saveProperties(d->m_report, bag, d->m_ambient.font);
}

void Palvex::loadProperties(PropertyBag& bag) {
    setVisible(false); // the preview start shows the control again
    palvex::loadProperties(d->m_report, bag, d->m_ambient.font);
    // An illegal colour in the saved form has been warned of and replaced: the load goes on.
    (void)guarded([&] { d->m_properties->setBackColor(d->m_report.props.BackColor); });
    d->m_report.noPageNumbers = d->m_report.props.dontPrintNumberPage;
}

// ---- Properties -------------------------------------------------------------------------------

#define PALVEX_STORED_PROPERTY(Name, Type)                                                         \
    Status Palvex::get_##Name(Out<Type> value) {                                                   \
        value = d->m_report.props.Name;                                                            \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::let_##Name(Type value) {                                                        \
        d->m_report.props.Name = value;                                                            \
        d->m_properties->changed(#Name);                                                           \
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
        value = d->m_report.props.Name;                                                            \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::let_##Name(Type) {                                                              \
        return d->guard(__func__, [&] { d->m_properties->refuseSet(); });                          \
    }

PALVEX_READ_ONLY_PROPERTY(ScaleWidth, float)
PALVEX_READ_ONLY_PROPERTY(ScaleHeight, float)
PALVEX_READ_ONLY_PROPERTY(gtPrWidth, float)
#undef PALVEX_READ_ONLY_PROPERTY

Status Palvex::get_currentYofPageNumber(Out<float> value) {
    value = d->m_report.lines.pageNumberLine();
    return Status::Ok;
}
Status Palvex::let_currentYofPageNumber(float) {
    return d->guard(__func__, [&] { d->m_properties->refuseSet(); });
}

Status Palvex::get_BackColor(Out<int32_t> value) {
    value = d->m_report.props.BackColor;
    return Status::Ok;
}
Status Palvex::let_BackColor(int32_t value) {
    return d->guard(__func__, [&] { d->m_properties->setBackColor(value); });
}

Status Palvex::get_Header(Out<bool> value) {
    value = d->m_report.props.Header;
    return Status::Ok;
}
Status Palvex::let_Header(bool value) {
    return d->guard(__func__, [&] {
        d->m_properties->requireRunTimeForSet();
        d->m_report.props.Header = value;
        d->m_properties->changed("Header");
    });
}

Status Palvex::get_gtAfterPage(Out<bool> value) {
    value = d->m_report.props.gtAfterPage;
    return Status::Ok;
}
Status Palvex::let_gtAfterPage(bool value) {
    return d->guard(__func__, [&] {
        d->m_properties->requireRunTimeForSet();
        d->m_report.props.gtAfterPage = value;
        d->m_properties->changed("gtAfterPage");
    });
}

Status Palvex::get_DontConsiderForCenter(Out<bool> value) {
    return d->guard(__func__, [&] {
        d->m_properties->requireDesignTimeForGet();
        value = d->m_report.props.DontConsiderForCenter;
    });
}
Status Palvex::let_DontConsiderForCenter(bool value) {
    d->m_report.props.DontConsiderForCenter = value;
    d->m_properties->changed("DontConsiderForCenter");
    return Status::Ok;
}

#define PALVEX_APPLIED_PROPERTY(Name, Type, Arg)                                                   \
    Status Palvex::get_##Name(Out<Type> value) {                                                   \
        value = d->m_report.props.Name;                                                            \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::let_##Name(Arg value) {                                                         \
        return d->guard(__func__, [&] { d->m_properties->set##Name(value); });                     \
    }

PALVEX_APPLIED_PROPERTY(FontUnderline, bool, bool)
PALVEX_APPLIED_PROPERTY(FontSize, float, float)
PALVEX_APPLIED_PROPERTY(FontName, QString, const QString&)
PALVEX_APPLIED_PROPERTY(FontItalic, bool, bool)
PALVEX_APPLIED_PROPERTY(FontBold, bool, bool)
PALVEX_APPLIED_PROPERTY(ForeColor, int32_t, int32_t)
#undef PALVEX_APPLIED_PROPERTY

Status Palvex::get_CurrentX(Out<float> value) {
    value = d->m_report.props.CurrentX;
    return Status::Ok;
}
Status Palvex::let_CurrentX(float value) {
    return d->guard(__func__, [&] {
        requireCursor(value);
        d->m_properties->setCurrentX(value);
    });
}

Status Palvex::get_CurrentY(Out<float> value) {
    value = d->m_report.props.CurrentY;
    return Status::Ok;
}
Status Palvex::let_CurrentY(float value) {
    return d->guard(__func__, [&] {
        requireCursor(value);
        d->m_properties->setCurrentY(value);
    });
}

Status Palvex::get_Font(Out<QFont> value) {
    value = d->m_report.props.Font;
    return Status::Ok;
}
Status Palvex::putref_Font(const QFont& value) {
    d->m_report.props.Font = value;
    d->m_properties->changed("Font");
    return Status::Ok;
}

// ---- Text and alignment -----------------------------------------------------------------------

Status Palvex::printText(const QString& TXT, const AfterPrintType& Entr) {
    return d->guard(__func__, [&] { d->m_text->printText(TXT, Entr, AlignNone); });
}
Status Palvex::RightIT(const QString& TXT, const AfterPrintType& Entr) {
    return d->guard(__func__, [&] { d->m_text->printText(TXT, Entr, AlignRight); });
}
Status Palvex::LeftIT(const QString& TXT, AfterPrintType Entr) {
    return d->guard(__func__, [&] { d->m_text->printText(TXT, Entr, AlignLeft); });
}
Status Palvex::centerIT(const QString& TXT, const AfterPrintType& Entr) {
    return d->guard(__func__, [&] { d->m_text->printText(TXT, Entr, AlignCenter); });
}
Status Palvex::centerMixedLanguages(const QString& TXT) {
    return d->guard(__func__, [&] { d->m_text->centerMixedLanguages(TXT); });
}
Status Palvex::SpecialCenter(const float& startxPoint, const float& endxPoint, const QString& TXT,
                             const AfterPrintType& Entr, const float& startyPoint,
                             const float* endyPoint) {
    return d->guard(__func__, [&] {
        // An omitted end y is stored as 0: the renderer then keeps the item's own y.
        const float endY = endyPoint ? *endyPoint : 0.0f;
        requireTwips(startxPoint, endxPoint, startyPoint, endY);
        d->m_text->SpecialCenter(startxPoint, endxPoint, TXT, Entr, startyPoint, endY);
    });
}
Status Palvex::JumpToNextLine() {
    return d->guard(__func__, [&] { d->m_text->JumpToNextLine(); });
}
Status Palvex::TextWidth(QString Str, Out<float> result) {
    return d->guard(__func__, [&] { result = d->m_text->TextWidth(Str); });
}
Status Palvex::TextHeight(QString Str, Out<float> result) {
    return d->guard(__func__, [&] { result = d->m_text->TextHeight(Str); });
}
Status Palvex::gtStartCurX(Out<float> result) {
    result = d->m_report.textStart;
    return Status::Ok;
}
Status Palvex::gtEndCurX(Out<float> result) {
    result = d->m_report.textEnd;
    return Status::Ok;
}

// ---- Settings ---------------------------------------------------------------------------------

Status Palvex::fxreduceTwips(const float& SZ) {
    return d->guard(__func__, [&] {
        requireTwips(SZ);
        d->m_report.reduceTwips = std::max(0.0f, SZ);
    });
}

Status Palvex::fxProporional_CurrentY(const Proporional_CurrentY& PROP) {
    return d->guard(__func__, [&] {
        if (PROP < INT16_MIN || PROP > INT16_MAX) palvex::raise(Status::Overflow);
        d->m_report.hostMarks.yRelative = int16_t(PROP);
    });
}

Status Palvex::fxDefaultMargins(const float& lMargin, const float& rMargin, const float& tMargin,
                                const float& bMargin) {
    // Each value is kept within 0 to 4 cm; a value that is not a number counts as 0.
    auto limit = [](float cm) { return std::isnan(cm) ? 0.0 : std::clamp(double(cm), 0.0, 4.0); };
    d->m_report.defaultMarginsCm = {limit(lMargin), limit(rMargin), limit(tMargin), limit(bMargin)};
    return Status::Ok;
}

Status Palvex::gtLeftMargin(Out<float> result) {
    result = d->m_report.margins.left;
    return Status::Ok;
}
Status Palvex::gtRightMargin(Out<float> result) {
    result = d->m_report.margins.right;
    return Status::Ok;
}
Status Palvex::gtTopMargin(Out<float> result) {
    result = d->m_report.margins.top;
    return Status::Ok;
}
Status Palvex::gtBottomMargin(Out<float> result) {
    result = d->m_report.margins.bottom;
    return Status::Ok;
}
Status Palvex::gtVersion(Out<QString> result) {
    result = d->m_report.version;
    return Status::Ok;
}

// ---- Preview ----------------------------------------------------------------------------------

Status Palvex::StartPalvexPrintPreview() {
    // Nothing a failed call left may reach the new report; the role and alternative text the
    // host set for what it prints next stay.
    d->m_report.hostMarks.yRelative = 0;
    d->m_report.lineEnded = true;
    d->m_reportShown = false;
    d->m_report.props.DontConsiderForCenter = false;
    const Status status = d->guard(__func__, [&] {
        d->m_preview->start(d->m_workingFolder.directory());
        d->m_report.version = QStringLiteral(PALVEX_VERSION);
        d->m_laidOut = true;
        if (QWidget* host = parentWidget()) host->installEventFilter(this);
    });
    // A report half started is no report: recording waits for a start that succeeds.
    if (status != Status::Ok) d->m_store.closeAll();
    return status;
}

Status Palvex::About() {
    return d->guard(__func__, [&] {
        d->m_report.version = QStringLiteral(PALVEX_VERSION);
        d->m_platform.messageBoxes->show(QStringLiteral("Palvex Version ") + d->m_report.version,
                                         MessageBoxes::Information, this);
    });
}

} // namespace palvex
