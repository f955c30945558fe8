#include "platform/rtl/variant.h"

#include <gtest/gtest.h>

#include "platform/rtl/constarg.h"
#include "platform/rtl/datetime.h"

namespace {

TEST(VariantTest, KindsAndNull)
{
    struct Case {
        Variant Value;
        TVarType Type;
    };
    const Case cases[] = {
            {Variant(), varEmpty},
            {Variant::Null(), varNull},
            {Variant(42), varInt64},
            {Variant(Int64(1) << 40), varInt64},
            {Variant(true), varBoolean},
            {Variant(1.5), varDouble},
            {Variant(Currency {12345}), varCurrency},
            {Variant("text"), varString},
            {Variant::FromDate(45000), varDate},
            {VarArrayOf({1, "a"}), varArray},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VarType(c.Value), c.Type);
        EXPECT_EQ(VarIsNull(c.Value), c.Type == varNull);
        EXPECT_EQ(VarIsEmpty(c.Value), c.Type == varEmpty);
    }
}

TEST(VariantTest, ConversionsBetweenKinds)
{
    EXPECT_EQ(Variant(" 123 ").AsInteger(), 123);
    EXPECT_EQ(Variant("-9000000000").AsInt64(), -9000000000LL);
    EXPECT_EQ(Variant("2.5").AsInt64(), 2);  // half to even
    EXPECT_EQ(Variant(3.5).AsInt64(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant(Currency {25000}).AsInt64(), 2);
    EXPECT_DOUBLE_EQ(Variant("1.25").AsFloat(), 1.25);
    EXPECT_DOUBLE_EQ(Variant(Currency {12345}).AsFloat(), 1.2345);
    EXPECT_EQ(Variant("19.99").AsCurrency().Scaled, 199900);
    EXPECT_EQ(Variant(7).AsCurrency().Scaled, 70000);
    EXPECT_TRUE(Variant("TRUE").AsBoolean());
    EXPECT_FALSE(Variant("false").AsBoolean());
    EXPECT_TRUE(Variant("2").AsBoolean());
    EXPECT_FALSE(Variant(0.0).AsBoolean());

    EXPECT_EQ(Variant(42).AsString(), "42");
    EXPECT_EQ(Variant(0.1).AsString(), "0.1");
    EXPECT_EQ(Variant(Currency {12500}).AsString(), "1.25");
    EXPECT_EQ(Variant(false).AsString(), "False");
    EXPECT_EQ(Variant().AsString(), "");
    EXPECT_EQ(Variant().AsInt64(), 0);
    EXPECT_EQ(VarToStr(Variant::Null()), "");

    EXPECT_EQ(Variant(Int64(1) << 40).AsInt64(), Int64(1) << 40);
    EXPECT_THROW(Variant(Int64(1) << 40).AsInteger(), ERangeError);
}

TEST(VariantTest, DatesThroughTheDateFormat)
{
    String savedFormat = ShortDateFormat;
    char savedSeparator = DateSeparator;
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
    TDateTime day = EncodeDate(2024, 2, 29);
    EXPECT_EQ(Variant::FromDate(day).AsString(), "02/29/2024");
    EXPECT_DOUBLE_EQ(Variant("02/29/2024").AsDateTime(), day);
    EXPECT_TRUE(Variant("02/29/2024") == Variant::FromDate(day));
    EXPECT_THROW(Variant("02/30/2024").AsDateTime(), EConvertError);
    ShortDateFormat = savedFormat;
    DateSeparator = savedSeparator;
}

TEST(VariantTest, FailedConversionsRaise)
{
    const Variant bad[] = {Variant("abc"), Variant("1,5"), Variant("")};
    for (const Variant& v : bad) {
        EXPECT_THROW(v.AsFloat(), EConvertError) << v.AsString();
        EXPECT_THROW(v.AsInt64(), EConvertError) << v.AsString();
        EXPECT_THROW(v.AsCurrency(), EConvertError) << v.AsString();
    }
    EXPECT_THROW(Variant("yes").AsBoolean(), EConvertError);
    EXPECT_THROW(Variant::Null().AsInt64(), EConvertError);
    EXPECT_THROW(Variant::Null().AsString(), EConvertError);
    EXPECT_THROW(Variant(1e30).AsInt64(), EConvertError);
    EXPECT_THROW(Variant(1e30).AsCurrency(), EConvertError);
    EXPECT_THROW(VarArrayOf({1}).AsString(), EConvertError);
    try {
        Variant("x").AsFloat();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Double)");
    }
}

