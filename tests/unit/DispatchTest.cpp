// Values crossing the automation interface, the member table and late-bound calls.

#include "core/Guarded.h"
#include "platform/Platform.h"
#include <palvex/Dispatch.h>
#include <palvex/MemberTable.h>
#include <palvex/Palvex.h>
#include <palvex/Variant.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace palvex::test {
namespace {

Status statusOf(const std::function<void()>& body) {
    return guarded(body);
}
Variant text(const char* utf8) {
    return Variant(QString::fromUtf8(utf8));
}

// ---- Variant -----------------------------------------------------------------------------------

TEST(VariantConversion, IntegersOutsideTheirRangeOverflow) {
    EXPECT_EQ(statusOf([] { Variant(int32_t(40000)).toInt16(); }), Status::Overflow);
    EXPECT_EQ(statusOf([] { Variant(int32_t(-32769)).toInt16(); }), Status::Overflow);
    EXPECT_EQ(statusOf([] { text("32768").toInt16(); }), Status::Overflow);
    EXPECT_EQ(statusOf([] { Variant(3e9).toInt32(); }), Status::Overflow);
    EXPECT_EQ(statusOf([] { Variant(32767.5).toInt16(); }), Status::Overflow); // rounds to 32768
    EXPECT_EQ(statusOf([] { Variant(std::numeric_limits<double>::quiet_NaN()).toInt32(); }),
              Status::Overflow);
    EXPECT_EQ(statusOf([] { Variant(1e40).toSingle(); }), Status::Overflow);
    EXPECT_EQ(Variant(int32_t(-32768)).toInt16(), -32768);
    EXPECT_EQ(text("32767").toInt16(), 32767);
    EXPECT_EQ(Variant(int16_t(-5)).toInt32(), -5);
}

TEST(VariantConversion, RoundingToIntegersIsHalfToEven) {
    EXPECT_EQ(Variant(2.5).toInt16(), 2);
    EXPECT_EQ(Variant(3.5).toInt16(), 4);
    EXPECT_EQ(Variant(-2.5).toInt32(), -2);
    EXPECT_EQ(Variant(2.6f).toInt32(), 3);
    EXPECT_EQ(text("1.5").toInt16(), 2);
}

TEST(VariantConversion, StringsMustBeWholeNumbersWhereNumbersAreWanted) {
    EXPECT_EQ(text("&HFF").toInt16(), 255);
    EXPECT_EQ(text("&HFF0000").toInt32(), 16711680);
    EXPECT_EQ(text(" 12 ").toInt32(), 12);
    EXPECT_EQ(text("1e3").toSingle(), 1000.0f);
    for (const char* bad : {"abc", "12abc", "", "שלום"}) {
        EXPECT_EQ(statusOf([&] { text(bad).toInt16(); }), Status::TypeMismatch) << bad;
        EXPECT_EQ(statusOf([&] { text(bad).toDouble(); }), Status::TypeMismatch) << bad;
    }
    EXPECT_EQ(statusOf([] { Variant(QFont()).toInt32(); }), Status::TypeMismatch);
}

TEST(VariantConversion, ANumericStringBeyondTheRangeOfADoubleIsOverflow) {
    // The text is a number; it is just too big, so the error is 6 and not 13.
    EXPECT_EQ(statusOf([] { text("1e999").toDouble(); }), Status::Overflow);
}

TEST(VariantConversion, BooleansAreMinusOneAndZero) {
    EXPECT_EQ(Variant(true).toInt16(), -1);
    EXPECT_EQ(Variant(false).toInt32(), 0);
    EXPECT_EQ(Variant(true).toDouble(), -1.0);
    EXPECT_TRUE(Variant(int16_t(5)).toBool());
    EXPECT_FALSE(Variant(0.0).toBool());
    EXPECT_TRUE(text(" TRUE ").toBool());
    EXPECT_FALSE(text("false").toBool());
    EXPECT_TRUE(text("-1").toBool());
    EXPECT_FALSE(text("0").toBool());
    EXPECT_EQ(statusOf([] { text("yes").toBool(); }), Status::TypeMismatch);
    EXPECT_EQ(Variant(true).toString(), QStringLiteral("True"));
    EXPECT_EQ(Variant(false).toString(), QStringLiteral("False"));
}

TEST(VariantConversion, MissingArgumentsAndTextForms) {
    EXPECT_TRUE(Variant::missing().isMissing());
    EXPECT_EQ(statusOf([] { Variant().toInt16(); }), Status::ArgumentNotOptional);
    EXPECT_EQ(statusOf([] { Variant().toString(); }), Status::ArgumentNotOptional);
    EXPECT_EQ(Variant(1.5f).toString(), QStringLiteral("1.5"));
    EXPECT_EQ(Variant(1e20).toString(), QStringLiteral("1E+20"));
    EXPECT_EQ(Variant(-0.0).toString(), QStringLiteral("0"));
    EXPECT_EQ(Variant(int32_t(-7)).toString(), QStringLiteral("-7"));
    EXPECT_EQ(text("a\"b").toDisplayText(), QStringLiteral("\"a\"\"b\""));
    EXPECT_EQ(Variant(2.5).toDisplayText(), QStringLiteral("2.5"));
}

// ---- Member table ------------------------------------------------------------------------------

TEST(MemberTable, NamesAndIdentifiersAreUnique) {
    std::set<std::string> names;
    std::set<DispId> ids;
    for (const MemberInfo& m : members()) {
        std::string lower(m.name);
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(names.insert(lower).second) << m.name; // lookup ignores case
        EXPECT_TRUE(ids.insert(m.id).second) << m.name;
        EXPECT_NE(m.id, UnknownDispId) << m.name;
        if (m.isProperty) {
            EXPECT_TRUE(m.get && m.put && m.result) << m.name;
        } else {
            EXPECT_TRUE(m.call) << m.name;
        }
    }
}

// ---- Dispatch ----------------------------------------------------------------------------------

class DispatchOnControl : public ::testing::Test {
protected:
    DispatchOnControl()
        : m_control(Platform::headless([this](const QString& line) { m_shown.push_back(line); })),
          m_dispatch(m_control) {}

