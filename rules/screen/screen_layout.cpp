#include "rules/screen/screen_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace quorvel::screen {
namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

int ToInt(std::int64_t value) { return static_cast<int>(std::clamp(value, kIntMin, kIntMax)); }

// value x factor, truncated toward zero and held within int.
int ScaleEdge(int value, double factor) {
  const double scaled = std::trunc(static_cast<double>(value) * factor);
  if (!(scaled > static_cast<double>(kIntMin))) return static_cast<int>(kIntMin);
  if (!(scaled < static_cast<double>(kIntMax))) return static_cast<int>(kIntMax);
  return static_cast<int>(scaled);
}

// new / reference, or 1 when the reference has no extent to scale from.
double Factor(int reference, int window) {
  if (reference <= 0) return 1.0;
  return static_cast<double>(window) / static_cast<double>(reference);
}

}  // namespace

Rect ScaleRect(const Rect& control, const Rect& reference, const Rect& window) {
  const double x = Factor(reference.Width(), window.Width());
  const double y = Factor(reference.Height(), window.Height());
  return {ScaleEdge(control.left, x), ScaleEdge(control.top, y), ScaleEdge(control.right, x),
          ScaleEdge(control.bottom, y)};
}

ScreenLayout Relayout(const ScreenLayout& layout, const Rect& reference, const Rect& window) {
  return {ScaleRect(layout.label, reference, window),
          ScaleRect(layout.movieList, reference, window),
          ScaleRect(layout.choiceList, reference, window)};
}

Rect FitMovieList(const Rect& list, int rowCount, int firstRowHeight, const Rect& client) {
  const std::int64_t rowHeight = rowCount > 0 ? firstRowHeight : kEmptyListRowHeight;
  const std::int64_t rows = rowCount > 1 ? kMovieListVisibleRows : 1;
  std::int64_t bottom = std::int64_t{list.top} + rowHeight * rows;
  bottom = std::max<std::int64_t>(list.top, std::min<std::int64_t>(bottom, client.bottom));
  return {list.left, list.top, list.right, ToInt(bottom)};
}

Rect FitChoiceList(const Rect& list, std::span<const int> rowHeights, const Rect& client) {
  std::int64_t sum = 0;
  for (int height : rowHeights) sum += height;
  if (rowHeights.empty() || sum == 0) return list;
  std::int64_t top = std::int64_t{list.bottom} - sum;
  top = std::min<std::int64_t>(list.bottom, std::max<std::int64_t>(top, client.top));
  return {list.left, ToInt(top), list.right, list.bottom};
}

int DrawnFontHeight(std::int32_t height, int screenHeight) {
  const std::int64_t size = std::llabs(std::int64_t{height});
  if (screenHeight <= 0) return ToInt(size);
  return static_cast<int>(std::min<std::int64_t>(size, screenHeight));
}

int RowPadding(std::int32_t height, int screenHeight) {
  const int text = DrawnFontHeight(height, screenHeight);
  const int padding = text / 4;
  if (screenHeight <= 0) return padding;
  return std::max(0, std::min(padding, (screenHeight - text) / 2));
}

int ListTextHeight(int normalHeight, int highlightHeight) {
  const int height = std::max(normalHeight, highlightHeight);
  return height == 0 ? kNoFontTextHeight : height;
}

int RowHeight(int textHeight, int padding) {
  return ToInt(std::int64_t{textHeight} + 2 * std::int64_t{padding});
}

}  // namespace quorvel::screen
