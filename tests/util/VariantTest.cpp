#include "util/Variant.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(Variant, ArithmeticYieldsTheWiderKind) {
  EXPECT_EQ(Variant::Byte(200) + Variant::Byte(100), Variant::Word(300));  // widens on overflow
  EXPECT_EQ((Variant::Byte(2) + Variant::Byte(3)).Kind(), VarKind::Byte);
  EXPECT_EQ(Variant::Word(2) * Variant::Integer(-3), Variant::Integer(-6));
  EXPECT_EQ(Variant::LongWord(5) - Variant::LongWord(6), Variant::Int64(-1));
  EXPECT_EQ(Variant::Integer(1) + Variant::Real(0.5), Variant::Real(1.5));
  EXPECT_EQ(Variant::DateTime(1.0) + Variant::Integer(2), Variant::DateTime(3.0));
  EXPECT_EQ(Variant::Integer(7) / Variant::Integer(2), Variant::Real(3.5));
  EXPECT_EQ((Variant::Int64(INT64_MAX) + Variant::Int64(1)).Kind(), VarKind::Real);
}

TEST(Variant, ConversionsRoundHalfToEvenAndTreatNonNumbersAsZero) {
  EXPECT_EQ(Variant::Real(2.5).AsInt64(), 2);
  EXPECT_EQ(Variant::Real(3.5).AsInt64(), 4);
  EXPECT_EQ(Variant::Real(-2.5).AsInt64(), -2);
  EXPECT_EQ(Variant::Real(1e300).AsInt64(), 0);
  EXPECT_EQ(Variant::LongWord(4294967295u).AsInt64(), 4294967295);
  EXPECT_EQ(Variant::Text("12").AsInt64(), 0);
  EXPECT_EQ(Variant().AsReal(), 0.0);
  EXPECT_FALSE(Variant::Null().IsNumber());
  EXPECT_TRUE(Variant::Word(1).IsInteger());
  EXPECT_EQ(Variant::Text("abc").AsText(), "abc");
  EXPECT_EQ(Variant::Integer(3).AsText(), "");
}

}  // namespace
}  // namespace qor
