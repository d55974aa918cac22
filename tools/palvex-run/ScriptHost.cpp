#include "ScriptHost.h"

#include "ControlForPrograms.h"
#include "PalvexPrivate.h"
#include "platform/DisplayPlatform.h"

#include "core/NumberText.h"
#include "platform/PropertyBag.h"
#include "recording/ItemWriter.h"
#include <palvex/Dispatch.h>

#include "platform/ImageSurface.h"
#include "preview/Navigation.h"
#include "preview/PageRenderer.h"
#include "recording/PageSetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>

#include <functional>
#include <utility>

namespace palvex::script {

ScriptHost::ScriptHost(Options options, QTextStream& out)
    : m_options(std::move(options)), m_out(out) {
    m_boxes = std::make_shared<ScriptedMessageBoxes>(
        [this](const QString& line) { m_out << line << Qt::endl; });
    for (int answer : m_options.answers)
        m_boxes->queueAnswer(answer);
    m_platform.messageBoxes = m_boxes;
    m_platform.dialogs = m_dialogs;
    m_platform.screen = m_options.screen
                            ? std::make_shared<Screen>(float(m_options.screen->width()),
                                                       float(m_options.screen->height()))
                            : (m_options.show ? std::make_shared<Screen>()
                                              : std::make_shared<Screen>(9600.0f, 7200.0f));
    m_platform.printers = Printers::system(!m_options.noPrinters);
    if (!m_options.pdf.isEmpty()) m_platform.printers->setPdfOutputPath(m_options.pdf);
    if (!m_options.printer.isEmpty() && !m_platform.printers->setCurrent(m_options.printer))
        m_out << "warning: no printer named " << m_options.printer << Qt::endl;
}

ScriptHost::~ScriptHost() {
    destroyControl();
}

Palvex& ScriptHost::control() {
    if (!m_control) createControl();
    return *m_control;
}

void ScriptHost::createControl() {
    destroyControl();
    m_form = std::make_unique<QWidget>();
    m_form->setWindowTitle(QStringLiteral("palvex-run"));
    Ambient ambient;
    ambient.font = QApplication::font();
    ambient.userMode = !m_options.designMode;
    m_control = newControl(m_platform, ambient, m_form.get());
    m_control->setObjectName(QStringLiteral("Palvex1"));
    if (m_options.layout) {
        auto* layout = new QVBoxLayout(m_form.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_control);
    }
    connectSignals();
    if (!m_options.propertiesFile.isEmpty() && QFileInfo::exists(m_options.propertiesFile)) {
        IniPropertyBag bag(m_options.propertiesFile);
        loadFormProperties(*m_control, bag);
    }
    // The control covers the screen when the preview starts; the form is as large.
    if (m_options.show) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            m_form->setGeometry(screen->geometry());
        m_form->show();
    }
}

void ScriptHost::destroyControl() {
    if (!m_control) return;
    if (!m_options.propertiesFile.isEmpty()) {
        IniPropertyBag bag(m_options.propertiesFile);
        saveFormProperties(*m_control, bag);
    }
    // Unloading the form destroys the control with it.
    m_form.reset();
    m_control = nullptr;
}

void ScriptHost::printError(Status status, const QString& what, const QString& reason) {
    m_out << "error " << int(status) << ": " << what << ": "
          << (reason.isEmpty()
                  ? QString::fromUtf8(describe(status).data(), qsizetype(describe(status).size()))
                  : reason)
          << Qt::endl;
}

