#pragma once

#include "platform/Platform.h"

#include <QWidget>

namespace palvex {
class Palvex;
}

namespace palvex::demo {

// frmPrintPreview_RightToLeft: carries the one control instance Palvex1 and nothing else. The
// form is destroyed when it closes (unloading it), and the control with it: that is when the
// control writes a printout file it was asked to save.
class PreviewForm : public QWidget {
    Q_OBJECT

public:
    explicit PreviewForm(const Platform& platform);

    // The control placed on the form; the host reaches it through Automation only.
    Palvex& Palvex1() { return *m_control; }

signals:
    // Form_Unload: the preview is closing (its Close button or the window's own close).
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Palvex* m_control;
};

} // namespace palvex::demo
