#pragma once
// Little-endian numbers, the byte order of everything Windows stores: registry DWORDs,
// the theme's font records, AVI and BMP headers, UTF-16LE text. Written once here for
// every byte type the readers hold (std::uint8_t, std::byte, char).

#include <array>
#include <cstdint>

namespace quorvel {

namespace little_endian_detail {
template <typename Byte>
constexpr std::uint32_t At(const Byte* bytes, int index) {
  return static_cast<std::uint8_t>(bytes[index]);
}
}  // namespace little_endian_detail

// The 16-bit and 32-bit numbers whose lowest byte is at `bytes`.
template <typename Byte>
constexpr std::uint16_t LoadLittleEndian16(const Byte* bytes) {
  using little_endian_detail::At;
  return static_cast<std::uint16_t>(At(bytes, 0) | At(bytes, 1) << 8);
}
template <typename Byte>
constexpr std::uint32_t LoadLittleEndian32(const Byte* bytes) {
  using little_endian_detail::At;
  return At(bytes, 0) | At(bytes, 1) << 8 | At(bytes, 2) << 16 | At(bytes, 3) << 24;
}

// Writes `value` into the four bytes at `bytes`, lowest byte first.
template <typename Byte>
constexpr void StoreLittleEndian32(Byte* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<Byte>(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The four bytes of `value`, lowest first.
constexpr std::array<std::uint8_t, 4> LittleEndianBytes32(std::uint32_t value) {
  std::array<std::uint8_t, 4> bytes{};
  StoreLittleEndian32(bytes.data(), value);
  return bytes;
}

// Appends the `count` lowest bytes of `value`, lowest first, to `out` (a std::string or
// a vector of bytes).
template <typename Bytes>
void AppendLittleEndian(Bytes& out, std::uint32_t value, int count) {
  using Byte = typename Bytes::value_type;
  for (int i = 0; i < count; ++i)
    out.push_back(static_cast<Byte>(static_cast<std::uint8_t>(value >> (8 * i))));
}

}  // namespace quorvel
