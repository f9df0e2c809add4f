#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/fake/memory_registry.h"

namespace quorvel {
namespace {

using ::testing::ElementsAre;

TEST(KeyTreeRegistry, NamesIgnoreCaseKeepTheirFirstSpellingAndEnumerateInCreationOrder) {
  MemoryRegistry registry;
  ScopedKey key(registry, registry.CreateKey(kCurrentUser, "Software\\Zeta"));
  ASSERT_TRUE(key);
  ScopedKey same(registry, registry.CreateKey(kCurrentUser, "SOFTWARE\\zeta\\Alpha"));
  ScopedKey second(registry, registry.CreateKey(key.get(), "beta"));
  ScopedKey third(registry, registry.CreateKey(key.get(), "ALPHA"));
  EXPECT_EQ(registry.EnumKey(key.get(), 0), "Alpha");
  EXPECT_EQ(registry.EnumKey(key.get(), 1), "beta");
  EXPECT_EQ(registry.EnumKey(key.get(), 2), std::nullopt);

  const std::uint32_t one = 1;
  const std::uint32_t two = 2;
  ASSERT_TRUE(registry.SetValue(key.get(), "Value", RegType::Dword, &one, 4));
  ASSERT_TRUE(registry.SetValue(key.get(), "VALUE", RegType::Binary, &two, 4));
  EXPECT_THAT(registry.ValueNames("software\\ZETA"), ElementsAre("Value"));
  EXPECT_EQ(registry.ValueType("Software\\Zeta", "value"), RegType::Binary);
  EXPECT_EQ(registry.OpenKeyCount(), 4u);
}

TEST(KeyTreeRegistry, QueryCopiesOnlyWhatFitsAndReportsTheSize) {
  MemoryRegistry registry;
  registry.Put("K", "five", RegType::Binary, {1, 2, 3, 4, 5});
  ScopedKey key(registry, registry.OpenKey(kCurrentUser, "K"));
  std::array<std::uint8_t, 8> buffer{};
  buffer.fill(0xEE);
  EXPECT_EQ(registry.QueryValue(key.get(), "five", buffer.data(), 4), std::nullopt);
  EXPECT_EQ(buffer[0], 0xEE) << "a failed query leaves the buffer alone";
  EXPECT_EQ(registry.QueryValue(key.get(), "FIVE", buffer.data(), 5), 5u);
  EXPECT_EQ(buffer[4], 5);
  EXPECT_EQ(buffer[5], 0xEE);
  EXPECT_EQ(registry.QueryValue(key.get(), "missing", buffer.data(), 8), std::nullopt);
  EXPECT_TRUE(registry.DeleteValue(key.get(), "Five"));
  EXPECT_FALSE(registry.DeleteValue(key.get(), "Five"));
}

TEST(KeyTreeRegistry, DeletedKeysAndBadNamesFail) {
  MemoryRegistry registry;
  ScopedKey parent(registry, registry.CreateKey(kCurrentUser, "P"));
  ScopedKey child(registry, registry.CreateKey(parent.get(), "C\\G"));
  EXPECT_FALSE(registry.DeleteKey(parent.get(), "C")) << "it still has a sub-key";
  EXPECT_TRUE(registry.DeleteKey(parent.get(), "c\\g"));
  const std::uint32_t value = 1;
  EXPECT_FALSE(registry.SetValue(child.get(), "v", RegType::Dword, &value, 4));
  EXPECT_EQ(registry.CreateKey(child.get(), "X"), kNoKey);
  child.Close();
  EXPECT_FALSE(registry.DeleteKey(parent.get(), "C\\G"));

  EXPECT_EQ(registry.CreateKey(parent.get(), "a\\\\b"), kNoKey);
  EXPECT_EQ(registry.CreateKey(parent.get(), "line\nbreak"), kNoKey);
  EXPECT_EQ(registry.CreateKey(parent.get(), std::string(256, 'k')), kNoKey);
  EXPECT_NE(registry.CreateKey(parent.get(), std::string(255, 'k')), kNoKey);
  EXPECT_FALSE(registry.SetValue(parent.get(), "a\rb", RegType::Dword, &value, 4));
  EXPECT_EQ(registry.OpenKey(parent.get(), "missing"), kNoKey);
  EXPECT_FALSE(registry.HasKey("P\\missing"));
}

TEST(MemoryRegistry, FailuresHitTheNamedKeyAndEverythingBelowItOnly) {
  MemoryRegistry registry;
  registry.PutText("Software\\A\\B", "v", "x");
  registry.FailKey("software\\a");
  EXPECT_EQ(registry.OpenKey(kCurrentUser, "Software\\A"), kNoKey);
  EXPECT_EQ(registry.CreateKey(kCurrentUser, "Software\\A\\B\\C"), kNoKey);
  ScopedKey software(registry, registry.OpenKey(kCurrentUser, "Software"));
  ASSERT_TRUE(software);
  EXPECT_EQ(registry.OpenKey(software.get(), "A"), kNoKey);
  EXPECT_NE(registry.CreateKey(software.get(), "Other"), kNoKey);

  registry.FailWrite("HKEY_CURRENT_USER\\Software", "Blocked");
  const std::uint32_t value = 1;
  EXPECT_FALSE(registry.SetValue(software.get(), "blocked", RegType::Dword, &value, 4));
  EXPECT_TRUE(registry.SetValue(software.get(), "Free", RegType::Dword, &value, 4));
  EXPECT_EQ(registry.SetValueCount(), 1u);

  registry.ClearFailures();
  EXPECT_TRUE(registry.SetValue(software.get(), "Blocked", RegType::Dword, &value, 4));
  ScopedKey a(registry, registry.OpenKey(software.get(), "A"));
  EXPECT_TRUE(a);
}

}  // namespace
}  // namespace quorvel
