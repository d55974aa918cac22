// The interface texts of the control: captions, list texts, button fonts and message boxes.

#include "PalvexPrivate.h"

#include "texts/ControlMessages.h"

#include "platform/FontCatalog.h"
#include "preview/Navigation.h"
#include "preview/PageNumberList.h"
#include "preview/PreviewWindow.h"
#include "texts/WindowTextSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace palvex {

namespace {

// Sets a list entry that exists; an entry the list does not hold yet is refused.
void setEntry(QComboBox* list, int index, const QString& text) {
    if (index < 0 || index >= list->count())
        refuse(
            Status::InvalidPropertyValue,
            QStringLiteral("the list has no entry %1 (it has %2)").arg(index).arg(list->count()));
    list->setItemText(index, text);
}

void setFontSize(QWidget* w, float size) {
    if (!(size > 0 && size <= 2160))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("a font size of %1 points; sizes are more than 0 and at most 2160")
                   .arg(double(size)));
    QFont font = w->font();
    font.setPointSizeF(size);
    w->setFont(font);
}

// A setter that a whole set of texts is made of: its failure fails the set.
void check(Status status) {
    if (status != Status::Ok) raise(status);
}

void setBold(QWidget* w, bool bold) {
    QFont font = w->font();
    font.setBold(bold);
    w->setFont(font);
}

} // namespace

// Each toolbar button's caption (kept, and shown by the next start), font size and boldness.
#define PALVEX_TOOLBAR_BUTTON_MEMBERS(CaptionName, FontName, Button)                               \
    Status Palvex::fxCaptionButton_##CaptionName(const QString& TXT) {                             \
        d->m_view.buttonCaptions[ToolbarButton::Button] = TXT;                                     \
        return Status::Ok;                                                                         \
    }                                                                                              \
    Status Palvex::fxFontsize_Button_##FontName(const float& SZ) {                                 \
        return d->guard(__func__,                                                                  \
                        [&] { setFontSize(d->m_window->cmd[ToolbarButton::Button], SZ); });        \
    }                                                                                              \
    Status Palvex::fxFontbold_Button_##FontName(const bool& BL) {                                  \
        setBold(d->m_window->cmd[ToolbarButton::Button], BL);                                      \
        return Status::Ok;                                                                         \
    }

PALVEX_TOOLBAR_BUTTON_MEMBERS(Close, Close, Close)
PALVEX_TOOLBAR_BUTTON_MEMBERS(Print, Print, Print)
PALVEX_TOOLBAR_BUTTON_MEMBERS(First_F5, First, First)
PALVEX_TOOLBAR_BUTTON_MEMBERS(Previous_F6, Previous, Previous)
PALVEX_TOOLBAR_BUTTON_MEMBERS(Next_F7, Next, Next)
PALVEX_TOOLBAR_BUTTON_MEMBERS(Last_F8, Last, Last)
PALVEX_TOOLBAR_BUTTON_MEMBERS(Search_F3, Search, Search)
PALVEX_TOOLBAR_BUTTON_MEMBERS(Continue_Search_F3, Continue_Search, ContinueSearch)
#undef PALVEX_TOOLBAR_BUTTON_MEMBERS

Status Palvex::fxCaptionButton_Thumbnails(const QString& TXT) {
    d->m_view.thumbnailsButtonCaption = TXT;
    return Status::Ok;
}

