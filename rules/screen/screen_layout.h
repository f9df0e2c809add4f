#pragma once
// The layout arithmetic of the full-screen window on plain rectangles (client pixels,
// right and bottom exclusive): the template's layout stretched to the window, the
// movie list fitted to one or two rows, the choice list grown upwards from the lower right
// corner to show all its rows, and how high the rows of a list in a theme font are.
// The view measures and moves its controls; these functions decide where.

#include <cstdint>
#include <span>

#include "picture/rect.h"

namespace quorvel::screen {

// The three controls of the window, in client pixels.
struct ScreenLayout {
  Rect label;
  Rect movieList;
  Rect choiceList;
  bool operator==(const ScreenLayout&) const = default;
};

// Row height that the movie list assumes while it is empty.
inline constexpr int kEmptyListRowHeight = 10;
// The movie list never shows more rows than this; it scrolls under its selection.
inline constexpr int kMovieListVisibleRows = 2;
// Text height of a list without any font.
inline constexpr int kNoFontTextHeight = 42;

// `control` scaled edge by edge from a window the size of `reference` to one the size of
// `window`: left and right by the ratio of the widths, top and bottom by the ratio of the
// heights, each truncated toward zero. A reference without width (or height) leaves that
// direction unscaled; results beyond the range of int are held at its ends.
Rect ScaleRect(const Rect& control, const Rect& reference, const Rect& window);

// Every control of `layout` scaled as ScaleRect does. The caller then stores `window` as
// the new reference and fits both lists again.
ScreenLayout Relayout(const ScreenLayout& layout, const Rect& reference, const Rect& window);

// The movie list with its left edge, top edge and width kept and its height set to
// two rows when it holds more than one row, one row otherwise; the row height is that of
// the first row, or kEmptyListRowHeight when the list is empty. The list never reaches
// below `client`, so rows in a huge font leave it on the screen (it scrolls).
Rect FitMovieList(const Rect& list, int rowCount, int firstRowHeight, const Rect& client);

// The choice list with its left edge, width and bottom edge kept and its top edge moved to
// bottom - the sum of `rowHeights`, so that it shows all its rows. Unchanged when there are
// no rows or their heights sum to 0. The top never goes above `client`.
Rect FitChoiceList(const Rect& list, std::span<const int> rowHeights, const Rect& client);

// The height a theme font of stored height `height` is drawn at: its absolute value (a
// negative height counts by its size), but no higher than `screenHeight`; fonts come from
// files that people edit, and a short value laid over a stored font can make it
// hundreds of thousands of pixels high. 0 stays 0 (a font of default size).
// A `screenHeight` of 0 or less sets no bound.
int DrawnFontHeight(std::int32_t height, int screenHeight);

// The padding above and below the text of each row of a list in a theme font of stored
// height `height`: a quarter of the drawn height, truncated, and no more than keeps a row
// (text and both paddings) within `screenHeight`.
int RowPadding(std::int32_t height, int screenHeight);

// The text height of a list whose fonts are drawn `normalHeight` and `highlightHeight`
// high (0 for a font it lacks): the larger one, or kNoFontTextHeight when that is 0.
int ListTextHeight(int normalHeight, int highlightHeight);

// The height of every row of a list: its text height and the padding above and below.
int RowHeight(int textHeight, int padding);

}  // namespace quorvel::screen
