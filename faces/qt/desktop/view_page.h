#pragma once
// The View page of the options sheet: colours and fonts of the full-screen window's disk
// label, movie list and choice list, each with a preview drawn as it is being edited.

#include "faces/qt/desktop/options_page.h"

class QLabel;

namespace quorvel {

class CViewPage final : public COptionsPage {
  Q_OBJECT

 public:
  enum class Area { Label = 0, Movies = 1, Choices = 2 };
  // Which colours of a list the preview shows and FG and BG edit.
  enum State : std::int32_t { kHighlighted = 0, kNormal = 1 };

  CViewPage(Settings& settings, const Services& services);

  // The colour and font choosers of each area; a cancelled chooser changes nothing.
  void ChooseForeground(Area area);
  void ChooseBackground(Area area);
  void ChooseFont(Area area);

  // The state selector of the movie or choice list (the label has one state).
  std::int32_t StateOf(Area area) const;
  QLabel* Preview(Area area) const;

 protected:
  void DoDataExchange(DataExchange& exchange) override;
  void OnFirstShow() override;

 private:
  void ConnectHandlers();
  // The colour that FG or BG of `area` edits: the selected state's, for the lists.
  ColorRef& Foreground(Area area);
  ColorRef& Background(Area area);
  // Draws the area's preview in its current colours and font; a list's preview is as
  // tall as a row of the full-screen list in that font, as far as its group has room.
  void UpdatePreview(Area area);
  void OnStateClicked(Area area);
  int ScreenHeight() const;

  std::int32_t moviesState_ = kHighlighted;
  std::int32_t choicesState_ = kHighlighted;
  // The height each list preview may take at most: from its top to the radio buttons.
  int previewRoom_[3] = {0, 0, 0};
};

}  // namespace quorvel
