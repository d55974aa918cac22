#include "PreviewForm.h"
#include "ControlForPrograms.h"
#include "platform/Platform.h"

#include <palvex/Palvex.h>

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace palvex::demo {

PreviewForm::PreviewForm(const Platform& platform) {
    setObjectName(QStringLiteral("frmPrintPreview_RightToLeft"));
    setWindowTitle(QStringLiteral("PrintPreview_RightToLeft"));
    setAttribute(Qt::WA_DeleteOnClose);
    Ambient ambient;
    ambient.font = QApplication::font();
    m_control = newControl(platform, ambient, this);
    m_control->setObjectName(QStringLiteral("Palvex1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_control);
    // The control lays its preview out over the whole screen; the form is as large.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
}

void PreviewForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit unloaded();
}

} // namespace palvex::demo