    Status put(DispId id, Variant value, InvokeKind kind = InvokeKind::PropertyPut) {
        std::vector<Variant> args{std::move(value)};
        return m_dispatch.invoke(id, kind, args, nullptr);
    }
    Variant get(DispId id) {
        Variant result;
        EXPECT_EQ(m_dispatch.invoke(id, InvokeKind::PropertyGet, {}, &result), Status::Ok);
        return result;
    }

    std::vector<QString> m_shown;
    Palvex m_control;
    Dispatch m_dispatch;
};

TEST_F(DispatchOnControl, IdentifiersOfNamesIgnoreCase) {
    EXPECT_EQ(m_dispatch.idOfName("StartPalvexPrintPreview"), 0x6003003e);
    EXPECT_EQ(m_dispatch.idOfName("startpalvexprintpreview"), 0x6003003e);
    EXPECT_EQ(m_dispatch.idOfName("JUMPTONEXTLINE"), 0x600300b8);
    EXPECT_EQ(m_dispatch.idOfName("BackColor"), 0x68030000);
    EXPECT_EQ(m_dispatch.idOfName("forecolor"), 0x68030015);
    EXPECT_EQ(m_dispatch.idOfName("Font"), -512);
    EXPECT_EQ(m_dispatch.idOfName("About"), -552);
    EXPECT_EQ(m_dispatch.idOfName("BackColour"), UnknownDispId);
    EXPECT_EQ(m_dispatch.idOfName(""), UnknownDispId);
    EXPECT_EQ(m_dispatch.idOfName("BackColor "), UnknownDispId);
}

TEST_F(DispatchOnControl, UnknownIdentifiersAndWrongKindsAreNoSuchMember) {
    std::vector<Variant> none;
    EXPECT_EQ(m_dispatch.invoke(0x60039999, InvokeKind::Method, none, nullptr),
              Status::NoSuchMember);
    EXPECT_EQ(int(m_dispatch.invoke(UnknownDispId, InvokeKind::PropertyGet, none, nullptr)), 438);
    // A method cannot be assigned; Font is set by reference only, the others by value only.
    EXPECT_EQ(put(0x600300b8, Variant(int16_t(1))), Status::NoSuchMember);
    EXPECT_EQ(put(-512, Variant(QFont())), Status::NoSuchMember);
    EXPECT_EQ(put(0x68030000, Variant(int32_t(0)), InvokeKind::PropertyPutRef),
              Status::NoSuchMember);
}

TEST_F(DispatchOnControl, PropertiesConvertTheirValues) {
    ASSERT_EQ(put(0x68030000, text("&HFF0000")), Status::Ok);
    const Variant back = get(0x68030000);
    EXPECT_EQ(back.type(), Variant::Type::Int32);
    EXPECT_EQ(back.toInt32(), 0xFF0000);

    ASSERT_EQ(put(0x68030015, Variant(255.4)), Status::Ok);
    EXPECT_EQ(get(0x68030015).toInt32(), 255);
    EXPECT_EQ(int(put(0x68030015, text("red"))), 13);
    EXPECT_EQ(int(put(0x68030015, Variant(3e9))), 6);
    EXPECT_EQ(get(0x68030015).toInt32(), 255); // a failed conversion sets nothing
    EXPECT_EQ(put(0x68030000, Variant(int32_t(0x01000000))), Status::InvalidPropertyValue);
    EXPECT_EQ(get(0x68030000).toInt32(), 0xFF0000);

    ASSERT_EQ(put(m_dispatch.idOfName("CurrentX"), text(" 1440.5 ")), Status::Ok);
    EXPECT_EQ(get(m_dispatch.idOfName("CurrentX")).toSingle(), 1440.5f);
}

TEST_F(DispatchOnControl, ArgumentCountsAreChecked) {
    std::vector<Variant> one{Variant(int16_t(1))};
    std::vector<Variant> none;
    Variant result;
    EXPECT_EQ(m_dispatch.invoke(0x68030000, InvokeKind::PropertyGet, one, &result),
              Status::InvalidProcedureCall);
    EXPECT_EQ(m_dispatch.invoke(0x68030000, InvokeKind::PropertyPut, none, nullptr),
              Status::ArgumentNotOptional);
    EXPECT_EQ(m_dispatch.invoke(m_dispatch.idOfName("gtVersion"), InvokeKind::Method, one, &result),
              Status::InvalidProcedureCall);
    EXPECT_EQ(m_dispatch.invoke(0x600300b8, InvokeKind::Method, one, nullptr),
              Status::InvalidProcedureCall);
}

TEST_F(DispatchOnControl, FontIsSetByReference) {
    QFont font(QStringLiteral("DejaVu Sans"), 17);
    ASSERT_EQ(put(-512, Variant(font), InvokeKind::PropertyPutRef), Status::Ok);
    EXPECT_EQ(get(-512).toFont().pointSize(), 17);
}

TEST_F(DispatchOnControl, AboutShowsTheVersion) {
    std::vector<Variant> none;
    ASSERT_EQ(m_dispatch.invoke(-552, InvokeKind::Method, none, nullptr), Status::Ok);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_TRUE(m_shown[0].contains(QStringLiteral("Palvex Version "))) << m_shown[0].toStdString();
    Variant version;
    ASSERT_EQ(
        m_dispatch.invoke(m_dispatch.idOfName("gtVersion"), InvokeKind::Method, none, &version),
        Status::Ok);
    EXPECT_FALSE(version.toString().isEmpty());
    EXPECT_TRUE(m_shown[0].endsWith(version.toString()));
}

} // namespace
} // namespace palvex::test
