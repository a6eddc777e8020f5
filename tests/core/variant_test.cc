#include "core/variant.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(VariantKinds, EachConstructorGivesItsKind) {
  EXPECT_TRUE(Variant().IsEmpty());
  EXPECT_TRUE(Variant(Null).IsNull());
  EXPECT_TRUE(Variant(true).IsBoolean());
  EXPECT_TRUE(Variant(3).IsInteger());
  EXPECT_TRUE(Variant(1.5).IsDouble());
  EXPECT_TRUE(Variant(Date{1}).IsDate());
  EXPECT_TRUE(Variant("x").IsString());
  EXPECT_THROW(Variant("x").AsInteger(), TypeMismatch);
}

TEST(ArrayBounds, TwoDimensionalIndexedFieldThenRow) {
  auto a = MakeArray2D(2, 3);
  EXPECT_EQ(a->UBound(1), 1);
  EXPECT_EQ(a->UBound(2), 2);
  a->at(1, 2) = Variant("last");
  EXPECT_EQ(a->at(1, 2).AsString(), "last");
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
  auto b = MakeArray({Variant(1), Variant(2)});
  EXPECT_EQ(b->Dimensions(), 1);
  EXPECT_EQ(b->UBound(), 1);
  EXPECT_EQ(MakeArray({})->UBound(), -1);
}

}  // namespace
}  // namespace qv
