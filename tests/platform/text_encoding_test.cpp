#include "platform/text_encoding.h"

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

}  // namespace
}  // namespace quorvel