std::optional<ParseError> ScriptHost::run(const Statement& st) {
    if (st.kind == Statement::Kind::Empty) return std::nullopt;
    // The window's events (layout, painting, deferred deletion) are let through before and after
    // every statement that acts on the window or prints what it shows, and on screen after every
    // statement, so each sees the window as a person would. Between plain calls of a headless
    // run they wait for a batch: a call does not depend on them, and letting them through after
    // each of a long report's calls cost more than the calls.
    const bool looks = st.kind == Statement::Kind::Action || st.kind == Statement::Kind::Query;
    if (looks) QCoreApplication::processEvents();
    if (st.kind == Statement::Kind::Action)
        runAction(st);
    else
        callMember(st);
    if (looks || m_options.show || ++m_callsSinceEvents >= CallsBetweenEvents) {
        QCoreApplication::processEvents();
        m_callsSinceEvents = 0;
    }
    if (m_mistake) m_mistake->line = st.line;
    return std::exchange(m_mistake, std::nullopt);
}

const MemberInfo* ScriptHost::member(const QString& name) {
    auto known = m_members.constFind(name);
    if (known == m_members.cend())
        known = m_members.insert(name, findMember(std::string_view(name.toStdString())));
    return *known;
}

void ScriptHost::callMember(const Statement& st) {
    Dispatch dispatch(control());
    const MemberInfo* member = this->member(st.name);
    if (!member) {
        printError(Status::NoSuchMember, st.name);
        return;
    }
    const auto shownName = [member] {
        return QString::fromLatin1(member->name.data(), qsizetype(member->name.size()));
    };
    std::vector<Variant> args = st.args;
    const DispId id = member->id;
    Variant result;
    Status status;
    if (st.kind == Statement::Kind::Set) {
        const bool byReference = member->isProperty && member->result->type == ValueType::Font;
        status = dispatch.invoke(
            id, byReference ? InvokeKind::PropertyPutRef : InvokeKind::PropertyPut, args, nullptr);
    } else {
        status = dispatch.invoke(
            id, member->isProperty ? InvokeKind::PropertyGet : InvokeKind::Method, args, &result);
    }
    if (status != Status::Ok) {
        // The control's own words for the refusal ("TableRow: the row has 4 cells, ..."). They
        // name the member as it is declared, whatever case the script wrote it in.
        const QString detail = control().lastErrorDetail();
        const QString prefix = shownName() + QStringLiteral(": ");
        printError(status, shownName(),
                   detail.startsWith(prefix) ? detail.mid(prefix.size()) : QString());
        return;
    }
    if (st.kind != Statement::Kind::Query) return;
    if (member->result)
        m_out << shownName() << " = " << result.toDisplayText() << Qt::endl;
    else
        m_out << shownName() << Qt::endl;
    for (size_t k = 0; k < args.size() && k < member->params.size(); ++k)
        if (member->params[k].byRef && !args[k].isMissing())
            m_out << "  arg " << (k + 1) << " = " << args[k].toDisplayText() << Qt::endl;
}

void ScriptHost::runAction(const Statement& st) {
    using Words = const QStringList&;
    // The window actions by name; those that take no words ignore them.
    static const std::pair<const char*, std::function<void(ScriptHost&, Words)>> actions[] = {
        {"new", [](ScriptHost& h, Words) { h.createControl(); }},
        {"close", [](ScriptHost& h, Words) { h.destroyControl(); }},
        {"items", &ScriptHost::listItems},
        {"click", &ScriptHost::click},
        {"select", &ScriptHost::select},
        {"list", &ScriptHost::listEntries},
        {"key", &ScriptHost::key},
        {"png", &ScriptHost::savePng},
        {"state", [](ScriptHost& h, Words) { h.printState(); }},
        {"text", &ScriptHost::typeText},
        {"check", &ScriptHost::check},
        {"keypress", &ScriptHost::keypress},
        {"blur", &ScriptHost::blur},
        {"color", &ScriptHost::color},
        {"setup", &ScriptHost::setup},
        {"export", &ScriptHost::exportTo},
        {"screenshot", &ScriptHost::screenshot},
        {"drawn", [](ScriptHost& h, Words) { h.listDrawn(); }},
        {"wheel", &ScriptHost::wheel},
        {"resize", &ScriptHost::resizeWindow},
        {"thumbnail", &ScriptHost::clickThumbnail},
        {"thumbnails", [](ScriptHost& h, Words) { h.listThumbnails(); }},
        {"signals", &ScriptHost::reportSignals},
    };
    for (const auto& [name, run] : actions)
        if (st.name == QLatin1String(name)) return run(*this, st.words);
    printError(Status::NotSupportedYet, QLatin1Char('!') + st.name);
}

