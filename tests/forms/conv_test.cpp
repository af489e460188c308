// Number and text conversions the score, settings and rhythm readers rely on.
#include "forms/conv.h"

#include <gtest/gtest.h>

namespace {

TEST(Conv, CIntRoundsHalvesToEven)
{
    EXPECT_EQ(forms::CInt(62.5), 62);
    EXPECT_EQ(forms::CInt(63.5), 64);
    EXPECT_EQ(forms::CInt(7500.0 / 70), 107);
    EXPECT_EQ(forms::CInt(-2.5), -2);
    EXPECT_EQ(forms::Int(-1.5), -2);
    EXPECT_EQ(forms::Int(15000.0 / 80), 187);
}

TEST(Conv, ValReadsTheLeadingNumber)
{
    EXPECT_EQ(forms::Val("12abc"), 12);
    EXPECT_EQ(forms::Val("  7"), 7);
    EXPECT_EQ(forms::Val("abc"), 0);
    EXPECT_EQ(forms::Val(""), 0);
    EXPECT_EQ(forms::Val("-3.5x"), -3.5);
    EXPECT_EQ(forms::Val("1 2"), 12);
    EXPECT_EQ(forms::Val("&H1F"), 31);
    EXPECT_EQ(forms::Val("&HFFFF"), -1);
    EXPECT_EQ(forms::Val("1e3"), 1000);
    EXPECT_EQ(forms::Val("1e"), 1);
}

TEST(Conv, StrictInt16)
{
    EXPECT_EQ(forms::toInt16(" 3 "), 3);
    EXPECT_EQ(forms::toInt16("-1"), -1);
    EXPECT_EQ(forms::toInt16("2.5"), 2);
    EXPECT_FALSE(forms::toInt16("x"));
    EXPECT_FALSE(forms::toInt16(""));
    EXPECT_FALSE(forms::toInt16("40000"));
    EXPECT_FALSE(forms::toInt16("nan"));
    EXPECT_EQ(forms::toInt16("&H1F"), 31);
    EXPECT_EQ(forms::toInt16("&hFFFF"), -1);
    EXPECT_FALSE(forms::toInt16("&H10000"));
    EXPECT_FALSE(forms::toInt16("&Hxyz"));
}

TEST(Conv, NumbersAsTheRuntimeWritesThem)
{
    EXPECT_EQ(forms::Str(1), " 1");
    EXPECT_EQ(forms::Str(-1), "-1");
    EXPECT_EQ(forms::PrintNumber(3), " 3 ");
    EXPECT_EQ(forms::PrintNumber(-1), "-1 ");
}

}  // namespace
