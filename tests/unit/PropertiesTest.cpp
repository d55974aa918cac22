// Properties: initial values, illegal values with their one-time warnings, refusals by the
// host's mode, the settings methods and persistence with the host's form.

#include "ControlFixture.h"
#include "PalvexPrivate.h"

#include "platform/PropertyBag.h"
#include "recording/ItemWriter.h"

#include <QFile>
#include <QSignalSpy>

#include <cmath>

namespace palvex::test {
namespace {

class Properties : public ControlFixture {};

template <class T, class Getter> T read(Getter getter) {
    T value{};
    EXPECT_EQ(getter(out(value)), Status::Ok);
    return value;
}

TEST_F(Properties, StartWithTheirInitialValues) {
    EXPECT_EQ(read<QString>([&](auto o) { return ctl().get_FontName(o); }),
              QStringLiteral("Ms Sans Serif"));
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_FontSize(o); }), 14);
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_gtPrWidth(o); }), 11909);
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_ScaleWidth(o); }), 0);
    EXPECT_EQ(read<int32_t>([&](auto o) { return ctl().get_BackColor(o); }), 14737632);
    EXPECT_EQ(read<int32_t>([&](auto o) { return ctl().get_ForeColor(o); }), 0);
    EXPECT_EQ(read<QString>([&](auto o) { return ctl().gtVersion(o); }),
              QString()); // before any start
    start();
    EXPECT_FALSE(read<QString>([&](auto o) { return ctl().gtVersion(o); }).isEmpty());
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_ScaleWidth(o); }),
                    ctl().internals().recordingSurface().ScaleWidth());
}

TEST_F(Properties, AnIllegalForeColorWarnsOnceThenKeepsWhatWasSet) {
    start();
    EXPECT_EQ(ctl().let_ForeColor(0x0000FF), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(0x01000000), Status::Ok);
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[0], QStringLiteral("beep"));
    EXPECT_EQ(boxes().log()[1], QStringLiteral("msgbox 48: You defined illegal ForeColor.\\n"
                                               "That ForeColor, for now changed to black.\\n"
                                               "Please contact your software supplier."));
    EXPECT_EQ(read<int32_t>([&](auto o) { return ctl().get_ForeColor(o); }), 0);
    EXPECT_EQ(ctl().internals().report().lastAnswer, QStringLiteral("1"));
    // The surface kept its colour.
    ASSERT_EQ(text(QStringLiteral("x")), Status::Ok);
    EXPECT_EQ(item(1).ForeColor, 0x0000FF);

    boxes().clearLog();
    EXPECT_EQ(ctl().let_ForeColor(-5), Status::Ok);
    EXPECT_TRUE(boxes().log().empty());
    EXPECT_EQ(read<int32_t>([&](auto o) { return ctl().get_ForeColor(o); }), -5);
    // System colours are legal.
    EXPECT_EQ(ctl().let_ForeColor(int32_t(0x80000008u)), Status::Ok);
    EXPECT_TRUE(boxes().log().empty());
}

TEST_F(Properties, AnIllegalFontNameFallsBackToMsSansSerif) {
    start();
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("No Such Font Family")), Status::Ok);
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[1], QStringLiteral("msgbox 48: You defined illegal FontName.\\n"
                                               "That FontName, for now changed to Ms Sans Serif.\\n"
                                               "Please contact your software supplier."));
    EXPECT_EQ(read<QString>([&](auto o) { return ctl().get_FontName(o); }),
              QStringLiteral("Ms Sans Serif"));
    boxes().clearLog();
    // Too long (32 bytes), blank, unknown again: warned of no more, but replaced every time,
    // so that the property reads what prints.
    for (const QString& name : {QString(32, QLatin1Char('A')), QStringLiteral("   "),
                                QStringLiteral("Plugh"), QString()}) {
        ASSERT_EQ(ctl().let_FontName(QStringLiteral("Liberation Serif")), Status::Ok);
        EXPECT_EQ(ctl().let_FontName(name), Status::Ok);
        EXPECT_EQ(read<QString>([&](auto o) { return ctl().get_FontName(o); }),
                  QStringLiteral("Ms Sans Serif"))
            << qPrintable(name);
        ASSERT_EQ(text(QStringLiteral("x")), Status::Ok);
        EXPECT_EQ(trimTrailingBlanks(item(store().itemCount()).FontName),
                  QStringLiteral("Ms Sans Serif"));
    }
    EXPECT_TRUE(boxes().log().empty());
    // Known names in any case, with substitutions.
    for (const char* name : {"liberation serif", "MS SANS SERIF", "Times New Roman", "David CLM"}) {
        EXPECT_EQ(ctl().let_FontName(QString::fromLatin1(name)), Status::Ok);
        EXPECT_EQ(ctl().internals().recordingSurface().FontName(), QString::fromLatin1(name));
    }
}