// Prints the recorded items, one line each, from the report store.
void ScriptHost::listItems(const QStringList& words) {
    const ReportStore& store = control().internals().reportStore();
    const int32_t count = store.itemCount();
    const int32_t from = words.size() > 0 ? std::max(1, words[0].toInt()) : 1;
    const int32_t to = words.size() > 1 ? std::min(count, words[1].toInt()) : count;
    for (int32_t n = from; n <= to; ++n) {
        const PrintItem item = store.read(n);
        QString text = trimTrailingBlanks(item.ItemText);
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        m_out << "item " << n << ": kind=" << item.ItemKind << " page=" << item.PageNumber
              << " x=" << formatSingle(item.ItemX) << " y=" << formatSingle(item.ItemY)
              << " align=" << item.HAlign << " nocenter=" << item.NoCentering
              << " footer=" << item.FooterFlag << " yrel=" << item.YRelative << " font=\""
              << trimTrailingBlanks(item.FontName) << "\" size=" << formatSingle(item.FontSize)
              << (item.FontBold ? " bold" : "") << (item.FontItalic ? " italic" : "")
              << (item.FontUnderline ? " underline" : "") << " color=" << item.ForeColor
              << (store.pageEndsAfter(n) ? " page-end" : "")
              << (item.CenterOffset != 0
                      ? QStringLiteral(" offset=") + formatSingle(item.CenterOffset)
                      : QString())
              << " text=\"" << text << "\"" << Qt::endl;
    }
    m_out << "items: " << count << Qt::endl;
}

QWidget* ScriptHost::child(const QStringList& words, int indexWord) {
    if (words.isEmpty()) return nullptr;
    const QString& name = words[0];
    const int index = words.size() > indexWord ? words[indexWord].toInt() : -1;
    for (QWidget* w : control().findChildren<QWidget*>(name)) {
        const QVariant i = w->property("index");
        if (index < 0 || (i.isValid() && i.toInt() == index)) return w;
    }
    return nullptr;
}

void ScriptHost::click(const QStringList& words) {
    auto* button = qobject_cast<QAbstractButton*>(child(words, 1));
    if (!button && words.size() > 1 && child(words.mid(0, 1), 1)) {
        m_mistake = ParseError{0, QStringLiteral("no %1 has index %2").arg(words[0], words[1])};
        return;
    }
    if (!button)
        return printError(Status::NoSuchMember,
                          QStringLiteral("!click ") + words.join(QLatin1Char(' ')));
    button->click();
}

void ScriptHost::select(const QStringList& words) {
    auto* list = qobject_cast<QComboBox*>(child(words, 99));
    const int index = words.size() > 1 ? words[1].toInt() : -1;
    if (!list || index < 0 || index >= list->count())
        return printError(Status::InvalidPropertyValue,
                          QStringLiteral("!select ") + words.join(QLatin1Char(' ')));
    list->setCurrentIndex(index);
    emit list->activated(index); // the list's click event
}

// Prints a list's entries, one line each, the selected one marked.
void ScriptHost::listEntries(const QStringList& words) {
    auto* list = qobject_cast<QComboBox*>(child(words, 99));
    if (!list)
        return printError(Status::NoSuchMember,
                          QStringLiteral("!list ") + words.join(QLatin1Char(' ')));
    for (int i = 0; i < list->count(); ++i)
        m_out << (i == list->currentIndex() ? "* " : "  ") << list->itemText(i) << Qt::endl;
}

