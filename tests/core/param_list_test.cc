#include "core/param_list.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(ParamLists, RepeatedNamesJoinAndKeysKeepArrivalOrder) {
  ParamList p = ParseQuery("b=2&a=x+y&B=3&c&&d=%41%zz");
  EXPECT_EQ(p.Get("b"), "2, 3");
  EXPECT_EQ(p.Get("A"), "x y");
  EXPECT_TRUE(p.Contains("c"));
  EXPECT_EQ(p.Get("d"), "A%zz");
  EXPECT_EQ(p.Get("missing"), "");
  EXPECT_EQ(p.Keys(), (std::vector<std::string>{"b", "a", "c", "d"}));
}

}  // namespace
}  // namespace qv