TEST_F(Properties, AnIllegalFontSizeBecomesTwelve) {
    start();
    EXPECT_EQ(ctl().let_FontSize(0.5f), Status::Ok);
    ASSERT_EQ(boxes().log().size(), 2u);
    EXPECT_EQ(boxes().log()[1],
              QStringLiteral("msgbox 48: You defined illegal FontSize\\n"
                             "Size less then 1.That FontSize, for now changed to 12.\\n"
                             "Please contact your software supplier."));
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_FontSize(o); }), 12);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().FontSize(),
                    14); // the surface kept its size
    boxes().clearLog();
    EXPECT_EQ(ctl().let_FontSize(std::nanf("")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(5000), Status::Ok);
    EXPECT_TRUE(boxes().log().empty());
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().FontSize(), 14);
    EXPECT_EQ(ctl().let_FontSize(2160), Status::Ok);
    EXPECT_FLOAT_EQ(ctl().internals().recordingSurface().FontSize(), 2160);
}

TEST_F(Properties, SetsAndGetsAreRefusedByTheHostsMode) {
    // Run time.
    bool b = false;
    EXPECT_EQ(ctl().get_DontConsiderForCenter(out(b)), Status::GetNotSupportedAtRunTime);
    EXPECT_FALSE(b); // a refused get reads nothing out
    EXPECT_EQ(ctl().let_ScaleWidth(5), Status::SetNotSupportedAtRunTime);
    EXPECT_EQ(ctl().let_currentYofPageNumber(5), Status::SetNotSupportedAtRunTime);
    EXPECT_EQ(ctl().let_Header(true), Status::Ok);
    EXPECT_EQ(ctl().let_gtAfterPage(true), Status::Ok);

    // Design time.
    Ambient design;
    design.userMode = false;
    m_control = makeControl(design);
    EXPECT_EQ(ctl().let_DontConsiderForCenter(true), Status::Ok);
    EXPECT_EQ(ctl().get_DontConsiderForCenter(out(b)), Status::Ok);
    EXPECT_TRUE(b);
    EXPECT_EQ(ctl().let_gtPrWidth(5), Status::SetNotPermitted);
    EXPECT_EQ(ctl().let_Header(true), Status::SetNotPermitted);
    EXPECT_EQ(ctl().let_gtAfterPage(true), Status::SetNotPermitted);
    EXPECT_EQ(read<bool>([&](auto o) { return ctl().get_Header(o); }), false);
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_gtPrWidth(o); }), 11909);
}

TEST_F(Properties, SettingsMethodsLimitTheirValues) {
    start();
    float l = -1, r = 2.5f, t = 9, b = 4;
    ASSERT_EQ(ctl().fxDefaultMargins(l, r, t, b), Status::Ok);
    EXPECT_EQ(ctl().internals().report().defaultMarginsCm, (std::array<double, 4>{0, 2.5, 4, 4}));
    float nan = std::nanf("");
    ASSERT_EQ(ctl().fxDefaultMargins(nan, r, t, b), Status::Ok);
    EXPECT_EQ(ctl().internals().report().defaultMarginsCm[0], 0);

    float reduce = -50;
    ASSERT_EQ(ctl().fxreduceTwips(reduce), Status::Ok);
    EXPECT_FLOAT_EQ(ctl().internals().report().reduceTwips, 0);
    // A new start puts the defaults back.
    start();
    EXPECT_EQ(ctl().internals().report().defaultMarginsCm, Definitions::DefaultMarginsCm);
    EXPECT_FLOAT_EQ(ctl().internals().report().reduceTwips, 1000);
}

