#include "common/c_literal.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace zivivar {
namespace {

void ExpectValues(std::initializer_list<std::pair<const char*, uint32_t>> cases) {
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(ParseCLiteral(text), value) << '"' << text << '"';
  }
}

TEST(CLiteralTest, ThePrefixPicksTheBaseAndReadingStopsAtTheFirstMisfit) {
  ExpectValues({{"32768", 32768}, {"0x8000", 32768}, {"0X3bc", 0x3BC}, {"010", 8}, {"0", 0}});
  ExpectValues({{"08192", 0}, {"0778", 077}, {"12ab", 12}, {"0x1g", 1}});
  // Text without digits is 0; a minus negates modulo 2^32; large values saturate.
  ExpectValues({{"", 0}, {"   ", 0}, {"abc", 0}, {"0x", 0}, {"-", 0}, {"- 1", 0}});
  ExpectValues({{" \t42", 42}, {"+42", 42}, {"-1", 0xFFFFFFFF}, {"-0x10", 0xFFFFFFF0}});
  ExpectValues({{"4294967295", 0xFFFFFFFF}, {"4294967296", 0xFFFFFFFF}});
  ExpectValues({{"-4294967296", 0xFFFFFFFF}, {"0x123456789", 0xFFFFFFFF}});
}

}  // namespace
}  // namespace zivivar
