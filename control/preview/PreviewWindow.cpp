#include "PreviewWindow.h"

#include "core/Guarded.h"
#include "texts/WindowTextSet.h"

#include "CaptionButton.h"
#include "PageCanvas.h"
#include "PageNumberList.h"
#include "ThumbnailStrip.h"
#include "TipNamedButton.h"
#include "TwipScrollBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <utility>
#include <vector>

namespace palvex {

namespace {

constexpr float ButtonWidth = 900, ButtonHeight = 700, ButtonStep = 840;

// How each toolbar button looks; its caption is the window's text set's.
struct ButtonDesign {
    int r, g, b;
    QStyle::StandardPixmap icon;
};

constexpr ButtonDesign kButtons[ToolbarButtonCount] = {
    {224, 224, 224, QStyle::SP_DialogCloseButton},
    {255, 0, 255, QStyle::SP_DialogSaveButton},
    {128, 255, 128, QStyle::SP_MediaSkipForward},
    {192, 255, 255, QStyle::SP_MediaSeekForward},
    {192, 255, 255, QStyle::SP_MediaSeekBackward},
    {128, 255, 128, QStyle::SP_MediaSkipBackward},
    {255, 192, 192, QStyle::SP_FileDialogContentsView},
    {255, 192, 192, QStyle::SP_ArrowLeft},
};
constexpr ButtonDesign kThumbnailsButton = {255, 255, 192, QStyle::SP_FileDialogListView};

// How a tool bar button looks: the designed colour, its picture, a frame.
void styleToolbarButton(QPushButton* b, const ButtonDesign& d) {
    b->setIcon(QApplication::style()->standardIcon(d.icon));
    b->setStyleSheet(
        QStringLiteral("QPushButton { background-color: rgb(%1,%2,%3); border: 1px solid gray; }"
                       "QPushButton:checked { border: 2px solid palette(highlight); }")
            .arg(d.r)
            .arg(d.g)
            .arg(d.b));
    // Tab reaches the buttons; a click leaves the focus where it was, so the page keys go on
    // working on the canvas.
    b->setFocusPolicy(Qt::TabFocus);
}

QFont windowFont(bool bold = false) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

template <class W> W* make(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setFont(windowFont());
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRectF& twips,
                    const char* colour = nullptr) {
    auto* b = make<QPushButton>(parent, name);
    b->setText(caption);
    if (colour)
        b->setStyleSheet(QStringLiteral("background-color: %1;").arg(QString::fromLatin1(colour)));
    PreviewWindow::place(b, twips);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRectF& twips,
              const char* colour = nullptr) {
    auto* l = make<QLabel>(parent, name);
    l->setText(caption);
    if (colour) {
        l->setAutoFillBackground(true);
        l->setStyleSheet(QStringLiteral("background-color: %1;").arg(QString::fromLatin1(colour)));
    }
    PreviewWindow::place(l, twips);
    return l;
}

QComboBox* combo(QWidget* parent, const char* name, bool editable = false) {
    auto* c = make<QComboBox>(parent, name);
    c->setEditable(editable);
    c->setMaxVisibleItems(20);
    return c;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, float width,
                 float height) {
    auto* f = make<QGroupBox>(parent, name);
    f->setTitle(caption);
    f->setAutoFillBackground(true);
    PreviewWindow::place(f, QRectF(0, 0, width, height));
    f->hide();
    return f;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, const QRectF& twips) {
    auto* c = make<QCheckBox>(parent, name);
    c->setText(caption);
    PreviewWindow::place(c, twips);
    return c;
}

} // namespace

void PreviewWindow::place(QWidget* widget, const QRectF& t) {
    // Edges are rounded, not sizes, so parts that end at the window's edge stay inside it.
    const int left = qRound(t.left() / TwipsPerPixel), top = qRound(t.top() / TwipsPerPixel);
    widget->setGeometry(left, top, qRound(t.right() / TwipsPerPixel) - left,
                        qRound(t.bottom() / TwipsPerPixel) - top);
}

QRectF PreviewWindow::placeOf(const QWidget* widget) {
    const QRect g = widget->geometry();
    return QRectF(g.left() * TwipsPerPixel, g.top() * TwipsPerPixel, g.width() * TwipsPerPixel,
                  g.height() * TwipsPerPixel);
}

PreviewWindow::PreviewWindow(QWidget* ctl) : control(ctl) {
    const WindowTextSet& texts = englishTexts();
    buildToolbar(texts);
    buildViewport();
    buildThumbnails();
    buildProgress(texts);
    buildSearchPanel(texts);
    buildMarginsPanel(texts);
    buildZoomOptionsPanel(texts);
    buildPrinterPanel(texts);
    keepSystemColours();
    orderFocus();
    describe(texts);
}

void PreviewWindow::buildToolbar(const WindowTextSet& texts) {
    Picture1 = make<QWidget>(control, "Picture1");
    place(Picture1, QRectF(0, 0, DesignedScreenWidth, ToolbarHeight));
    Toolbar1 = make<QWidget>(Picture1, "Toolbar1");
    place(Toolbar1, QRectF(0, 0, DesignedScreenWidth, ButtonHeight));

    for (size_t i = 0; i < ToolbarButtonCount; ++i) {
        const ToolbarButton which = cmd.key(i);
        auto* b = make<CaptionButton>(Picture1, "cmd");
        b->setProperty("index", int(i));
        b->setText(texts.buttons[which]);
        b->setFont(windowFont(which == ToolbarButton::Close));
        styleToolbarButton(b, kButtons[i]);
        cmd[which] = b;
        m_toolbar[i] = {b, QRectF(ButtonStep * float(i), 0, ButtonWidth, ButtonHeight)};
    }
    cmd[ToolbarButton::Close]->setToolTip(texts.toolTips[0]);
    cboPage = combo(Picture1, "cboPage");
    pageList = PageNumberList::attachTo(cboPage);
    cboZoom = combo(Picture1, "cboZoom");
    for (int z = 20; z <= 200; z += 10)
        cboZoom->addItem(QStringLiteral("%1%").arg(z), z);
    // After the percentages, so their indexes stay the zoom they stand for.
    cboZoom->addItem(texts.zoomOptions[5]);
    cboZoom->addItem(texts.zoomOptions[6]);
    Image1 = make<TipNamedButton>(Picture1, "Image1");
    Image1->setToolTip(texts.toolTips[1]);
    Image1->setText(QStringLiteral("+"));
    Image2 = make<TipNamedButton>(Picture1, "Image2");
    Image2->setToolTip(texts.toolTips[2]);
    Image2->setText(QStringLiteral("-"));
    cboMoreOptions = combo(Picture1, "cboMoreOptions");
    for (const QString& option : texts.moreOptions)
        cboMoreOptions->addItem(option);
    // The designed places, written once: scaleToolbar widens them for wider screens.
    m_toolbar[8] = {cboZoom, QRectF(8400, 0, 1200, 330)};
    m_toolbar[9] = {cboMoreOptions, QRectF(7560, 360, 2040, 330)};
    m_toolbar[10] = {cboPage, QRectF(6840, 0, 1500, 330)};
    m_toolbar[11] = {Image1, QRectF(6840, 360, 330, 330)};
    m_toolbar[12] = {Image2, QRectF(7200, 360, 330, 330)};
    cmdThumbnails = make<CaptionButton>(Picture1, "cmdThumbnails");
    cmdThumbnails->setText(texts.thumbnailsButton);
    cmdThumbnails->setToolTip(texts.toolTips[3]);
    cmdThumbnails->setCheckable(true);
    styleToolbarButton(cmdThumbnails, kThumbnailsButton);
    cmdThumbnails->hide();
    m_toolbar[13] = {cmdThumbnails, QRectF(ThumbnailsButtonLeft, 0, ButtonWidth, ButtonHeight)};
    for (const Designed& d : m_toolbar)
        place(d.widget, d.twips);
}

void PreviewWindow::buildViewport() {
    Mainpicture = make<QWidget>(control, "Mainpicture");
    Mainpicture->setAutoFillBackground(true);
    p1 = new PageCanvas(Mainpicture);
    p1->setObjectName(QStringLiteral("p1"));
    HScroll = new TwipScrollBar(Qt::Horizontal, Mainpicture);
    HScroll->setObjectName(QStringLiteral("HScroll"));
    HScroll->setSingleStepTwips(100);
    VScroll = new TwipScrollBar(Qt::Vertical, Mainpicture);
    VScroll->setObjectName(QStringLiteral("VScroll"));
    VScroll->setSingleStepTwips(240);
    HScroll->hide();
    VScroll->hide();
}

void PreviewWindow::buildThumbnails() {
    lstThumbnails = new ThumbnailStrip(control);
    lstThumbnails->setObjectName(QStringLiteral("lstThumbnails"));
    lstThumbnails->hide();
}

void PreviewWindow::buildProgress(const WindowTextSet& texts) {
    cmdShowDaf = button(control, "cmdShowDaf", texts.formattingCaption,
                        QRectF(3600, 2400, 2400, 400), "white");
    Prg1 = make<QProgressBar>(control, "Prg1");
    place(Prg1, QRectF(2400, 3000, 4800, 300));
    Prg1->hide();
    cmdCancelPrinting =
        button(control, "cmdCancelPrinting", texts.cancelPrinting, QRectF(0, 0, 1500, 500));
    cmdCancelPrinting->hide();
}

void PreviewWindow::buildSearchPanel(const WindowTextSet& texts) {
    fraSearch = frame(control, "fraSearch", texts.searchFrame, 4800, 1800);
    lblSearch = label(fraSearch, "lblSearch", texts.searchPrompt, QRectF(120, 300, 4560, 300));
    txtSearch = make<QLineEdit>(fraSearch, "txtSearch");
    txtSearch->setLayoutDirection(Qt::RightToLeft);
    place(txtSearch, QRectF(120, 660, 4560, 360));
    lblSearch->setBuddy(txtSearch);
    cmdSearch = button(fraSearch, "cmdSearch", texts.searchButton, QRectF(2520, 1200, 1200, 420));
    cmdCancelSearch =
        button(fraSearch, "cmdCancelSearch", texts.cancel, QRectF(1080, 1200, 1200, 420));
}

void PreviewWindow::buildMarginsPanel(const WindowTextSet& texts) {
    fraMarginsSetup = frame(control, "fraMarginsSetup", texts.margins[0], 2535, 3135);
    const char* marginLabelNames[4] = {"lblLeftMargin", "lblRightMargin", "lblTopMargin",
                                       "lblBottomMargin"};
    const char* marginListNames[4] = {"cboLeftMargin", "cboRightMargin", "cboTopMargin",
                                      "cboBottomMargin"};
    for (size_t i = 0; i < 4; ++i) {
        const float top = 360 + 480 * float(i);
        lblMargins[i] = label(fraMarginsSetup, marginLabelNames[i], texts.margins[i + 1],
                              QRectF(1320, top, 1095, 330));
        cboMargins[i] = combo(fraMarginsSetup, marginListNames[i]);
        place(cboMargins[i], QRectF(120, top, 1095, 330));
        lblMargins[i]->setBuddy(cboMargins[i]);
    }
    chkDefaultMargins = check(fraMarginsSetup, "chkDefaultMargins", texts.defaultMargins,
                              QRectF(120, 2280, 2295, 300));
    cmdOKMarginsSetup =
        button(fraMarginsSetup, "cmdOKMarginsSetup", texts.ok, QRectF(1320, 2640, 1095, 390));
    cmdCancelMarginsSetup = button(fraMarginsSetup, "cmdCancelMarginsSetup", texts.cancel,
                                   QRectF(120, 2640, 1095, 390));
}

void PreviewWindow::buildZoomOptionsPanel(const WindowTextSet& texts) {
    fraZoomOptions = frame(control, "fraZoomOptions", texts.zoomOptions[0], 2175, 2775);
    lblChangeZoom =
        label(fraZoomOptions, "lblChangeZoom", texts.zoomOptions[1], QRectF(120, 300, 1935, 600));
    lblChangeZoom->setWordWrap(true);
    chkZoomCurrentx = check(fraZoomOptions, "chkZoomCurrentx", texts.zoomOptions[2],
                            QRectF(120, 1000, 1935, 300));
    chkZoomWidth =
        check(fraZoomOptions, "chkZoomWidth", texts.zoomOptions[4], QRectF(120, 1400, 1935, 300));
    chkZoomHeight =
        check(fraZoomOptions, "chkZoomHeight", texts.zoomOptions[3], QRectF(120, 1800, 1935, 300));
    cmdOKZoomOptions =
        button(fraZoomOptions, "cmdOKZoomOptions", texts.ok, QRectF(1140, 2280, 915, 390));
    cmdCancelZoomOptions =
        button(fraZoomOptions, "cmdCancelZoomOptions", texts.cancel, QRectF(120, 2280, 915, 390));
}

void PreviewWindow::buildPrinterPanel(const WindowTextSet& texts) {
    fraPrinter = frame(control, "fraPrinter", texts.printerFrame, 6675, 3840);
    const char* yellow = "#FFFF80";
    lblPrinterName = label(fraPrinter, "lblPrinterName", texts.printerName,
                           QRectF(5040, 360, 1455, 330), yellow);
    cboDevicePrinter = combo(fraPrinter, "cboDevicePrinter");
    place(cboDevicePrinter, QRectF(240, 360, 4695, 330));
    lblCopies = label(fraPrinter, "lblCopies", texts.copies, QRectF(5040, 840, 1455, 330), yellow);
    cboOTEK = combo(fraPrinter, "cboOTEK", true);
    place(cboOTEK, QRectF(3960, 840, 975, 330));
    lblQuality =
        label(fraPrinter, "lblQuality", texts.quality, QRectF(5040, 1320, 1455, 330), yellow);
    cboQuality = combo(fraPrinter, "cboQuality");
    place(cboQuality, QRectF(2880, 1320, 2055, 330));
    lblZoomPrinting = label(fraPrinter, "lblZoomPrinting", texts.printZoom,
                            QRectF(5040, 1800, 1455, 330), yellow);
    cboZoomPrinting = combo(fraPrinter, "cboZoomPrinting");
    place(cboZoomPrinting, QRectF(2880, 1800, 2055, 330));
    lblFromPage =
        label(fraPrinter, "lblFromPage", texts.fromPage, QRectF(4740, 2400, 1905, 330), yellow);
    cboBeginPage = combo(fraPrinter, "cboBeginPage");
    place(cboBeginPage, QRectF(3900, 2400, 735, 330));
    lblToPage = label(fraPrinter, "lblToPage", texts.toPage, QRectF(2320, 2400, 1665, 330), yellow);
    cboEndPage = combo(fraPrinter, "cboEndPage");
    place(cboEndPage, QRectF(1480, 2400, 735, 330));
    printPages = PageNumberList::attachTo(cboBeginPage);
    cboEndPage->setModel(printPages);
    cmdPrintSetup = button(fraPrinter, "cmdPrintSetup", texts.printSetup,
                           QRectF(300, 1200, 1335, 390), "#C0C0C0");
    cmdOK = button(fraPrinter, "cmdOK", texts.ok, QRectF(3000, 3120, 1215, 450), "#80FF80");
    cmdCancel =
        button(fraPrinter, "cmdCancel", texts.cancel, QRectF(1440, 3120, 1215, 450), "#FF8080");
    cmdExport =
        button(fraPrinter, "cmdExport", texts.exportFile, QRectF(120, 3120, 1215, 450), "#C0C0C0");
    // Each caption names its list to a screen reader (its buddy), whatever the host words it.
    const std::pair<QLabel*, QWidget*> labelled[] = {
        {lblPrinterName, cboDevicePrinter}, {lblCopies, cboOTEK},        {lblQuality, cboQuality},
        {lblZoomPrinting, cboZoomPrinting}, {lblFromPage, cboBeginPage}, {lblToPage, cboEndPage}};
    for (const auto& [caption, list] : labelled)
        caption->setBuddy(list);
}

// Tab goes along the tool bar, to the page and zoom lists and the zoom buttons, then to the
// page (and from it to the page strip's button, when it is offered); a panel's controls follow
// one another in the order they are read.
void PreviewWindow::orderFocus() {
    std::vector<QWidget*> chain(cmd.begin(), cmd.end());
    chain.insert(chain.end(), {cboPage, cboZoom, Image1, Image2, cboMoreOptions, p1, cmdThumbnails,
                               txtSearch, cmdSearch, cmdCancelSearch});
    chain.insert(chain.end(), cboMargins.begin(), cboMargins.end());
    chain.insert(chain.end(),
                 {chkDefaultMargins, cmdOKMarginsSetup, cmdCancelMarginsSetup, chkZoomCurrentx,
                  chkZoomWidth, chkZoomHeight, cmdOKZoomOptions, cmdCancelZoomOptions,
                  cboDevicePrinter, cboOTEK, cboQuality, cboZoomPrinting, cboBeginPage, cboEndPage,
                  cmdPrintSetup, cmdOK, cmdCancel, cmdExport});
    for (size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void PreviewWindow::describe(const WindowTextSet& texts) {
    for (size_t i = 0; i < ToolbarButtonCount; ++i)
        cmd[cmd.key(i)]->setAccessibleDescription(texts.accessible.buttons[cmd.key(i)]);
    cmdThumbnails->setAccessibleDescription(texts.accessible.thumbnailsButton);
    lstThumbnails->setAccessibleName(texts.accessible.thumbnails);
    // A list is read by the entry it shows; these two have no caption to say what they are.
    const std::pair<QComboBox*, const QString*> lists[] = {{cboPage, &texts.accessible.pageList},
                                                           {cboZoom, &texts.accessible.zoomList},
                                                           {cboMoreOptions, &texts.moreOptions[0]}};
    for (const auto& [list, name] : lists) {
        list->setAccessibleName(*name);
        list->setAccessibleDescription(*name);
    }
    p1->setReadingTexts(texts.accessible.page, texts.accessible.pageText);
}

void PreviewWindow::keepSystemColours() {
    // Panels and the toolbar keep the system's colours whatever the preview colour is.
    for (QWidget* w :
         {Picture1, static_cast<QWidget*>(fraSearch), static_cast<QWidget*>(fraMarginsSetup),
          static_cast<QWidget*>(fraZoomOptions), static_cast<QWidget*>(fraPrinter)}) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
        w->setPalette(palette);
        w->setAutoFillBackground(true);
    }
    for (QWidget* f : {static_cast<QWidget*>(fraSearch), static_cast<QWidget*>(fraMarginsSetup),
                       static_cast<QWidget*>(fraZoomOptions), static_cast<QWidget*>(fraPrinter),
                       static_cast<QWidget*>(cmdShowDaf), static_cast<QWidget*>(Prg1),
                       static_cast<QWidget*>(cmdCancelPrinting)})
        f->raise();
}

void PreviewWindow::scaleToolbar(float screenWidthTwips) {
    // From the designed places every time, so a second start does not scale twice.
    const float designed =
        cmdThumbnails->isHidden() ? DesignedScreenWidth : ThumbnailsButtonLeft + ButtonWidth;
    const double factor = screenWidthTwips == designed ? 1.0 : screenWidthTwips / designed;
    for (const Designed& d : m_toolbar) {
        QRectF t = d.twips;
        t.setLeft(d.twips.left() * factor);
        t.setWidth(d.twips.width() * factor);
        place(d.widget, t);
    }
    place(Picture1, QRectF(0, 0, designed * factor, ToolbarHeight));
}

void PreviewWindow::coverScreen(float widthTwips, float heightTwips) {
    place(control, QRectF(0, 0, widthTwips, heightTwips));
    control->move(0, 0);
    showLaidOut();
}

void PreviewWindow::showLaidOut() {
    control->setVisible(true);
    layOut();
    p1->move(p1->x(), 0);
}

void PreviewWindow::layOut() {
    const QSizeF area = areaTwips();
    scaleToolbar(float(area.width()));
    const double viewHeight = std::max(0.0, area.height() - ToolbarHeight - bottomReserve);
    // The page strip takes the right edge; the page keeps the rest.
    const double strip = lstThumbnails->isHidden()
                             ? 0.0
                             : ThumbnailStrip::widthFor(control->width()) * double(TwipsPerPixel);
    place(Mainpicture, QRectF(0, ToolbarHeight, area.width() - strip, viewHeight));
    if (strip > 0)
        place(lstThumbnails, QRectF(area.width() - strip, ToolbarHeight, strip, viewHeight));
    placeScrollBars();
    for (QWidget* frame : {static_cast<QWidget*>(fraSearch), static_cast<QWidget*>(fraMarginsSetup),
                           static_cast<QWidget*>(fraZoomOptions)})
        centre(frame, float(area.width()), float(area.height()));
}

QSizeF PreviewWindow::areaTwips() const {
    return QSizeF(control->width() * TwipsPerPixel, control->height() * TwipsPerPixel);
}

QSize PreviewWindow::visibleArea() const {
    return QSize(VScroll->isHidden() ? Mainpicture->width() : VScroll->x(),
                 HScroll->isHidden() ? Mainpicture->height() : HScroll->y());
}

void PreviewWindow::setPreviewColor(const QColor& color) {
    for (QWidget* w : {control, Mainpicture}) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, color);
        w->setPalette(palette);
        w->setAutoFillBackground(true);
    }
}