Status Palvex::fxCaptionFraPrinter(const QString& TXT) {
    d->m_window->fraPrinter->setTitle(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblPrinterName(const QString& TXT) {
    d->m_window->lblPrinterName->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblCopies(const QString& TXT) {
    d->m_window->lblCopies->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblQuality(const QString& TXT) {
    d->m_window->lblQuality->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblZoomPrinting(const QString& TXT) {
    d->m_window->lblZoomPrinting->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblFromPage(const QString& TXT) {
    d->m_window->lblFromPage->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblToPage(const QString& TXT) {
    d->m_window->lblToPage->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionCmdPrintSetup(const QString& TXT) {
    d->m_window->cmdPrintSetup->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionCmdExport(const QString& TXT) {
    d->m_window->cmdExport->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionFraPrinterCmdOK(const QString& TXT) {
    d->m_window->cmdOK->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionFraPrinterCmdCancel(const QString& TXT) {
    d->m_window->cmdCancel->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionFraSearch(const QString& TXT) {
    d->m_window->fraSearch->setTitle(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionLblSearch(const QString& TXT) {
    d->m_window->lblSearch->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionCmdSearch(const QString& TXT) {
    d->m_window->cmdSearch->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaptionCmdCancelSearch(const QString& TXT) {
    d->m_window->cmdCancelSearch->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaption_chkDefaultMargins(const QString& TXT) {
    d->m_window->chkDefaultMargins->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxTextComboQuality_Draft(const QString& TXT) {
    return d->guard(__func__, [&] { setEntry(d->m_window->cboQuality, 0, TXT); });
}
Status Palvex::fxTextComboQuality_Low(const QString& TXT) {
    return d->guard(__func__, [&] { setEntry(d->m_window->cboQuality, 1, TXT); });
}
Status Palvex::fxTextComboQuality_Medium(const QString& TXT) {
    return d->guard(__func__, [&] { setEntry(d->m_window->cboQuality, 2, TXT); });
}
Status Palvex::fxTextComboQuality_High(const QString& TXT) {
    return d->guard(__func__, [&] { setEntry(d->m_window->cboQuality, 3, TXT); });
}
Status Palvex::fxTextComboZoom_Ignore(const QString& TXT) {
    return d->guard(__func__, [&] { setEntry(d->m_window->cboZoomPrinting, 0, TXT); });
}
Status Palvex::fxTextComboZoom_Defined(const QString& TXT) {
    return d->guard(__func__, [&] { setEntry(d->m_window->cboZoomPrinting, 1, TXT); });
}

// The three OK buttons and the three Cancel buttons share their captions.
Status Palvex::fxCaption_cmdOK(const QString& TXT) {
    for (QPushButton* b :
         {d->m_window->cmdOK, d->m_window->cmdOKMarginsSetup, d->m_window->cmdOKZoomOptions})
        b->setText(TXT);
    return Status::Ok;
}
Status Palvex::fxCaption_cmdCANCEL(const QString& TXT) {
    for (QPushButton* b : {d->m_window->cmdCancel, d->m_window->cmdCancelMarginsSetup,
                           d->m_window->cmdCancelZoomOptions})
        b->setText(TXT);
    return Status::Ok;
}

Status Palvex::Fontname_Buttons(const QString& TXT) {
    // A font the platform refuses stops the walk quietly; buttons already changed keep it.
    const QString name = TXT.trimmed();
    const FontCatalog& catalog = FontCatalog::instance();
    for (QPushButton* b : d->m_window->cmd) {
        if (!catalog.isKnown(name)) break;
        QFont font = b->font();
        font.setFamilies(QStringList{catalog.resolve(name)} +
                         catalog.fallbacks(catalog.resolve(name)));
        b->setFont(font);
    }
    return Status::Ok;
}

Status Palvex::fxCaptionsOfComboMoreoptions(const int16_t& X, const QString& CAP) {
    if (X >= 0 && X <= 5) d->m_window->cboMoreOptions->setItemText(X, CAP);
    return Status::Ok;
}

Status Palvex::fxCaptionsOflblMargins(const int16_t& X, const QString& CAP) {
    if (X == 0)
        d->m_window->fraMarginsSetup->setTitle(CAP);
    else if (X >= 1 && X <= 4)
        d->m_window->lblMargins[size_t(X - 1)]->setText(CAP);
    return Status::Ok;
}

Status Palvex::fxCaptionsOfZoomOptions(const int16_t& X, const QString& CAP) {
    switch (X) {
    case 0:
        d->m_window->fraZoomOptions->setTitle(CAP);
        break;
    case 1:
        d->m_window->lblChangeZoom->setText(CAP);
        break;
    case 2:
        d->m_window->chkZoomCurrentx->setText(CAP);
        break;
    case 3:
        d->m_window->chkZoomHeight->setText(CAP);
        break;
    case 4:
        d->m_window->chkZoomWidth->setText(CAP);
        break;
    case 5: // the zoom list's "fit width" and "fit page"
    case 6:
        d->m_window->cboZoom->setItemText(Navigation::FitWidthEntry + X - 5, CAP);
        break;
    default:
        break;
    }
    return Status::Ok;
}

Status Palvex::fxCaptionPageNumber(const QString& TXT) {
    d->m_view.keptTexts.pageCaption = TXT;
    d->m_view.pageCaption = TXT;
    d->m_window->pageList->setCaption(TXT);
    return Status::Ok;
}

Status Palvex::fxCaptionFormatingPage(const QString& TXT) {
    d->m_view.keptTexts.formattingCaption = TXT;
    // While pages are being formatted the button shows the old caption and a count: the count
    // stays, under the new caption.
    QPushButton* progress = d->m_window->cmdShowDaf;
    if (progress->text().startsWith(d->m_view.formattingCaption))
        progress->setText(TXT + progress->text().mid(d->m_view.formattingCaption.size()));
    d->m_view.formattingCaption = TXT;
    return Status::Ok;
}

Status Palvex::fxWaitMessageCentering(const QString& TXT) {
    d->m_view.keptTexts.centringWaitMessage = TXT;
    d->m_view.centringWaitMessage = TXT;
    return Status::Ok;
}

Status Palvex::fxTextOfMessage(const txtMessageType& Message, const QString& TXT) {
    return d->guard(__func__, [&] {
        if (size_t(Message) >= d->m_view.previewMessages.size())
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("Message %1 is not one of the preview's messages (0 to %2)")
                       .arg(int(Message))
                       .arg(d->m_view.previewMessages.size() - 1));
        d->m_view.keptTexts.messages[Message] = TXT;
        d->m_view.previewMessages[Message] = TXT;
    });
}

Status Palvex::fxTextComboQualityEntry(const int16_t& X, const QString& TXT) {
    return d->guard(__func__, [&] {
        auto& entries = d->m_view.keptTexts.qualityEntries;
        if (X < 0 || size_t(X) >= entries.size())
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("X %1 is not an entry of the quality list (0 to %2)")
                       .arg(X)
                       .arg(entries.size() - 1));
        entries[size_t(X)] = TXT;
        if (X < d->m_window->cboQuality->count()) d->m_window->cboQuality->setItemText(X, TXT);
    });
}

Status Palvex::fxCaptionCmdCancelPrinting(const QString& TXT) {
    d->m_window->cmdCancelPrinting->setText(TXT);
    return Status::Ok;
}

Status Palvex::fxToolTipsOfWindow(const int16_t& X, const QString& TXT) {
    QWidget* const tipped[] = {d->m_window->cmd[ToolbarButton::Close], d->m_window->Image1,
                               d->m_window->Image2, d->m_window->cmdThumbnails};
    return d->guard(__func__, [&] {
        if (X < 0 || X >= int16_t(std::size(tipped)))
            refuse(Status::InvalidPropertyValue,
                   QStringLiteral("X %1 is not one of the window's tool tips (0 to %2)")
                       .arg(X)
                       .arg(std::size(tipped) - 1));
        tipped[X]->setToolTip(TXT);
    });
}

Status Palvex::UseHebrewTexts() {
    return d->guard(__func__, [&] {
        const WindowTextSet& t = hebrewTexts();
        PreviewWindow& w = *d->m_window;
        // The toolbar captions are the host's for later starts and shown now as well, so one
        // call gives a Hebrew window whether the preview is showing or not.
        for (size_t i = 0; i < t.buttons.size(); ++i) {
            const ToolbarButton button = t.buttons.key(i);
            d->m_view.buttonCaptions[button] = t.buttons[button];
            w.cmd[button]->setText(t.buttons[button]);
        }
        d->m_view.thumbnailsButtonCaption = t.thumbnailsButton;
        w.cmdThumbnails->setText(t.thumbnailsButton);
        for (int16_t i = 0; i < int16_t(t.toolTips.size()); ++i)
            check(fxToolTipsOfWindow(i, t.toolTips[size_t(i)]));
        for (int16_t i = 0; i < int16_t(t.moreOptions.size()); ++i)
            check(fxCaptionsOfComboMoreoptions(i, t.moreOptions[size_t(i)]));
        for (int16_t i = 0; i < int16_t(t.margins.size()); ++i)
            check(fxCaptionsOflblMargins(i, t.margins[size_t(i)]));
        for (int16_t i = 0; i < int16_t(t.zoomOptions.size()); ++i)
            check(fxCaptionsOfZoomOptions(i, t.zoomOptions[size_t(i)]));
        check(fxCaption_chkDefaultMargins(t.defaultMargins));
        check(fxCaption_cmdOK(t.ok));
        check(fxCaption_cmdCANCEL(t.cancel));

        check(fxCaptionFraPrinter(t.printerFrame));
        check(fxCaptionLblPrinterName(t.printerName));
        check(fxCaptionLblCopies(t.copies));
        check(fxCaptionLblQuality(t.quality));
        check(fxCaptionLblZoomPrinting(t.printZoom));
        check(fxCaptionLblFromPage(t.fromPage));
        check(fxCaptionLblToPage(t.toPage));
        check(fxCaptionCmdPrintSetup(t.printSetup));
        check(fxCaptionCmdExport(t.exportFile));
        d->m_view.exportFailedCaption = t.exportFailed;
        for (int16_t i = 0; i < int16_t(t.qualityEntries.size()); ++i)
            check(fxTextComboQualityEntry(i, t.qualityEntries[size_t(i)]));
        // Kept like the quality entries: the print zoom list is refilled by every start.
        for (size_t i = 0; i < t.printZoomEntries.size(); ++i) {
            d->m_view.keptTexts.printZoomEntries[i] = t.printZoomEntries[i];
            if (int(i) < w.cboZoomPrinting->count())
                w.cboZoomPrinting->setItemText(int(i), t.printZoomEntries[i]);
        }

        check(fxCaptionFraSearch(t.searchFrame));
        check(fxCaptionLblSearch(t.searchPrompt));
        check(fxCaptionCmdSearch(t.searchButton));
        check(fxCaptionCmdCancelSearch(t.cancel));

        check(fxCaptionPageNumber(t.pageCaption));
        check(fxCaptionFormatingPage(t.formattingCaption));
        check(fxWaitMessageCentering(t.centringWait));
        check(fxCaptionCmdCancelPrinting(t.cancelPrinting));
        for (size_t i = 0; i < t.messages.size(); ++i)
            check(fxTextOfMessage(t.messages.key(i), t.messages[t.messages.key(i)]));
        w.describe(t);
        w.readRightToLeft();
    });
}

Status Palvex::writeMsgbox(const txtMessageType& Message, const QString& TXT) {
    return d->guard(__func__, [&] { d->m_messages->show(Message, TXT); });
}

} // namespace palvex
