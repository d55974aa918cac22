#include "Thumbnails.h"

#include "PageRenderer.h"
#include "PreviewWindow.h"
#include "ThumbnailModel.h"
#include "ThumbnailStrip.h"
#include "preview/PreviewState.h"
#include "recording/PageLines.h"
#include "recording/ReportState.h"

#include <QPushButton>

namespace palvex {

Thumbnails::Thumbnails(PreviewState& view, const ReportState& report, PageRenderer& renderer,
                       PreviewWindow& window, QObject* parent)
    : QObject(parent), m_view(view), m_report(report), m_renderer(renderer), m_window(window) {
    ThumbnailStrip* strip = m_window.lstThumbnails;
    // Drawn while the strip paints, inside Qt's event loop: a page that cannot be read (its
    // store gone, a disk error) shows blank rather than throwing through the loop.
    strip->thumbnails().draw = [this, strip](int32_t page, int width) {
        try {
            return m_renderer.drawThumbnail(page, width, strip->devicePixelRatioF());
        } catch (...) {
            return QImage();
        }
    };
    connect(m_window.cmdThumbnails, &QPushButton::clicked, this,
            m_window.guard.handler([this] { toggle(); }));
    connect(strip, &QListView::clicked, this, [this](const QModelIndex& index) {
        m_window.guard.run([&] {
            if (index.isValid()) emit pageEntryWanted(index.row());
        });
    });
}

void Thumbnails::restyle() {
    const PageGeometry& u = m_report.unzoomed;
    ThumbnailStrip* strip = m_window.lstThumbnails;
    if (u.width > 0 && u.height > PageNumberGap)
        strip->setPageShape(double(u.height - PageNumberGap) / u.width);
    const int32_t pages = m_renderer.reportShown() ? m_report.lastPageIndex + 1 : 0;
    // Centring draws every page anew, one by one: the same rows keep their place in the strip.
    if (pages > 0 && pages == strip->model()->rowCount()) {
        strip->thumbnails().forgetDrawings();
        return;
    }
    strip->thumbnails().reset(pages, m_report.firstPageNumber);
    strip->markPage(m_view.currentPage - m_report.firstPageNumber);
}

void Thumbnails::showPage(int32_t page) {
    m_window.lstThumbnails->markPage(page - m_report.firstPageNumber);
}

void Thumbnails::start() {
    // The start lays the window out next, with the bar scaled for the button or without it.
    m_window.cmdThumbnails->setVisible(m_view.thumbnailsAtStart);
    m_window.cmdThumbnails->setChecked(m_view.thumbnailsAtStart);
    m_window.lstThumbnails->setVisible(m_view.thumbnailsAtStart);
}

bool Thumbnails::isShown() const {
    return !m_window.lstThumbnails->isHidden();
}

void Thumbnails::setShown(bool shown) {
    m_window.lstThumbnails->setVisible(shown);
    m_window.cmdThumbnails->setChecked(shown);
    m_window.layOut();
    if (shown) m_window.lstThumbnails->markPage(m_view.currentPage - m_report.firstPageNumber);
    emit layoutChanged();
}

void Thumbnails::toggle() {
    setShown(!isShown());
}

} // namespace palvex
