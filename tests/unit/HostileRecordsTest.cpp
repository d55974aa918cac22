// The report store is a file on disk: whatever its records hold (written by another build, or
// damaged), showing, searching, centring, printing and saving the report must neither crash nor
// hang, and absurd values must not allocate without bound.

#include "ControlFixture.h"

#include "core/CodePage.h"
#include "recording/RecordFile.h"
#include "recording/ShapeParams.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

#include <cmath>
#include <limits>

namespace palvex::test {
namespace {

class HostileRecords : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        m_platform.printers->setPdfOutputPath(path("hostile.pdf"));
        start();
        QString name = path("hostile.prn");
        bool cancel = false;
        ASSERT_EQ(ctl().SavePrint(name, cancel), Status::Ok);
        for (int page = 0; page < 2; ++page) {
            for (int i = 0; i < 12; ++i)
                ASSERT_EQ(text(QStringLiteral("line %1").arg(i), A2_JumpToNextLine), Status::Ok);
            ASSERT_EQ(page == 0 ? ctl().printPage() : ctl().printLastPage(), Status::Ok);
        }
    }

    // Overwrites item n with what `damage` makes of it, behind the control's back.
    template <class F> void damage(int32_t n, F&& change) {
        PrintItem it = item(n);
        change(it);
        PrintItem::Bytes bytes;
        it.encode(bytes, CodePage::system());
        RecordFile file;
        file.open(path("palvex.rpt").toStdString(), PrintItem::Size,
                  RecordFile::Mode::KeepContents);
        file.write(n, bytes.data());
        file.close();
        store().forgetCachedBlock();
    }
};

TEST_F(HostileRecords, EveryPartOfThePreviewSurvivesAbsurdRecords) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    damage(1, [&](PrintItem& it) {
        it.ItemX = nan;
        it.ItemY = inf;
    });
    damage(2, [](PrintItem& it) { it.FontSize = 1e30f; });
    damage(3, [](PrintItem& it) {
        it.FontSize = -5;
        it.HAlign = 32767;
    });
    damage(4, [](PrintItem& it) { it.ItemKind = 999; });
    damage(5, [](PrintItem& it) {
        it.PageNumber = -7;
        it.ItemText = QString(180, u'א');
    });
    damage(6, [](PrintItem& it) {
        ShapeParams box;
        box.x1 = -1e30f;
        box.y1 = 1e30f;
        box.x2 = 1e30f;
        box.y2 = -1e30f;
        box.width = 1 << 30;
        box.inside = QStringLiteral("inside");
        it.ItemKind = KindBox;
        it.ItemText = box.encode();
    });
    damage(7, [](PrintItem& it) {
        ShapeParams circle;
        circle.radius = 1e30f;
        circle.aspect = 1e-30f;
        it.ItemKind = KindCircle;
        it.ItemText = circle.encode();
    });
    damage(8, [](PrintItem& it) {
        it.ItemKind = KindChars; // a vertical run over the whole range a field can hold
        it.ItemText = QStringLiteral("|1        -9999 99999");
    });
    damage(9, [](PrintItem& it) {
        it.ItemKind = KindSpecialCenter;
        it.ItemText = QString(100, u'x') + QStringLiteral("       nan      -inf  1E+38   -1E+38");
    });
    damage(10, [](PrintItem& it) {
        it.ItemKind = KindPicture;
        it.ItemText = QStringLiteral("/dev/zero");
    });
    damage(14, [](PrintItem& it) {
        it.CenterOffset = 1e30f;
        it.FontName = QString(25, u'?');
    });

    for (int index : {2, 4, 1, 3}) // Last, Next, First, Previous
        click(index);
    child<QLineEdit>("txtSearch")->setText(QStringLiteral("line 11"));
    child<QPushButton>("cmdSearch")->click();
    child<QPushButton>("cmdSearch")->click();
    select("cboMoreOptions", 4); // centre all pages
    for (int zoom : {0, 18})
        select("cboZoom", zoom);
    click(1); // print: the panel, then OK
    child<QPushButton>("cmdOK")->click();
    m_control.reset(); // writes the printout

    QFile printout(path("hostile.prn"));
    ASSERT_TRUE(printout.open(QIODevice::ReadOnly));
    for (const QByteArray& line : printout.readAll().split('\n'))
        EXPECT_FALSE(line.contains("nan") || line.contains("inf")) << line.toStdString();
    EXPECT_TRUE(QFile::exists(path("hostile.pdf")));
}

} // namespace
} // namespace palvex::test
