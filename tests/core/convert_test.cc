#include "core/convert.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(ToStr, TextOfEveryKind) {
  EXPECT_EQ(ToStr(Variant()), "");
  EXPECT_EQ(NullToStr(Variant(Null)), "");
  EXPECT_EQ(ToStr(Variant(true)), "True");
  EXPECT_EQ(ToStr(Variant(false)), "False");
  EXPECT_EQ(ToStr(Variant(-42)), "-42");
  EXPECT_EQ(ToStr(Variant(1.5)), "1.5");
  EXPECT_EQ(ToStr(Variant(0.1 + 0.2)), "0.3");
  EXPECT_EQ(ToStr(Variant(100.0)), "100");
  EXPECT_EQ(ToStr(Variant(1.0 / 3)), "0.333333333333333");
  EXPECT_EQ(ToStr(Variant(1e20)), "1E+20");
  EXPECT_THROW(ToStr(Variant(MakeArray({}))), TypeMismatch);
}

TEST(Numbers, ParsingAndRounding) {
  EXPECT_EQ(ParseNumber(" 12 "), 12);
  EXPECT_EQ(ParseNumber("-3.5"), -3.5);
  EXPECT_EQ(ParseNumber("+7"), 7);
  EXPECT_FALSE(ParseNumber(""));
  EXPECT_FALSE(ParseNumber("1 or 1=1"));
  EXPECT_FALSE(ParseNumber("inf"));
  EXPECT_FALSE(ParseNumber("0x10"));
  EXPECT_TRUE(IsNumeric(Variant()));
  EXPECT_FALSE(IsNumeric(Variant("")));
  EXPECT_FALSE(IsNumeric(Variant(Null)));
  EXPECT_EQ(ToInteger(Variant("2.5")), 2);  // half to even
  EXPECT_EQ(ToInteger(Variant("3.5")), 4);
  EXPECT_EQ(ToInteger(Variant(true)), -1);
  EXPECT_THROW(ToDouble(Variant(Null)), TypeMismatch);
  EXPECT_THROW(ToDouble(Variant("abc")), TypeMismatch);
  EXPECT_TRUE(ToBoolean(Variant("TRUE")));
  EXPECT_TRUE(ToBoolean(Variant("-1")));
  EXPECT_FALSE(ToBoolean(Variant(0)));
}

TEST(Numbers, WholeNumbersOnly) {
  EXPECT_EQ(WholeNumberOf(Variant(" -7 ")), -7);
  EXPECT_EQ(WholeNumberOf(Variant(12.0)), 12);
  for (const Variant& v : {Variant("1.5"), Variant("12abc"), Variant(""), Variant(Null),
                           Variant(true), Variant("1e30")}) {
    EXPECT_FALSE(WholeNumberOf(v)) << ToStr(v);
  }
}

TEST(Dates, SerialDaysFrom1899AndTheirText) {
  EXPECT_EQ(MakeDate({1899, 12, 30, 0, 0, 0}).serial, 0);
  EXPECT_EQ(MakeDate({1900, 1, 1, 0, 0, 0}).serial, 2);
  EXPECT_EQ(MakeDate({2000, 1, 1, 12, 0, 0}).serial, 36526.5);
  // The last second of a day does not round into the next one.
  EXPECT_EQ(FormatDate(MakeDate({2026, 2, 28, 23, 59, 59})), "2026-02-28 23:59:59");
  EXPECT_EQ(FormatDate(MakeDate({2024, 2, 29, 0, 0, 0})), "2024-02-29");  // midnight dropped
  EXPECT_EQ(FormatDateTime(MakeDate({2024, 2, 29, 0, 0, 0})), "2024-02-29 00:00:00");
  EXPECT_EQ(FormatDateTime(MakeDate({987, 6, 5, 4, 3, 2})), "0987-06-05 04:03:02");
  EXPECT_EQ(FormatDateTime(MakeDate({12345, 10, 11, 21, 43, 59})), "12345-10-11 21:43:59");
  // Stamps keep at most 15 characters of the day count.
  EXPECT_EQ(DateSerialText(Date{46362.543217592593}), "46362.543217592");
}

TEST(Dates, ParsingPostedText) {
  EXPECT_EQ(ParseDate("2024-03-01")->serial, MakeDate({2024, 3, 1, 0, 0, 0}).serial);
  EXPECT_EQ(ParseDate("2024/3/1 7:30")->serial, MakeDate({2024, 3, 1, 7, 30, 0}).serial);
  EXPECT_EQ(ParseDate(" 2024-03-01T07:30:15 ")->serial, MakeDate({2024, 3, 1, 7, 30, 15}).serial);
  EXPECT_EQ(ParseDate("10:15")->serial, MakeDate({1899, 12, 30, 10, 15, 0}).serial);
  EXPECT_FALSE(ParseDate("2023-02-29"));
  EXPECT_FALSE(ParseDate("2024-03-01 25:00"));
  EXPECT_FALSE(ParseDate("yesterday"));
  EXPECT_FALSE(ParseDate(""));
  EXPECT_THROW(ToDate(Variant("soon")), TypeMismatch);
}

TEST(Text, ReplacementContainingThePatternIsNotRescanned) {
  EXPECT_EQ(ReplaceAll("a%b%", "%", "%25"), "a%25b%25");
  std::string text = "a%b%";
  ReplaceAllIn(text, "%", "%25");
  EXPECT_EQ(text, "a%25b%25");
  ReplaceAllIn(text, "#", "x");
  EXPECT_EQ(text, "a%25b%25");
}

TEST(Text, ListsSplitAtCommasWithoutEmptyItems) {
  EXPECT_EQ(SplitList(" a, b,,c , "), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(SplitList("").empty());
}

}  // namespace
}  // namespace qv
