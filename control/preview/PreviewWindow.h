#pragma once

#include "core/EventGuard.h"
#include "texts/WindowTextSet.h"

#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class QWidget;

namespace palvex {

class PageCanvas;
class PageNumberList;
class ThumbnailStrip;
class TwipScrollBar;

// The preview window: every child control of the control, with its name, caption, colours and
// designed place in twips (15 twips to a logical pixel). Behaviour lives elsewhere.
class PreviewWindow {
public:
    static constexpr int TwipsPerPixel = 15;
    static constexpr float DesignedScreenWidth = 9600;
    static constexpr float ToolbarHeight = 720; // Picture1: the top of the viewport
    // The page strip's button, when a host offers the strip, follows the designed tool bar;
    // the bar is then scaled so that both fit the screen.
    static constexpr float ThumbnailsButtonLeft = 9660;

    explicit PreviewWindow(QWidget* control);

    // Places a widget at a rectangle in twips.
    static void place(QWidget* widget, const QRectF& twips);
    static QRectF placeOf(const QWidget* widget);

    // Toolbar widths and lefts are the designed ones times screen width / 9600.
    void scaleToolbar(float screenWidthTwips);
    // The control covers the screen, or as much of it as the host's window shows.
    void coverScreen(float widthTwips, float heightTwips);
    // The window shown and laid out in the control where it is and as large as it is.
    void showLaidOut();
    // Lays the toolbar, the viewport, the scroll bars and the panels out inside the control as
    // it is now sized, so nothing lies beyond the window's edge.
    void layOut();
    // The control's size in twips: the area the window is laid out in.
    QSizeF areaTwips() const;
    // The part of the viewport that the scroll bars leave free, in pixels.
    QSize visibleArea() const;
    void setPreviewColor(const QColor& color);
    // Texts in a right-to-left language: the panels, lists and captions read from the right
    // (labels and lists aligned to it, check boxes and frame titles at it). The page canvas
    // and the scroll bars keep their direction, which the navigation relies on.
    void readRightToLeft();
    // What a screen reader says of the controls beyond their captions, in the language of
    // `texts`: what each tool bar button does, the names of the two unlabelled lists and of the
    // page canvas. Captions, titles and labels name their controls as shown, so a caption the
    // host replaces is what the reader says.
    void describe(const WindowTextSet& texts);
    // Scroll bars along the viewport's bottom and right edges.
    void placeScrollBars();
    // A frame centred on an area of the given size.
    static void centre(QWidget* frame, float areaWidth, float areaHeight);

    float viewportWidth() const;  // Mainpicture's ScaleWidth, twips
    float viewportHeight() const; // Mainpicture's ScaleHeight, twips

    // Every event handler of the window runs through it.
    EventGuard guard;
    // Twips left free under the viewport: the form that covers the screen keeps clear of the
    // bottom of the screen; a control in a host's layout uses its whole place.
    static constexpr float ScreenBottomReserve = 710;
    float bottomReserve = ScreenBottomReserve;

    QWidget* control;
    QWidget* Picture1;
    QWidget* Toolbar1;
    PerButton<QPushButton*> cmd;
    QComboBox* cboPage;
    PageNumberList* pageList; // cboPage's entries
    QComboBox* cboZoom;
    QComboBox* cboMoreOptions;
    QToolButton* Image1;
    QToolButton* Image2;
    QWidget* Mainpicture;
    PageCanvas* p1;
    QPushButton* cmdThumbnails;    // shows and hides the page strip; hidden unless offered
    ThumbnailStrip* lstThumbnails; // right of the viewport when shown
    TwipScrollBar* HScroll;
    TwipScrollBar* VScroll;
    QPushButton* cmdShowDaf;
    QProgressBar* Prg1;
    QPushButton* cmdCancelPrinting;

    QGroupBox* fraSearch;
    QLabel* lblSearch;
    QLineEdit* txtSearch;
    QPushButton* cmdSearch;
    QPushButton* cmdCancelSearch;

    QGroupBox* fraMarginsSetup;
    std::array<QLabel*, 4> lblMargins;    // left, right, top, bottom
    std::array<QComboBox*, 4> cboMargins; // left, right, top, bottom
    QCheckBox* chkDefaultMargins;
    QPushButton* cmdOKMarginsSetup;
    QPushButton* cmdCancelMarginsSetup;

    QGroupBox* fraZoomOptions;
    QLabel* lblChangeZoom;
    QCheckBox* chkZoomCurrentx;
    QCheckBox* chkZoomWidth;
    QCheckBox* chkZoomHeight;
    QPushButton* cmdOKZoomOptions;
    QPushButton* cmdCancelZoomOptions;

    QGroupBox* fraPrinter;
    QLabel* lblPrinterName;
    QLabel* lblCopies;
    QLabel* lblQuality;
    QLabel* lblZoomPrinting;
    QLabel* lblFromPage;
    QLabel* lblToPage;
    QComboBox* cboDevicePrinter;
    QComboBox* cboOTEK;
    QComboBox* cboQuality;
    QComboBox* cboZoomPrinting;
    QComboBox* cboBeginPage;
    QComboBox* cboEndPage;
    PageNumberList* printPages; // the entries of cboBeginPage and cboEndPage
    QPushButton* cmdPrintSetup;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdExport; // the report to a PDF, Excel or CSV file instead of a printer

private:
    // The parts, built in these steps with the captions of the English text set.
    void buildToolbar(const WindowTextSet& texts);
    void buildViewport();
    void buildThumbnails();
    void buildProgress(const WindowTextSet& texts);
    void buildSearchPanel(const WindowTextSet& texts);
    void buildMarginsPanel(const WindowTextSet& texts);
    void buildZoomOptionsPanel(const WindowTextSet& texts);
    void buildPrinterPanel(const WindowTextSet& texts);
    void keepSystemColours();
    void orderFocus();

    struct Designed {
        QWidget* widget;
        QRectF twips;
    };
    std::array<Designed, 14> m_toolbar{};
};

} // namespace palvex
