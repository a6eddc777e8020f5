#include "core/sql_literal.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SqlLiterals, TextCannotEndItsLiteral) {
  EXPECT_EQ(SqlText("x' or '1'='1"), "'x'' or ''1''=''1'");
  EXPECT_EQ(SqlText(""), "''");
  EXPECT_EQ(SqlText(std::string("a\0b", 3)), "'ab'");
  EXPECT_EQ(SqlText(Variant(Null)), "''");
}

TEST(SqlLiterals, NumbersAreReprinted) {
  EXPECT_EQ(SqlNumber(" 12 "), "12");
  EXPECT_EQ(SqlNumber("-0.50"), "-0.5");
  EXPECT_EQ(SqlNumber("1e3"), "1000");
  EXPECT_EQ(SqlNumber(Variant(7)), "7");
  EXPECT_THROW(SqlNumber("12; DROP TABLE x"), SqlValueError);
  EXPECT_THROW(SqlNumber("1 or 1=1"), SqlValueError);
  EXPECT_THROW(SqlNumber(""), SqlValueError);
  EXPECT_THROW(SqlNumber(Variant(Null)), SqlValueError);
  EXPECT_EQ(SqlInteger("-3"), "-3");
  EXPECT_THROW(SqlInteger("1.5"), SqlValueError);
}

TEST(SqlLiterals, IdentifiersArePlainNames) {
  EXPECT_TRUE(IsPlainIdentifier("qvbook_"));
  EXPECT_FALSE(IsPlainIdentifier("1abc"));
  EXPECT_FALSE(IsPlainIdentifier("qvbook;drop"));
  EXPECT_FALSE(IsPlainIdentifier("a b"));
  EXPECT_FALSE(IsPlainIdentifier(""));
  EXPECT_THROW(CheckIdentifier("x--"), SqlValueError);
}

}  // namespace
}  // namespace qv