void ScriptHost::key(const QStringList& words) {
    const int code = words.value(0).toInt();
    const int shift = words.value(1).toInt();
    QWidget* target = child(QStringList{words.value(2, QStringLiteral("p1"))}, 99);
    const int qtKey = qtKeyOf(code);
    if (!target || qtKey == 0)
        return printError(Status::InvalidProcedureCall,
                          QStringLiteral("!key ") + words.join(QLatin1Char(' ')));
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiersOf(shift));
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiersOf(shift));
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

void ScriptHost::savePng(const QStringList& words) {
    if (words.isEmpty() || !control().internals().canvasImage().save(words[0], "PNG"))
        printError(Status::PathFileAccessError,
                   QStringLiteral("!png ") + words.join(QLatin1Char(' ')));
}

void ScriptHost::typeText(const QStringList& words) {
    QWidget* w = child(words, 99);
    const QString value = words.value(1);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setFocus();
        QFocusEvent in(QEvent::FocusIn);
        QCoreApplication::sendEvent(edit, &in);
        edit->setText(value);
    } else if (auto* list = qobject_cast<QComboBox*>(w); list && list->isEditable()) {
        list->setEditText(value);
    } else {
        printError(Status::NoSuchMember, QStringLiteral("!text ") + words.join(QLatin1Char(' ')));
    }
}

void ScriptHost::check(const QStringList& words) {
    auto* box = qobject_cast<QCheckBox*>(child(words, 99));
    if (!box)
        return printError(Status::NoSuchMember,
                          QStringLiteral("!check ") + words.join(QLatin1Char(' ')));
    box->setChecked(words.value(1).toInt() != 0);
}

void ScriptHost::keypress(const QStringList& words) {
    const int code = words.value(0).toInt();
    QWidget* target = child(QStringList{words.value(1, QStringLiteral("p1"))}, 99);
    const int qtKey = qtKeyOf(code);
    if (!target || qtKey == 0)
        return printError(Status::InvalidProcedureCall,
                          QStringLiteral("!keypress ") + words.join(QLatin1Char(' ')));
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, QString(QChar(code)));
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, QString(QChar(code)));
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

void ScriptHost::blur(const QStringList& words) {
    QWidget* target = child(words, 99);
    if (!target)
        return printError(Status::NoSuchMember,
                          QStringLiteral("!blur ") + words.join(QLatin1Char(' ')));
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(target, &out);
}

// The answer for the next printer set-up dialog: "ok" as it opens, "ok PAPER [ORIENTATION]"
// after choosing a paper (as PaperSize takes it) and an orientation, or "cancel".
void ScriptHost::setup(const QStringList& words) {
    if (words.value(0) != QLatin1String("ok")) return m_dialogs->queueSetup(false);
    if (words.size() < 2) return m_dialogs->queueSetup(true);
    PageSetup chosen;
    try {
        chosen.setPaperSize(words.value(1));
        bool number = true;
        const int32_t orientation = words.size() > 2 ? words.value(2).toInt(&number) : 0;
        chosen.setOrientation(number ? orientation : -1);
    } catch (const Error& error) {
        return printError(error.status, QStringLiteral("!setup ") + words.join(QLatin1Char(' ')));
    }
    m_dialogs->queueSetup(chosen.setupChoice());
}

void ScriptHost::color(const QStringList& words) {
    const QString value = words.value(0);
    if (value == QLatin1String("cancel")) return m_dialogs->queueColor(std::nullopt);
    bool ok = false;
    const uint rgb = value.toUInt(&ok, 16);
    if (!ok || value.size() != 6)
        return printError(Status::InvalidPropertyValue, QStringLiteral("!color ") + value);
    // RRGGBB as people write it; the control's colours are 0x00BBGGRR.
    m_dialogs->queueColor(int32_t(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF)));
}