TEST_F(Properties, EverySetTellsTheHost) {
    QSignalSpy spy(&ctl(), &Palvex::propertyChanged);
    EXPECT_EQ(ctl().let_FontBold(true), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(10), Status::Ok);
    EXPECT_EQ(ctl().let_AutoSize(true), Status::Ok);
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("FontBold"));
    EXPECT_EQ(spy.at(2).at(0).toString(), QStringLiteral("AutoSize"));
}

TEST_F(Properties, SavingWritesEveryKeyInOrder) {
    MemoryPropertyBag bag;
    ctl().saveProperties(bag);
    QStringList keys;
    for (const auto& [key, value] : bag.writes())
        keys << key;
    EXPECT_EQ(keys.join(QLatin1Char(' ')),
              QStringLiteral(
                  "Font Font ForeColor CurrentX CurrentY FontBold FontItalic FontUnderline "
                  "FontName FontSize AutoRedraw AutoRedraw gtAfterPage ForeColor FontUnderline "
                  "FontSize FontName FontItalic FontBold AutoSize dontPrintNumberPage fxAsciiChar "
                  "DrawWidth FontStrikethru FontTransparent fxCharset DontConsiderForCenter "
                  "tfPrintFooter1 Header currentYofPageNumber gtMaxp gtMinp gtPrWidth ScaleHeight "
                  "ScaleWidth BackColor CodePage PageNumberFormat"));
}

TEST_F(Properties, LoadingRestoresWhatWasSavedWithoutApplyingIt) {
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Times New Roman")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(18), Status::Ok);
    EXPECT_EQ(ctl().let_BackColor(0x00FF00), Status::Ok);
    EXPECT_EQ(ctl().let_dontPrintNumberPage(true), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(1234.5f), Status::Ok);
    const QString file = path("form.ini");
    {
        IniPropertyBag bag(file);
        ctl().saveProperties(bag);
    }
    m_control = makeControl();
    m_control->show();
    {
        IniPropertyBag bag(file);
        ctl().loadProperties(bag);
    }
    EXPECT_FALSE(ctl().isVisible());
    EXPECT_EQ(read<QString>([&](auto o) { return ctl().get_FontName(o); }),
              QStringLiteral("Times New Roman"));
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_FontSize(o); }), 18);
    EXPECT_FLOAT_EQ(read<float>([&](auto o) { return ctl().get_CurrentX(o); }), 1234.5f);
    EXPECT_EQ(read<int32_t>([&](auto o) { return ctl().get_BackColor(o); }), 0x00FF00);
    EXPECT_TRUE(ctl().internals().report().noPageNumbers);
    EXPECT_EQ(ctl().internals().recordingSurface().FontName(),
              QStringLiteral("Ms Sans Serif")); // not applied
}

// The form file as hosts keep it: keys in order, truth values as words, a Single with every
// digit of its double, texts in UTF-8; a key equal to its default is left out.
TEST_F(Properties, TheSavedFormKeepsItsWrittenForm) {
    EXPECT_EQ(ctl().let_FontName(QStringLiteral("Times New Roman")), Status::Ok);
    EXPECT_EQ(ctl().let_FontSize(18.3f), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentX(1234.1f), Status::Ok);
    EXPECT_EQ(ctl().let_CurrentY(0.1f), Status::Ok);
    EXPECT_EQ(ctl().let_ForeColor(255), Status::Ok);
    EXPECT_EQ(ctl().let_BackColor(0x00FF00), Status::Ok);
    EXPECT_EQ(ctl().let_FontBold(true), Status::Ok);
    EXPECT_EQ(ctl().let_PageNumberFormat(u("עמוד {page}")), Status::Ok);
    EXPECT_EQ(ctl().let_dontPrintNumberPage(true), Status::Ok);
    const QString file = path("form.ini");
    {
        IniPropertyBag bag(file);
        ctl().saveProperties(bag);
    }
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString expected = u("[Palvex1]\n"
                               "BackColor=65280\n"
                               "CurrentX=1234.0999755859375\n"
                               "CurrentY=0.10000000149011612\n"
                               "FontBold=true\n"
                               "FontName=Times New Roman\n"
                               "FontSize=18.299999237060547\n"
                               "ForeColor=255\n"
                               "PageNumberFormat=עמוד {page}\n"
                               "dontPrintNumberPage=true\n");
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), expected);
}

