#include "core/variant.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(ArrayBounds, TwoDimensionalIndexedFieldThenRow) {
  auto a = MakeArray2D(2, 3);
  EXPECT_EQ(a->UBound(1), 1);
  EXPECT_EQ(a->UBound(2), 2);
  a->at(1, 2) = Variant("last");
  EXPECT_EQ(a->at(1, 2).AsString(), "last");
  EXPECT_THROW(a->at(1, 2).AsInteger(), TypeMismatch);
  EXPECT_THROW(a->at(2, 0), std::out_of_range);
  EXPECT_THROW(a->at(0), std::out_of_range);
  EXPECT_THROW(a->UBound(3), std::out_of_range);
}

TEST(ArrayBounds, ResizeLastKeepsContents) {
  auto a = MakeArray2D(2, 1);
  a->at(0, 0) = Variant("k");
  a->at(1, 0) = Variant("v");
  a->ResizeLast(2);
  EXPECT_EQ(a->at(0, 0).AsString(), "k");
  EXPECT_EQ(a->at(1, 0).AsString(), "v");
  EXPECT_TRUE(a->at(1, 1).IsEmpty());
  EXPECT_EQ(MakeArray({})->UBound(), -1);
}

}  // namespace
}  // namespace qv