// The answer for the next export file dialog: "cancel", or the file, whose ending (.pdf, .xlsx,
// .csv) says what it is written as.
void ScriptHost::exportTo(const QStringList& words) {
    const QString file = words.join(QLatin1Char(' '));
    if (file == QLatin1String("cancel")) return m_dialogs->queueExport(std::nullopt);
    if (const std::optional<ExportKind> kind = exportKindOf(file))
        return m_dialogs->queueExport(ExportTarget{file, *kind});
    printError(Status::InvalidPropertyValue, QStringLiteral("!export ") + file);
}

// The whole screen as a person sees it (with --show).
void ScriptHost::screenshot(const QStringList& words) {
    // Let the window system show what the statements before changed.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (words.isEmpty() || !screen || !screen->grabWindow(0).save(words[0], "PNG"))
        printError(Status::PathFileAccessError,
                   QStringLiteral("!screenshot ") + words.join(QLatin1Char(' ')));
}

// Where the page as drawn put each text: its right end and top in twips from the canvas's
// top-left corner (the paper's, at 100 %), so a script can hold them against the printout.
void ScriptHost::listDrawn() {
    const ImageSurface& canvas = control().internals().canvas();
    for (const DrawnText& d : control().internals().renderer().drawn) {
        const double right =
            canvas.originX() + (canvas.ScaleWidth() - d.x) * canvas.twipsPerUnitX();
        const double top = canvas.originY() + d.y * canvas.twipsPerUnitY();
        QString text = d.text.trimmed();
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        m_out << "drawn " << d.item << ": right=" << formatSingle(float(right))
              << " top=" << formatSingle(float(top)) << " text=\"" << text << "\"" << Qt::endl;
    }
    m_out << "canvas: " << formatSingle(canvas.Width()) << 'x' << formatSingle(canvas.Height())
          << " twips, " << control().internals().canvasImage().width() << 'x'
          << control().internals().canvasImage().height() << " pixels" << Qt::endl;
}