// A form written by hand or by another program: each value is read in its property's type as a
// late-bound caller's would be, and one that does not convert leaves the property's default.
TEST_F(Properties, AFormIsReadInEachPropertysType) {
    const QString file = path("form.ini");
    {
        QFile form(file);
        ASSERT_TRUE(form.open(QIODevice::WriteOnly));
        const QByteArray text = "[Palvex1]\nFontBold=TRUE\nAutoSize=-1\nFontItalic=0\n"
                                "DrawWidth=2.5\nForeColor=&HFF\nFontSize=9.5\nCurrentX=1e400\n"
                                "BackColor=green\nFontName=Arial\n";
        ASSERT_EQ(form.write(text), text.size());
    }
    {
        IniPropertyBag bag(file);
        ctl().loadProperties(bag);
    }
    const KeptProperties& p = ctl().internals().report().props;
    EXPECT_TRUE(p.FontBold);
    EXPECT_TRUE(p.AutoSize);
    EXPECT_FALSE(p.FontItalic);
    EXPECT_EQ(p.DrawWidth, 2); // half to even
    EXPECT_EQ(p.ForeColor, 255);
    EXPECT_FLOAT_EQ(p.FontSize, 9.5f);
    EXPECT_FLOAT_EQ(p.CurrentX, KeptProperties().CurrentX); // beyond a Single
    EXPECT_EQ(p.BackColor, KeptProperties().BackColor);     // not a number
    EXPECT_EQ(p.FontName, QStringLiteral("Arial"));
}

TEST_F(Properties, DispatchWritesByReferenceArgumentsBack) {
    start();
    Dispatch dispatch(ctl());
    std::vector<Variant> args{Variant(int32_t(-1)), Variant(2.5), Variant(QStringLiteral("9")),
                              Variant(4.0f)};
    ASSERT_EQ(
        dispatch.invoke(dispatch.idOfName("fxDefaultMargins"), InvokeKind::Method, args, nullptr),
        Status::Ok);
    EXPECT_EQ(ctl().internals().report().defaultMarginsCm, (std::array<double, 4>{0, 2.5, 4, 4}));
    EXPECT_EQ(args[0].type(), Variant::Type::Single); // written back in the declared type

    std::vector<Variant> text{Variant(QString::fromUtf8("שלום")), Variant(int16_t(1))};
    ASSERT_EQ(dispatch.invoke(0x600300b6, InvokeKind::Method, text, nullptr), Status::Ok);
    EXPECT_EQ(store().itemCount(), 1);
    Variant width;
    std::vector<Variant> str{Variant(QString::fromUtf8("שלום"))};
    ASSERT_EQ(dispatch.invoke(dispatch.idOfName("textwidth"), InvokeKind::Method, str, &width),
              Status::Ok);
    EXPECT_NEAR(width.toSingle(), textWidth(QString::fromUtf8("שלום")), 0.001);

    std::vector<Variant> missing{Variant(QStringLiteral("x"))};
    EXPECT_EQ(dispatch.invoke(0x600300b6, InvokeKind::Method, missing, nullptr),
              Status::ArgumentNotOptional);
    std::vector<Variant> bad{Variant(QStringLiteral("x")), Variant(QStringLiteral("two"))};
    EXPECT_EQ(dispatch.invoke(0x600300b6, InvokeKind::Method, bad, nullptr), Status::TypeMismatch);
    std::vector<Variant> none;
    // A folder cannot take a printout: the Cancel output comes back through the argument.
    std::vector<Variant> save{Variant(QStringLiteral(".")), Variant(false)};
    EXPECT_EQ(dispatch.invoke(dispatch.idOfName("SavePrint"), InvokeKind::Method, save, nullptr),
              Status::Ok);
    EXPECT_TRUE(save[1].toBool());
    std::vector<Variant> size{Variant(10.0)};
    ASSERT_EQ(dispatch.invoke(0x6803000f, InvokeKind::PropertyPut, size, nullptr), Status::Ok);
    Variant got;
    ASSERT_EQ(dispatch.invoke(0x6803000f, InvokeKind::PropertyGet, none, &got), Status::Ok);
    EXPECT_FLOAT_EQ(got.toSingle(), 10);
}

} // namespace
} // namespace palvex::test
