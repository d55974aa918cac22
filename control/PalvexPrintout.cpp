#include "PalvexPrivate.h"

#include "core/CodePage.h"
#include "preview/Navigation.h"
#include "printout/PrintoutReader.h"
#include "printout/PrintoutSaveFile.h"
#include "printout/PrintoutSourceFile.h"
#include "printout/PrintoutWriter.h"
#include "recording/GraphicsRecorder.h"
#include "recording/ItemWriter.h"
#include "recording/TextRecorder.h"

#include <QFile>
#include <QMetaObject>

namespace palvex {

namespace {

constexpr int Warning = MessageBoxes::Exclamation | MessageBoxes::OkOnly;

// A printout's lines arrive as the calls a host would make on the control.
class ControlSink final : public PrintoutSink {
public:
    ControlSink(Palvex& control, ReportState& report, TextRecorder& text,
                GraphicsRecorder& graphics)
        : m_control(control), m_report(report), m_text(text), m_graphics(graphics) {}

    float currentY() override { return m_report.props.CurrentY; }
    Status setCurrentX(float x) override { return m_control.let_CurrentX(x); }
    Status setCurrentY(float y) override { return m_control.let_CurrentY(y); }
    Status setFontName(const QString& name) override { return m_control.let_FontName(name); }
    Status setFontSize(float size) override { return m_control.let_FontSize(size); }
    Status setForeColor(int32_t color) override { return m_control.let_ForeColor(color); }
    Status setFontBold(bool on) override { return m_control.let_FontBold(on); }
    Status setFontUnderline(bool on) override { return m_control.let_FontUnderline(on); }
    Status setFontItalic(bool on) override { return m_control.let_FontItalic(on); }
    Status setFontStrikethru(bool on) override { return m_control.let_FontStrikethru(on); }
    Status jumpToNextLine() override { return m_control.JumpToNextLine(); }
    Status recordText(int16_t kind, int16_t align, const QString& text) override {
        return guarded([&] {
            m_text.printText(text, kind == KindTextNewLine ? A2_JumpToNextLine : A1_StayWhereYouAre,
                             align);
        });
    }
    Status recordSpecialCenter(int16_t kind, const QString& text, const QString& numbers,
                               int32_t direction) override {
        (void)direction; // a centred text has no direction of its own
        return guarded([&] { m_text.recordSpecialCenter(kind, text, numbers); });
    }
    Status recordRun(QChar character, int32_t direction, float start, float end) override {
        return guarded([&] { m_graphics.recordRun(character, direction, start, end); });
    }

private:
    Palvex& m_control;
    ReportState& m_report;
    TextRecorder& m_text;
    GraphicsRecorder& m_graphics;
};

} // namespace

Status Palvex::SavePrint(const QString& FileName, bool& Cancel) {
    return d->guard(__func__, [&] {
        const QString name = trimBlanks(FileName);
        // The printout is written from the report being recorded: without one, the file named
        // would be replaced by a printout of nothing (or of a report already closed).
        if (!name.isEmpty() && !d->reportOpen()) {
            Cancel = true;
            palvex::raise(Status::BadFileName);
        }
        Cancel = false;
        d->m_saveFile->close();
        if (name.isEmpty()) {
            d->m_saveEnabled = false;
            return;
        }
        const PrintoutSaveFile::Opened opened = d->m_saveFile->open(name);
        if (opened == PrintoutSaveFile::Opened::Ok) {
            d->m_saveEnabled = true;
            return;
        }
        d->m_saveEnabled = false;
        d->m_platform.messageBoxes->beep();
        d->m_platform.messageBoxes->show(
            QStringList{QStringLiteral("the file name that you want to save"), FileName,
                        opened == PrintoutSaveFile::Opened::AlreadyOpen
                            ? QStringLiteral("is already open.")
                            : QStringLiteral("cannot be open For Output."),
                        QStringLiteral("please start printing again in order to close it."),
                        QStringLiteral("please send this error message to"),
                        QStringLiteral("the developer of your software.")}
                .join(QLatin1Char('\n')),
            Warning, this);
        Cancel = true;
        // The host is told to start again: nothing more is recorded into this report. The host is
        // still inside this call, so the preview closes once it has returned, unless the host
        // has started the next report by then.
        d->m_report.close();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!d->reportOpen()) d->m_navigation->cmd_Click(ToolbarButton::Close);
            },
            Qt::QueuedConnection);
    });
}

Status Palvex::ReadPrint(const QString& FileName) {
    return d->guard(__func__, [&] {
        QFile file;
        if (!openPrintoutSource(file, FileName)) {
            d->m_platform.messageBoxes->beep();
            d->m_platform.messageBoxes->show(
                QStringList{QStringLiteral("you defined a file for printing data"),
                            QStringLiteral("but the file does not exist"),
                            QStringLiteral("or cannot be opened because of some reasons."),
                            QStringLiteral("the name of the file is ") + FileName,
                            QStringLiteral("Please check your file name and path if it is Ok.")}
                    .join(QLatin1Char('\n')),
                Warning, this);
            return;
        }
        readPrintout(file);
    });
}

bool Palvex::readPrintout(QIODevice& in) {
    ControlSink sink(*this, d->m_report, *d->m_text, *d->m_graphics);
    if (PrintoutReader(in, sink, printoutCodePage(in)).read()) return true;
    d->m_platform.messageBoxes->beep();
    return false;
}

void PalvexPrivate::WritePrintout() {
    QString error;
    const PrintoutScale scale{m_view.zoomFactor, m_view.zoomCurrentX,
                              m_report.lines.pageNumberLine(), m_report.pageCount()};
    const bool written = m_saveFile->commit(
        [&](QIODevice& out) {
            bool ok = false;
            const Status status =
                guarded([&] { ok = writePrintout(m_store, m_store.codePage(), scale, out); });
            return status == Status::Ok && ok;
        },
        error);
    if (!written) {
        // Never silently: the host's earlier printout is still there, but this one is not.
        m_platform.messageBoxes->beep();
        m_platform.messageBoxes->show(
            QStringList{QStringLiteral("the printout could not be saved to"), m_saveFile->path(),
                        error, QStringLiteral("the file keeps what it held before.")}
                .join(QLatin1Char('\n')),
            Warning, nullptr);
    }
    m_saveFile->close();
    m_saveEnabled = false;
}

} // namespace palvex
