#pragma once
// The View page of the options sheet: colours and fonts of the full-screen window's disk
// label, movie list and choice list, each with a preview drawn as it is being edited.
// What it decides is desk::ViewPageRules; the page draws the previews and runs Qt's
// colour and font choosers.

#include "faces/qt/desktop/options_page.h"
#include "rules/desk/view_page_rules.h"

class QLabel;

namespace quorvel {

class CViewPage final : public COptionsPage, public desk::ViewPageView {
  Q_OBJECT

 public:
  using Area = desk::ThemeArea;
  // Which colours of a list the preview shows and FG and BG edit.
  enum State : std::int32_t {
    kHighlighted = desk::ViewPageRules::kHighlighted,
    kNormal = desk::ViewPageRules::kNormal
  };

  CViewPage(Settings& settings, const Services& services);

  // The colour and font choosers of each area; a cancelled chooser changes nothing.
  void ChooseForeground(Area area) { rules_.ChooseForeground(area); }
  void ChooseBackground(Area area) { rules_.ChooseBackground(area); }
  void ChooseFont(Area area) { rules_.ChooseFont(area); }

  // The state selector of the movie or choice list (the label has one state).
  std::int32_t StateOf(Area area) const { return rules_.StateOf(area); }
  QLabel* Preview(Area area) const;

  // desk::ViewPageView
  int ScreenHeight() const override;
  int PreviewRoom(Area area) const override;
  void ShowPreview(Area area, ColorRef text, ColorRef background, const FontDescription& font,
                   int height) override;
  std::optional<ColorRef> ChooseColor(ColorRef initial) override;
  std::optional<FontDescription> ChooseFont(const FontDescription& initial) override;

 private:
  void ConnectHandlers();

  desk::ViewPageRules rules_;
  // From the top of each list preview to the radio buttons under it, as the template
  // places them.
  int previewRoom_[3] = {0, 0, 0};
};

}  // namespace quorvel