void PreviewWindow::readRightToLeft() {
    // Children take their frame's direction; places stay as designed, which already puts each
    // label to the right of its list.
    for (QWidget* w : {static_cast<QWidget*>(fraSearch), static_cast<QWidget*>(fraMarginsSetup),
                       static_cast<QWidget*>(fraZoomOptions), static_cast<QWidget*>(fraPrinter),
                       static_cast<QWidget*>(cboPage), static_cast<QWidget*>(cboZoom),
                       static_cast<QWidget*>(cboMoreOptions), static_cast<QWidget*>(cmdShowDaf),
                       static_cast<QWidget*>(cmdCancelPrinting)})
        w->setLayoutDirection(Qt::RightToLeft);
    for (QPushButton* b : cmd)
        b->setLayoutDirection(Qt::RightToLeft);
    cmdThumbnails->setLayoutDirection(Qt::RightToLeft);
    // The "to page" caption reaches a little under the "from page" list; read from the right
    // its text ends there, so the list goes on top, its arrow whole, and the text keeps clear.
    const int overlap = lblToPage->geometry().right() - cboBeginPage->x() + 1;
    if (overlap > 0) {
        cboBeginPage->raise();
        lblToPage->setIndent(overlap + 3);
    }
}

void PreviewWindow::placeScrollBars() {
    const QRectF main = placeOf(Mainpicture);
    const float hHeight = float(HScroll->sizeHint().height() * TwipsPerPixel);
    const float vWidth = float(VScroll->sizeHint().width() * TwipsPerPixel);
    place(HScroll, QRectF(0, main.height() - hHeight - 50, main.width() - 50, hHeight));
    place(VScroll, QRectF(main.width() - vWidth - 50, 0, vWidth, main.height() - hHeight - 50));
}

void PreviewWindow::centre(QWidget* frame, float areaWidth, float areaHeight) {
    const QRectF f = placeOf(frame);
    place(frame, QRectF((areaWidth - f.width()) / 2, (areaHeight - f.height()) / 2, f.width(),
                        f.height()));
}

float PreviewWindow::viewportWidth() const {
    return float(Mainpicture->width() * TwipsPerPixel);
}
float PreviewWindow::viewportHeight() const {
    return float(Mainpicture->height() * TwipsPerPixel);
}

} // namespace palvex
