// Report-store records are outside bytes too (a store left by another build, a damaged disk):
// any records, decoded, must replay onto a page, be measured for centring and be written to a
// printout without crashing, hanging or allocating without bound.

#include "FuzzControl.h"

#include "core/CodePage.h"
#include "platform/ImageSurface.h"
#include "printout/PrintoutWriter.h"
#include "recording/Definitions.h"
#include "recording/ReportStore.h"
#include "replay/GraphicsReplay.h"
#include "replay/ItemReplay.h"

#include <QBuffer>
#include <QDir>

#include <cstddef>
#include <cstdint>

using namespace palvex;

namespace {

struct Pages {
    fuzz::FuzzControl control; // the application, fonts and a private folder
    ReportStore store{CodePage::system()};
    ImageSurface canvas{1.0 / 30}; // half the screen's resolution keeps runs quick
    Pages() {
        store.OpenReportStore(QDir::currentPath().toStdString(), Definitions::DefaultMarginsCm);
        canvas.setScaleModeTwips();
        canvas.setWidth(11909);
        canvas.setHeight(16834);
        canvas.setScaleWidth(11189);
        canvas.setScaleHeight(16114);
        canvas.setPage(360, 360);
    }
};
Pages* pages = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pages = new Pages;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReportStore& store = pages->store;
    store.resetItems();
    PrintItem::Bytes record{};
    for (size_t at = 0; at < size && store.itemCount() < 64; at += PrintItem::Size) {
        record.fill(0);
        std::copy_n(data + at, std::min<size_t>(PrintItem::Size, size - at), record.begin());
        store.append(PrintItem::decode(record, CodePage::system()));
    }
    ReplayRules rules;
    rules.margins = {850, 850, 850, 1984};
    rules.currentYofPageNumber = 14400;
    const GraphicsReplay graphics;
    ItemReplay page(store, pages->canvas, rules);
    page.drawGraphic = [&](const PrintItem& item, ItemReplay& r) { graphics.draw(item, r); };
    page.replay(1, store.itemCount());
    pages->canvas.Cls();

    MeasuringSurface measuring;
    measuring.setScaleModeTwips();
    measuring.setWidth(11909);
    measuring.setScaleWidth(11189);
    ItemReplay extent(store, measuring, rules);
    extent.replay(1, store.itemCount());

    QBuffer printout;
    printout.open(QIODevice::WriteOnly);
    writePrintout(store, CodePage::system(), PrintoutScale{1.5f, true, 14400}, printout);
    pages->control.tidy();
    return 0;
}
