#pragma once
// The View page of the options sheet: colours and fonts of the full-screen window's disk
// label, movie list and choice list, each with a preview drawn as it is being edited.

#include <cstdint>
#include <optional>

#include "app/theme.h"
#include "rules/desk/page_rules.h"

namespace quorvel::desk {

// The three areas of the page, in the order they stand on it.
enum class ThemeArea { Label = 0, Movies = 1, Choices = 2 };
inline constexpr ThemeArea kThemeAreas[] = {ThemeArea::Label, ThemeArea::Movies,
                                            ThemeArea::Choices};

// What the View page asks of its face beyond its controls.
class ViewPageView {
 public:
  // Height in pixels of the screen the page is shown on: the full-screen window covers
  // it, so theme fonts are drawn no higher.
  virtual int ScreenHeight() const = 0;
  // Pixels from the top of a list's preview to the top of the radio buttons under it.
  virtual int PreviewRoom(ThemeArea area) const = 0;
  // Draws the preview of `area` with `text` on `background` in `font`; a list's preview
  // becomes `height` pixels high (the label's keeps its height: -1).
  virtual void ShowPreview(ThemeArea area, ColorRef text, ColorRef background,
                           const FontDescription& font, int height) = 0;
  // The colour and font choosers, opened on the current value: the choice, or nothing
  // when the user cancelled.
  virtual std::optional<ColorRef> ChooseColor(ColorRef initial) = 0;
  virtual std::optional<FontDescription> ChooseFont(const FontDescription& initial) = 0;

 protected:
  ~ViewPageView() = default;
};

class ViewPageRules final : public PageRules {
 public:
  // Which colours of a list the preview shows and FG and BG edit.
  enum State : std::int32_t { kHighlighted = 0, kNormal = 1 };
  // Space kept between a list preview and the radio buttons under it.
  static constexpr int kPreviewGap = 2;

  ViewPageRules(Settings& settings, const Services& services, PageView& page, ViewPageView& view);

  // FG, BG and Font of each area; a cancelled chooser changes nothing.
  void ChooseForeground(ThemeArea area);
  void ChooseBackground(ThemeArea area);
  void ChooseFont(ThemeArea area);
  // A radio button of the movie or choice list was clicked.
  void OnStateClicked(ThemeArea area);

  // The state selector of the movie or choice list (the label has one state).
  std::int32_t StateOf(ThemeArea area) const;
  // The colours that FG and BG of `area` edit: the selected state's, for the lists.
  ColorRef Foreground(ThemeArea area) const;
  ColorRef Background(ThemeArea area) const;
  // How high the preview of a list is drawn: as tall as a row of the full-screen list in
  // its font, as far as its group has room.
  int PreviewHeight(ThemeArea area) const;

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  void OnFirstShow() override;

 private:
  ColorRef& ForegroundValue(ThemeArea area);
  ColorRef& BackgroundValue(ThemeArea area);
  // Draws the area's preview in its current colours and font.
  void UpdatePreview(ThemeArea area);

  ViewPageView& view_;
  std::int32_t moviesState_ = kHighlighted;
  std::int32_t choicesState_ = kHighlighted;
};

}  // namespace quorvel::desk
