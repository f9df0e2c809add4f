#include "app/registry_values.h"

#include <algorithm>
#include <array>
#include <memory>

#include "registry_store/key_tree.h"
#include "windows_rules/little_endian.h"

namespace quorvel {

bool ReadNumber(Registry& registry, RegKey key, std::string_view name, std::uint32_t& field) {
  // A value shorter than 4 bytes changes only the low bytes of the field.
  std::array<std::uint8_t, kNumberBufferSize> bytes = LittleEndianBytes32(field);
  if (!registry.QueryValue(key, name, bytes.data(), kNumberBufferSize)) return false;
  field = LoadLittleEndian32(bytes.data());
  return true;
}

bool ReadNumber(Registry& registry, RegKey key, std::string_view name, std::int32_t& field) {
  auto bits = static_cast<std::uint32_t>(field);
  if (!ReadNumber(registry, key, name, bits)) return false;
  field = static_cast<std::int32_t>(bits);
  return true;
}

bool ReadText(Registry& registry, RegKey key, std::string_view name, std::string& field) {
  std::array<char, kTextBufferSize> buffer{};
  const std::optional<std::uint32_t> size =
      registry.QueryValue(key, name, buffer.data(), kTextBufferSize);
  if (!size) return false;
  const auto end = std::find(buffer.begin(), buffer.begin() + *size, '\0');
  field.assign(buffer.begin(), end);
  return true;
}

bool ValueStored(Registry& registry, RegKey key, std::string_view name) {
  // The store tells a missing value from a long one only by whether a buffer as large as
  // any value it keeps gets it. One such buffer serves every read of the thread; left
  // uninitialised, only the bytes a long value fills are ever touched.
  thread_local const std::unique_ptr<char[]> probe(new char[kMaxValueSize]);
  return registry.QueryValue(key, name, probe.get(), static_cast<std::uint32_t>(kMaxValueSize))
      .has_value();
}

TextRead ReadTextValue(Registry& registry, RegKey key, std::string_view name, std::string& field) {
  if (ReadText(registry, key, name, field)) return TextRead::Read;
  return ValueStored(registry, key, name) ? TextRead::TooLong : TextRead::Missing;
}

bool WriteNumber(Registry& registry, RegKey key, std::string_view name, std::uint32_t value) {
  const std::array<std::uint8_t, 4> bytes = LittleEndianBytes32(value);
  return registry.SetValue(key, name, RegType::Dword, bytes.data(), 4);
}

bool WriteNumber(Registry& registry, RegKey key, std::string_view name, std::int32_t value) {
  return WriteNumber(registry, key, name, static_cast<std::uint32_t>(value));
}

bool WriteText(Registry& registry, RegKey key, std::string_view name, const std::string& text) {
  return registry.SetValue(key, name, RegType::Sz, text.c_str(),
                           static_cast<std::uint32_t>(text.size() + 1));
}

bool WriteDefaultNumber(Registry& registry, RegKey key, std::string_view name,
                        std::uint32_t value) {
  const std::array<std::uint8_t, 4> bytes = LittleEndianBytes32(value);
  return registry.SetDefaultValue(key, name, RegType::Dword, bytes.data(), 4);
}

bool WriteDefaultText(Registry& registry, RegKey key, std::string_view name,
                      const std::string& text) {
  return registry.SetDefaultValue(key, name, RegType::Sz, text.c_str(),
                                  static_cast<std::uint32_t>(text.size() + 1));
}

}  // namespace quorvel
