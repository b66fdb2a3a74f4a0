#include "common/c_literal.h"

#include <gtest/gtest.h>

namespace zivivar {
namespace {

TEST(CLiteralTest, BaseFollowsThePrefix) {
  EXPECT_EQ(ParseCLiteral("32768"), 32768u);
  EXPECT_EQ(ParseCLiteral("0x8000"), 32768u);
  EXPECT_EQ(ParseCLiteral("0X8000"), 32768u);
  EXPECT_EQ(ParseCLiteral("0x3bc"), 0x3BCu);
  EXPECT_EQ(ParseCLiteral("010"), 8u);
  EXPECT_EQ(ParseCLiteral("0"), 0u);
}

TEST(CLiteralTest, ReadingStopsAtTheFirstCharacterThatDoesNotFit) {
  EXPECT_EQ(ParseCLiteral("08192"), 0u);  // octal: '8' is no digit
  EXPECT_EQ(ParseCLiteral("0778"), 077u);
  EXPECT_EQ(ParseCLiteral("12ab"), 12u);
  EXPECT_EQ(ParseCLiteral("0x1g"), 1u);
}

TEST(CLiteralTest, TextWithoutDigitsIsZero) {
  EXPECT_EQ(ParseCLiteral(""), 0u);
  EXPECT_EQ(ParseCLiteral("   "), 0u);
  EXPECT_EQ(ParseCLiteral("abc"), 0u);
  EXPECT_EQ(ParseCLiteral("0x"), 0u);
  EXPECT_EQ(ParseCLiteral("-"), 0u);
}

TEST(CLiteralTest, WhiteSpaceAndSigns) {
  EXPECT_EQ(ParseCLiteral("  \t42"), 42u);
  EXPECT_EQ(ParseCLiteral("+42"), 42u);
  EXPECT_EQ(ParseCLiteral("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseCLiteral("-0x10"), 0xFFFFFFF0u);
  EXPECT_EQ(ParseCLiteral("- 1"), 0u);
}

TEST(CLiteralTest, ValuesBeyond32BitsSaturate) {
  EXPECT_EQ(ParseCLiteral("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseCLiteral("4294967296"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseCLiteral("-4294967296"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseCLiteral("0x123456789"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace zivivar
