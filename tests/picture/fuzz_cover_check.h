#pragma once
// Shared by the picture fuzz targets: a decoded picture goes on into the cover picture,
// and is placed in a free area whose edges come from the input's last 16 bytes. The
// placement must stay inside that area and never be mirrored.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "picture/cover_picture.h"

namespace quorvel::fuzzing {

class QuietMessages final : public UserMessages {
 public:
  MessageAnswer Show(std::string_view, std::string_view, MessageButtons, MessageIcon) override {
    return MessageAnswer::Ok;
  }
};

inline void CheckCover(Files& files, RgbImage image, const std::uint8_t* data, std::size_t size) {
  QuietMessages messages;
  CoverPicture picture(files, messages);
  const int width = image.Width();
  const int height = image.Height();
  if (!picture.TakeOver(std::move(image))) std::abort();
  if (picture.Size() != PictureSize{width, height}) std::abort();
  if (size < 16) return;
  std::int32_t edges[4];
  std::memcpy(edges, data + size - 16, sizeof edges);
  const Rect client{0, edges[0], 0, edges[1]};
  const Rect movies{0, 0, 0, edges[2]};
  const Rect choices{edges[3], 0, 0, 0};
  const Rect placed = picture.PlaceCoverPicture(client, movies, choices);
  if (placed == Rect{}) return;
  const std::int64_t areaWidth = std::int64_t{choices.left} - 20;
  const std::int64_t areaHeight = std::int64_t{client.bottom} - client.top - movies.bottom - 20;
  const std::int64_t areaTop = std::int64_t{movies.bottom} + 10;
  if (placed.left < 10 || placed.right > 10 + areaWidth || placed.right < placed.left ||
      placed.top < areaTop || placed.bottom > areaTop + areaHeight || placed.bottom < placed.top) {
    std::abort();
  }
}

}  // namespace quorvel::fuzzing
