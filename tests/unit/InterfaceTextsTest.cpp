// Interface texts: every caption setter reaches the control it names, the deferred toolbar
// captions, button fonts, indexed captions with their index checks, and the message boxes.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace palvex::test {
namespace {

class InterfaceTexts : public ControlFixture {
protected:
    QString caption(QWidget* w) {
        if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
        return {};
    }
};

TEST_F(InterfaceTexts, EveryCaptionSetterReachesItsControl) {
    using Setter = Status (Palvex::*)(const QString&);
    const struct {
        Setter setter;
        const char* control;
    } setters[] = {
        {&Palvex::fxCaptionFraPrinter, "fraPrinter"},
        {&Palvex::fxCaptionLblPrinterName, "lblPrinterName"},
        {&Palvex::fxCaptionLblCopies, "lblCopies"},
        {&Palvex::fxCaptionLblQuality, "lblQuality"},
        {&Palvex::fxCaptionLblZoomPrinting, "lblZoomPrinting"},
        {&Palvex::fxCaptionLblFromPage, "lblFromPage"},
        {&Palvex::fxCaptionLblToPage, "lblToPage"},
        {&Palvex::fxCaptionCmdPrintSetup, "cmdPrintSetup"},
        {&Palvex::fxCaptionFraPrinterCmdOK, "cmdOK"},
        {&Palvex::fxCaptionFraPrinterCmdCancel, "cmdCancel"},
        {&Palvex::fxCaptionFraSearch, "fraSearch"},
        {&Palvex::fxCaptionLblSearch, "lblSearch"},
        {&Palvex::fxCaptionCmdSearch, "cmdSearch"},
        {&Palvex::fxCaptionCmdCancelSearch, "cmdCancelSearch"},
        {&Palvex::fxCaption_chkDefaultMargins, "chkDefaultMargins"},
    };
    int n = 0;
    for (const auto& s : setters) {
        QString text = QString::fromUtf8("כיתוב %1").arg(++n);
        ASSERT_EQ((ctl().*s.setter)(text), Status::Ok) << s.control;
        EXPECT_EQ(caption(child<QWidget>(s.control)), text) << s.control;
    }
    QString ok = QString::fromUtf8("אישור"), cancel = QString::fromUtf8("ביטול");
    EXPECT_EQ(ctl().fxCaption_cmdOK(ok), Status::Ok);
    EXPECT_EQ(ctl().fxCaption_cmdCANCEL(cancel), Status::Ok);
    for (const char* name : {"cmdOK", "cmdOKMarginsSetup", "cmdOKZoomOptions"})
        EXPECT_EQ(caption(child<QWidget>(name)), ok);
    for (const char* name : {"cmdCancel", "cmdCancelMarginsSetup", "cmdCancelZoomOptions"})
        EXPECT_EQ(caption(child<QWidget>(name)), cancel);
}

TEST_F(InterfaceTexts, ToolbarCaptionsWaitForTheStartAndBlankOnesAreIgnored) {
    QString close = QString::fromUtf8(" סגור"), blank = QStringLiteral("   ");
    EXPECT_EQ(ctl().fxCaptionButton_Close(close), Status::Ok);
    EXPECT_EQ(ctl().fxCaptionButton_Print(blank), Status::Ok);
    EXPECT_EQ(button(0)->text(), QStringLiteral("Close"));
    start();
    EXPECT_EQ(button(0)->text(), close); // shown with its leading blank
    EXPECT_EQ(button(1)->text(), QStringLiteral("Print"));
}

TEST_F(InterfaceTexts, ButtonFontsAndTheIndexedCaptions) {
    float size = 11;
    bool bold = true;
    ASSERT_EQ(ctl().fxFontsize_Button_Next(size), Status::Ok);
    ASSERT_EQ(ctl().fxFontbold_Button_Next(bold), Status::Ok);
    EXPECT_FLOAT_EQ(button(4)->font().pointSizeF(), 11);
    EXPECT_TRUE(button(4)->font().bold());
    size = -3;
    EXPECT_EQ(ctl().fxFontsize_Button_Close(size), Status::InvalidPropertyValue);

    QString font = QStringLiteral("  David CLM ");
    ASSERT_EQ(ctl().Fontname_Buttons(font), Status::Ok);
    EXPECT_EQ(button(7)->font().families().value(0), QStringLiteral("David CLM"));
    QString unknown = QStringLiteral("No Such Font");
    EXPECT_EQ(ctl().Fontname_Buttons(unknown), Status::Ok); // stops quietly
    EXPECT_EQ(button(0)->font().families().value(0), QStringLiteral("David CLM"));

    int16_t x = 5;
    QString cap = QString::fromUtf8("צבע רקע");
    ASSERT_EQ(ctl().fxCaptionsOfComboMoreoptions(x, cap), Status::Ok);
    EXPECT_EQ(child<QComboBox>("cboMoreOptions")->itemText(5), cap);
    x = 6;
    ASSERT_EQ(ctl().fxCaptionsOfComboMoreoptions(x, cap), Status::Ok);
    EXPECT_EQ(child<QComboBox>("cboMoreOptions")->count(), 6);
    x = 1;
    ASSERT_EQ(ctl().fxCaptionsOflblMargins(x, cap), Status::Ok);
    EXPECT_EQ(child<QLabel>("lblLeftMargin")->text(), cap);
    x = 3;
    ASSERT_EQ(ctl().fxCaptionsOfZoomOptions(x, cap), Status::Ok);
    EXPECT_EQ(child<QCheckBox>("chkZoomHeight")->text(), cap);

    // Quality and print-zoom texts change entries that start-up has made.
    QString draft = QStringLiteral("Draft");
    EXPECT_EQ(ctl().fxTextComboQuality_Draft(draft), Status::InvalidPropertyValue);
    start();
    ASSERT_EQ(ctl().fxTextComboQuality_Draft(draft), Status::Ok);
    EXPECT_EQ(child<QComboBox>("cboQuality")->itemText(0), draft);
}

TEST_F(InterfaceTexts, MessageBoxesOfTheFourKinds) {
    const std::pair<int32_t, int> kinds[] = {{0, 1572864}, {1, 1572868}, {2, 524352}, {3, 1572912}};
    for (auto [kind, flags] : kinds) {
        boxes().clearLog();
        auto k = txtMessageType(kind);
        QString text = QString::fromUtf8("הודעה");
        ASSERT_EQ(ctl().writeMsgbox(k, text), Status::Ok);
        ASSERT_EQ(boxes().log().size(), 1u);
        EXPECT_EQ(boxes().log()[0], QStringLiteral("msgbox %1: ").arg(flags) + text);
    }
    EXPECT_EQ(ctl().internals().report().lastAnswer,
              QStringLiteral("1")); // the answer of the "not found" box
    boxes().queueAnswer(MessageBoxes::AnswerNo);
    auto question = K1_Is_the_number_of_copies_OK;
    QString text = QStringLiteral("?");
    EXPECT_EQ(ctl().writeMsgbox(question, text), Status::Ok);
    EXPECT_EQ(ctl().internals().report().lastAnswer, QStringLiteral("7"));
    boxes().clearLog();
    auto other = txtMessageType(4);
    EXPECT_EQ(ctl().writeMsgbox(other, text), Status::Ok);
    EXPECT_TRUE(boxes().log().empty());
    EXPECT_EQ(ctl().internals().report().lastAnswer, QStringLiteral("7"));
}

} // namespace
} // namespace palvex::test
