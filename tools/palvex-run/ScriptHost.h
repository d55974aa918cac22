#pragma once

#include "ScriptParser.h"

#include <palvex/MemberTable.h>

#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include <palvex/Palvex.h>

#include <QHash>
#include <QString>
#include <QTextStream>

#include <memory>
#include <optional>

class QWidget;

namespace palvex::script {

struct Options {
    std::optional<QSizeF> screen; // twips
    QString printer;              // make this printer current
    bool noPrinters = false;
    QString pdf;              // where the PDF device writes
    std::vector<int> answers; // message box answers
    bool show = false;
    bool designMode = false;
    QString propertiesFile; // the host form's saved properties
    bool layout = false;    // the form's layout gives the control the whole form
};

// Runs script statements against one control instance hosted on a form of its own.
class ScriptHost {
public:
    ScriptHost(Options options, QTextStream& out);
    ~ScriptHost();

    // Runs one statement. A statement that names what the window does not have where the script
    // can only have meant something else (a control-array index that no control carries) stops the
    // script as a syntax error does: the error is returned.
    std::optional<ParseError> run(const Statement& statement);
    // Keeps the window open until the user closes it (with --show).
    void waitForWindow();

private:
    Palvex& control();
    void createControl();
    void destroyControl();
    // The member of that name (any case), looked up once a name.
    const MemberInfo* member(const QString& name);
    void callMember(const Statement& st);
    void runAction(const Statement& st);
    void listItems(const QStringList& words);
    // The named child of the control (with its index in a control array when given).
    QWidget* child(const QStringList& words, int indexWord);
    void click(const QStringList& words);
    void select(const QStringList& words);
    void listEntries(const QStringList& words);
    void key(const QStringList& words);
    void savePng(const QStringList& words);
    void printState();
    void typeText(const QStringList& words);
    void check(const QStringList& words);
    void keypress(const QStringList& words);
    void blur(const QStringList& words);
    void setup(const QStringList& words);
    void color(const QStringList& words);
    void exportTo(const QStringList& words);
    void screenshot(const QStringList& words);
    void listDrawn();
    void wheel(const QStringList& words);
    void resizeWindow(const QStringList& words);
    void clickThumbnail(const QStringList& words);
    void listThumbnails();
    // Prints a line for each of the control's signals to hosts from now on (or no more).
    void reportSignals(const QStringList& words);
    void connectSignals();
    // "error N: WHAT: REASON", the status's own description when there is no reason.
    void printError(Status status, const QString& what, const QString& reason = QString());

    Options m_options;
    QTextStream& m_out;
    std::shared_ptr<ScriptedMessageBoxes> m_boxes;
    std::shared_ptr<ScriptedDialogs> m_dialogs = std::make_shared<ScriptedDialogs>();
    Platform m_platform;
    std::unique_ptr<QWidget> m_form;
    Palvex* m_control = nullptr;
    std::optional<ParseError> m_mistake; // the running statement's, to stop the script
    QHash<QString, const MemberInfo*> m_members;
    static constexpr int CallsBetweenEvents = 256;
    int m_callsSinceEvents = 0;
    bool m_reportSignals = false;
};

} // namespace palvex::script
