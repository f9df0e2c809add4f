#include "windows_rules/text_encoding.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ToUtf8, KeepsValidUtf8AndReadsEverythingElseAsWindows1252) {
  EXPECT_EQ(ToUtf8("plain"), "plain");
  EXPECT_EQ(ToUtf8("caf\xc3\xa9 \xe2\x82\xac"), "caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(ToUtf8("caf\xe9"), "caf\xc3\xa9");
  EXPECT_EQ(ToUtf8("\x80\x81\x9f\xff"), "\xe2\x82\xac\xc2\x81\xc5\xb8\xc3\xbf");
  // Not UTF-8: overlong forms, surrogates, cut-off sequences.
  EXPECT_EQ(ToUtf8("\xc0\xaf"), "\xc3\x80\xc2\xaf");
  EXPECT_EQ(ToUtf8("\xed\xa0\x80"), "\xc3\xad\xc2\xa0\xe2\x82\xac");
  EXPECT_EQ(ToUtf8("\xe2\x82"), "\xc3\xa2\xe2\x80\x9a");
  EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_TRUE(IsValidUtf8("\xf0\x9f\x8e\xac"));
}

TEST(Windows1252FromCodePoint, ReversesWindows1252ToUtf8AndRefusesTheRest) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string utf8 = Windows1252ToUtf8(std::string(1, static_cast<char>(byte)));
    char32_t code = static_cast<unsigned char>(utf8[0]);
    if (utf8.size() == 2) code = ((code & 0x1F) << 6) | (utf8[1] & 0x3F);
    if (utf8.size() == 3) code = ((code & 0x0F) << 12) | ((utf8[1] & 0x3F) << 6) | (utf8[2] & 0x3F);
    EXPECT_EQ(Windows1252FromCodePoint(code), static_cast<char>(byte)) << byte;
  }
  EXPECT_EQ(Windows1252FromCodePoint(U'\u20ac'), '\x80');
  EXPECT_EQ(Windows1252FromCodePoint(U'\u0081'), '\x81');
  EXPECT_EQ(Windows1252FromCodePoint(U'\u0080'), std::nullopt) << "0x80 is the euro sign";
  EXPECT_EQ(Windows1252FromCodePoint(U'\u0416'), std::nullopt);
  EXPECT_EQ(Windows1252FromCodePoint(U'\U0001F3AC'), std::nullopt);
}

}  // namespace
}  // namespace quorvel