// A turn of the mouse wheel over the page: DELTA in eighths of a degree (120 a notch, positive
// away from the user), with Ctrl or Shift held.
void ScriptHost::wheel(const QStringList& words) {
    bool ok = false;
    const int delta = words.value(0).toInt(&ok);
    const QString held = words.value(1).toLower();
    auto* page = control().findChild<QWidget*>(QStringLiteral("p1"));
    if (!ok || !page ||
        (!held.isEmpty() && held != QLatin1String("ctrl") && held != QLatin1String("shift")))
        return printError(Status::InvalidProcedureCall,
                          QStringLiteral("!wheel ") + words.join(QLatin1Char(' ')));
    const Qt::KeyboardModifiers modifiers = held == QLatin1String("ctrl")    ? Qt::ControlModifier
                                            : held == QLatin1String("shift") ? Qt::ShiftModifier
                                                                             : Qt::NoModifier;
    const QPointF at(page->width() / 2.0, page->height() / 2.0);
    QWheelEvent event(at, page->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(page, &event);
}

// The host window takes a new size in pixels; the window is shown if it was not.
void ScriptHost::resizeWindow(const QStringList& words) {
    bool okWidth = false, okHeight = false;
    const int width = words.value(0).toInt(&okWidth), height = words.value(1).toInt(&okHeight);
    if (!okWidth || !okHeight || width < 1 || height < 1)
        return printError(Status::InvalidProcedureCall,
                          QStringLiteral("!resize ") + words.join(QLatin1Char(' ')));
    control();
    if (!m_form->isVisible()) m_form->show();
    m_form->resize(width, height);
    QCoreApplication::processEvents();
}

// A click on the Nth thumbnail of the page strip (from 0), brought into view first.
void ScriptHost::clickThumbnail(const QStringList& words) {
    auto* strip = control().findChild<QListView*>(QStringLiteral("lstThumbnails"));
    bool ok = false;
    const int row = words.value(0).toInt(&ok);
    if (!ok || !strip || strip->isHidden() || row < 0 || row >= strip->model()->rowCount())
        return printError(Status::InvalidProcedureCall,
                          QStringLiteral("!thumbnail ") + words.join(QLatin1Char(' ')));
    const QModelIndex index = strip->model()->index(row, 0);
    strip->scrollTo(index);
    const QPointF at = strip->visualRect(index).center();
    const QPointF global = strip->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(strip->viewport(), &press);
    QCoreApplication::sendEvent(strip->viewport(), &release);
}

// The page strip: whether it shows, its rows, the row marked as the page shown and its caption.
void ScriptHost::listThumbnails() {
    auto* strip = control().findChild<QListView*>(QStringLiteral("lstThumbnails"));
    auto* toggle = control().findChild<QAbstractButton*>(QStringLiteral("cmdThumbnails"));
    if (!strip || !toggle) return printError(Status::NoSuchMember, QStringLiteral("!thumbnails"));
    const QModelIndex marked = strip->currentIndex();
    m_out << "thumbnails: shown=" << (strip->isHidden() ? 0 : 1)
          << " button=" << (toggle->isHidden() ? 0 : 1) << " rows=" << strip->model()->rowCount()
          << " marked=" << (marked.isValid() ? marked.data().toString() : QStringLiteral("-"))
          << Qt::endl;
}

void ScriptHost::reportSignals(const QStringList& words) {
    const QString mode = words.value(0, QStringLiteral("on"));
    if (mode != QLatin1String("on") && mode != QLatin1String("off"))
        return printError(Status::InvalidProcedureCall, QStringLiteral("!signals ") + mode);
    m_reportSignals = mode == QLatin1String("on");
}

void ScriptHost::connectSignals() {
    auto report = [this](const QString& line) {
        if (m_reportSignals) m_out << "signal " << line << Qt::endl;
    };
    QObject::connect(m_control, &Palvex::pageShown, m_control,
                     [report](int page) { report(QStringLiteral("pageShown %1").arg(page)); });
    QObject::connect(m_control, &Palvex::printed, m_control,
                     [report](int pages) { report(QStringLiteral("printed %1").arg(pages)); });
    QObject::connect(m_control, &Palvex::closed, m_control,
                     [report] { report(QStringLiteral("closed")); });
    QObject::connect(m_control, &Palvex::messageShown, m_control,
                     [report](int flags, const QString& text) {
                         QString shown = text;
                         shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
                         report(QStringLiteral("messageShown %1: %2").arg(flags).arg(shown));
                     });
}

void ScriptHost::printState() {
    const ReportState& report = control().internals().report();
    const PreviewState& view = control().internals().view();
    auto* h = control().findChild<QScrollBar*>(QStringLiteral("HScroll"));
    auto* v = control().findChild<QScrollBar*>(QStringLiteral("VScroll"));
    QStringList visible;
    for (const char* name :
         {"p1", "HScroll", "VScroll", "cmdShowDaf", "Prg1", "fraSearch", "fraMarginsSetup",
          "fraZoomOptions", "fraPrinter", "cmdCancelPrinting"})
        if (QWidget* w = control().findChild<QWidget*>(QString::fromLatin1(name));
            w && !w->isHidden())
            visible << QString::fromLatin1(name);
    m_out << "page=" << view.currentPage << " zoom=" << formatSingle(view.zoomFactor)
          << " pages=" << (report.lastPageIndex + 1) << " hscroll=" << h->value() << '/'
          << h->maximum() << " vscroll=" << v->value() << '/' << v->maximum()
          << " visible=" << visible.join(QLatin1Char(',')) << Qt::endl;
}

void ScriptHost::waitForWindow() {
    // Offscreen no one could close the window: the script's end is the end.
    if (m_options.show && m_form && m_form->isVisible() && !DisplayPlatform::screenless())
        QApplication::exec();
}

} // namespace palvex::script