TEST(VariantTest, EqualityForLocate)
{
    struct Case {
        Variant A, B;
        bool Equal;
    };
    const Case cases[] = {
            {Variant::Null(), Variant::Null(), true},
            {Variant::Null(), Variant(""), false},
            {Variant::Null(), Variant(), false},
            {Variant(), Variant(), true},
            {Variant(3), Variant(3.0), true},
            {Variant(3), Variant(Currency {30000}), true},
            {Variant(Currency {30001}), Variant(3), false},
            {Variant("3"), Variant(3), true},
            {Variant("3.0"), Variant(3.0), true},
            {Variant("9007199254740993"), Variant(Int64(9007199254740992)), false},
            {Variant("abc"), Variant(0), false},
            {Variant("abc"), Variant("ABC"), false},
            {Variant("abc"), Variant("abc"), true},
            {Variant(true), Variant("True"), true},
            {Variant(true), Variant(-1), true},
            {VarArrayOf({"SMITH", 1}), VarArrayOf({"SMITH", 1.0}), true},
            {VarArrayOf({"SMITH", 1}), VarArrayOf({"SMITH", 2}), false},
            {VarArrayOf({"SMITH"}), Variant("SMITH"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.A == c.B, c.Equal) << VarToStr(c.A) << " vs " << VarToStr(c.B);
        EXPECT_EQ(c.B == c.A, c.Equal) << VarToStr(c.B) << " vs " << VarToStr(c.A);
    }
}

TEST(VariantTest, ArrayElements)
{
    Variant keys = VarArrayOf({"SMITH", 42, Variant::Null()});
    ASSERT_TRUE(VarIsArray(keys));
    EXPECT_EQ(keys.ArrayCount(), 3);
    EXPECT_EQ(keys[0].AsString(), "SMITH");
    EXPECT_EQ(keys[1].AsInteger(), 42);
    EXPECT_TRUE(VarIsNull(keys[2]));
    EXPECT_THROW(keys[3], ERangeError);
    EXPECT_THROW(Variant(1).ArrayCount(), EConvertError);
}

TEST(VariantTest, CurrencyRoundsToFourDecimals)
{
    EXPECT_EQ(Currency::FromDouble(2.675).Scaled, 26750);
    EXPECT_EQ(Currency::FromDouble(0.00005).Scaled, 1);
    EXPECT_EQ(Currency::FromDouble(-0.00005).Scaled, -1);
    EXPECT_THROW(Currency::FromDouble(1e16), EConvertError);
}

TEST(ConstArgTest, KindsAndKeyText)
{
    String text = "ptr";
    ConstArg args = {7,
                     Int64(1) << 33,
                     2.5,
                     true,
                     'x',
                     String("SMITH"),
                     "lit",
                     static_cast<const void*>(text.c_str()),
                     Currency {12500},
                     Variant(Variant::Null())};
    struct Expect {
        TVarRecKind Kind;
        String Key;
    };
    const Expect expected[] = {
            {vtInteger, "7"},     {vtInt64, "8589934592"}, {vtExtended, "2.5"}, {vtBoolean, ".T."},
            {vtChar, "x"},        {vtString, "SMITH"},     {vtString, "lit"},   {vtPointer, "ptr"},
            {vtCurrency, "1.25"}, {vtVariant, ""},
    };
    ASSERT_EQ(args.size(), std::size(expected));
    for (size_t i = 0; i < args.size(); ++i) {
        EXPECT_EQ(args[i].VType, expected[i].Kind) << i;
        EXPECT_EQ(args[i].KeyText(), expected[i].Key) << i;
    }
    EXPECT_EQ(TVarRec(false).KeyText(), ".F.");
    EXPECT_EQ(TVarRec(static_cast<const void*>(nullptr)).KeyText(), "");
    EXPECT_EQ(args[0].AsInt64(), 7);
    EXPECT_DOUBLE_EQ(args[8].AsFloat(), 1.25);
    EXPECT_THROW(args[5].AsInt64(), EConvertError);
    EXPECT_THROW(args[0].AsString(), EConvertError);
}

}  // namespace
