#include "rules/desk/view_page_rules.h"

#include <algorithm>

#include "resources/resource_ids.h"
#include "rules/screen/screen_layout.h"

namespace quorvel::desk {

namespace {

namespace ids = res::view;

// The thirteen theme values are changed by the page's choosers, never by a control.
const FieldBinding kBindings[] = {
    {res::kNoId, Member(&Settings::Theme, &Theme::LabelFg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::LabelBg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::LabelFont), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::MoviesFg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::MoviesBg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::MoviesHighFg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::MoviesHighBg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::MoviesFont), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::ChoiceFg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::ChoiceBg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::ChoiceHighFg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::ChoiceHighBg), bind::HandlersOnly},
    {res::kNoId, Member(&Settings::Theme, &Theme::ChoiceFont), bind::HandlersOnly},
};

// The theme values of one area. The label has no highlighted colours: its pair is its
// only one.
struct AreaValues {
  ColorRef Theme::*fg;
  ColorRef Theme::*bg;
  ColorRef Theme::*highFg;
  ColorRef Theme::*highBg;
  FontDescription Theme::*font;
};

constexpr AreaValues kAreas[] = {
    {&Theme::LabelFg, &Theme::LabelBg, &Theme::LabelFg, &Theme::LabelBg, &Theme::LabelFont},
    {&Theme::MoviesFg, &Theme::MoviesBg, &Theme::MoviesHighFg, &Theme::MoviesHighBg,
     &Theme::MoviesFont},
    {&Theme::ChoiceFg, &Theme::ChoiceBg, &Theme::ChoiceHighFg, &Theme::ChoiceHighBg,
     &Theme::ChoiceFont},
};

const AreaValues& ValuesOf(ThemeArea area) { return kAreas[static_cast<int>(area)]; }

// A pair of radio buttons: showing checks the one of `state`; reading gives the index of
// the checked one.
void StatePair(DataExchange& exchange, int highlighted, int normal, std::int32_t& state) {
  ControlValues* controls = exchange.Controls();
  if (controls == nullptr) return;
  if (exchange.reading()) {
    state = controls->Checked(normal) ? ViewPageRules::kNormal : ViewPageRules::kHighlighted;
  } else {
    const bool isNormal = state == ViewPageRules::kNormal;
    // The one to check first: a radio group never has none checked.
    controls->SetChecked(isNormal ? normal : highlighted, true);
    controls->SetChecked(isNormal ? highlighted : normal, false);
  }
}

}  // namespace

ViewPageRules::ViewPageRules(Settings& settings, const Services& services, PageView& page,
                             ViewPageView& view)
    : PageRules(res::kViewPage, settings, services, page, kBindings), view_(view) {}

void ViewPageRules::DoDataExchange(DataExchange& exchange) {
  PageRules::DoDataExchange(exchange);
  StatePair(exchange, ids::kMoviesHighlighted, ids::kMoviesNormal, moviesState_);
  StatePair(exchange, ids::kChoicesHighlighted, ids::kChoicesNormal, choicesState_);
}

void ViewPageRules::OnFirstShow() {
  ShowValues();
  for (ThemeArea area : kThemeAreas) UpdatePreview(area);
}

std::int32_t ViewPageRules::StateOf(ThemeArea area) const {
  switch (area) {
    case ThemeArea::Movies:
      return moviesState_;
    case ThemeArea::Choices:
      return choicesState_;
    case ThemeArea::Label:
      break;
  }
  return kHighlighted;
}

ColorRef& ViewPageRules::ForegroundValue(ThemeArea area) {
  const AreaValues& values = ValuesOf(area);
  return values_.Theme.*(StateOf(area) == kHighlighted ? values.highFg : values.fg);
}

ColorRef& ViewPageRules::BackgroundValue(ThemeArea area) {
  const AreaValues& values = ValuesOf(area);
  return values_.Theme.*(StateOf(area) == kHighlighted ? values.highBg : values.bg);
}

ColorRef ViewPageRules::Foreground(ThemeArea area) const {
  const AreaValues& values = ValuesOf(area);
  return values_.Theme.*(StateOf(area) == kHighlighted ? values.highFg : values.fg);
}

ColorRef ViewPageRules::Background(ThemeArea area) const {
  const AreaValues& values = ValuesOf(area);
  return values_.Theme.*(StateOf(area) == kHighlighted ? values.highBg : values.bg);
}

int ViewPageRules::PreviewHeight(ThemeArea area) const {
  if (area == ThemeArea::Label) return -1;
  const FontDescription& font = values_.Theme.*ValuesOf(area).font;
  const int screenHeight = view_.ScreenHeight();
  const int textHeight = screen::DrawnFontHeight(font.height, screenHeight);
  const int row = screen::RowHeight(screen::ListTextHeight(textHeight, textHeight),
                                    screen::RowPadding(font.height, screenHeight));
  const int room = view_.PreviewRoom(area) - kPreviewGap;
  return std::clamp(row, 1, std::max(1, room));
}

void ViewPageRules::UpdatePreview(ThemeArea area) {
  view_.ShowPreview(area, Foreground(area), Background(area), values_.Theme.*ValuesOf(area).font,
                    PreviewHeight(area));
}

void ViewPageRules::ChooseForeground(ThemeArea area) {
  const std::optional<ColorRef> chosen = view_.ChooseColor(Foreground(area));
  if (!chosen) return;
  ForegroundValue(area) = *chosen;
  UpdatePreview(area);
}

void ViewPageRules::ChooseBackground(ThemeArea area) {
  const std::optional<ColorRef> chosen = view_.ChooseColor(Background(area));
  if (!chosen) return;
  BackgroundValue(area) = *chosen;
  UpdatePreview(area);
}

void ViewPageRules::ChooseFont(ThemeArea area) {
  FontDescription& font = values_.Theme.*ValuesOf(area).font;
  const std::optional<FontDescription> chosen = view_.ChooseFont(font);
  if (!chosen) return;
  font = *chosen;
  UpdatePreview(area);
}

void ViewPageRules::OnStateClicked(ThemeArea area) {
  ReadControls();
  UpdatePreview(area);
}

}  // namespace quorvel::desk
