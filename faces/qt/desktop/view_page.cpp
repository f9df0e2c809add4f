#include "faces/qt/desktop/view_page.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_theme.h"
#include "resources/resource_ids.h"
#include "rules/screen/screen_layout.h"

namespace quorvel {

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

// One area of the page: its controls and its theme values. The label has no highlighted
// colours and no state selector (ids kNoId).
struct AreaControls {
  int preview;
  int foreground;
  int background;
  int font;
  int highlighted;
  int normal;
  ColorRef Theme::*fg;
  ColorRef Theme::*bg;
  ColorRef Theme::*highFg;
  ColorRef Theme::*highBg;
  FontDescription Theme::*fontValue;
};

constexpr AreaControls kAreas[] = {
    {ids::kLabelPreview, ids::kLabelFg, ids::kLabelBg, ids::kLabelFont, res::kNoId, res::kNoId,
     &Theme::LabelFg, &Theme::LabelBg, &Theme::LabelFg, &Theme::LabelBg, &Theme::LabelFont},
    {ids::kMoviesPreview, ids::kMoviesFg, ids::kMoviesBg, ids::kMoviesFont, ids::kMoviesHighlighted,
     ids::kMoviesNormal, &Theme::MoviesFg, &Theme::MoviesBg, &Theme::MoviesHighFg,
     &Theme::MoviesHighBg, &Theme::MoviesFont},
    {ids::kChoicesPreview, ids::kChoicesFg, ids::kChoicesBg, ids::kChoicesFont,
     ids::kChoicesHighlighted, ids::kChoicesNormal, &Theme::ChoiceFg, &Theme::ChoiceBg,
     &Theme::ChoiceHighFg, &Theme::ChoiceHighBg, &Theme::ChoiceFont},
};

const AreaControls& ControlsOf(CViewPage::Area area) { return kAreas[static_cast<int>(area)]; }

constexpr CViewPage::Area kAllAreas[] = {CViewPage::Area::Label, CViewPage::Area::Movies,
                                         CViewPage::Area::Choices};

// A pair of radio buttons: showing checks the one of `state`; reading gives the index of
// the checked one.
void StatePair(DataExchange& exchange, int highlighted, int normal, std::int32_t& state) {
  auto* first = qobject_cast<QRadioButton*>(exchange.Control(highlighted));
  auto* second = qobject_cast<QRadioButton*>(exchange.Control(normal));
  if (first == nullptr || second == nullptr) return;
  if (exchange.reading()) {
    state = second->isChecked() ? CViewPage::kNormal : CViewPage::kHighlighted;
  } else {
    (state == CViewPage::kNormal ? second : first)->setChecked(true);
  }
}

// Space kept between a list preview and the radio buttons under it.
constexpr int kPreviewGap = 2;

}  // namespace

CViewPage::CViewPage(Settings& settings, const Services& services)
    : COptionsPage(res::kViewPage, settings, services, kBindings) {
  for (Area area : {Area::Movies, Area::Choices}) {
    const AreaControls& controls = ControlsOf(area);
    const QWidget* preview = FindControl(*this, controls.preview);
    const QWidget* radio = FindControl(*this, controls.highlighted);
    previewRoom_[static_cast<int>(area)] = radio->geometry().top() - kPreviewGap - preview->y();
  }
  ConnectHandlers();
}

// Event table: FG, BG and Font of each area, then the radio pairs of the two lists.
void CViewPage::ConnectHandlers() {
  for (Area area : kAllAreas) {
    const AreaControls& controls = ControlsOf(area);
    connect(FindControlAs<QPushButton>(*this, controls.foreground), &QPushButton::clicked, this,
            [this, area] { ChooseForeground(area); });
    connect(FindControlAs<QPushButton>(*this, controls.background), &QPushButton::clicked, this,
            [this, area] { ChooseBackground(area); });
    connect(FindControlAs<QPushButton>(*this, controls.font), &QPushButton::clicked, this,
            [this, area] { ChooseFont(area); });
    for (int radio : {controls.highlighted, controls.normal}) {
      if (radio == res::kNoId) continue;
      connect(FindControlAs<QRadioButton>(*this, radio), &QRadioButton::clicked, this,
              [this, area] { OnStateClicked(area); });
    }
  }
}

void CViewPage::DoDataExchange(DataExchange& exchange) {
  COptionsPage::DoDataExchange(exchange);
  StatePair(exchange, ids::kMoviesHighlighted, ids::kMoviesNormal, moviesState_);
  StatePair(exchange, ids::kChoicesHighlighted, ids::kChoicesNormal, choicesState_);
}

void CViewPage::OnFirstShow() {
  ShowValues();
  for (Area area : kAllAreas) UpdatePreview(area);
}

std::int32_t CViewPage::StateOf(Area area) const {
  switch (area) {
    case Area::Movies:
      return moviesState_;
    case Area::Choices:
      return choicesState_;
    case Area::Label:
      break;
  }
  return kHighlighted;
}

QLabel* CViewPage::Preview(Area area) const {
  return FindControlAs<QLabel>(*this, ControlsOf(area).preview);
}

ColorRef& CViewPage::Foreground(Area area) {
  const AreaControls& controls = ControlsOf(area);
  return values_.Theme.*(StateOf(area) == kHighlighted ? controls.highFg : controls.fg);
}

ColorRef& CViewPage::Background(Area area) {
  const AreaControls& controls = ControlsOf(area);
  return values_.Theme.*(StateOf(area) == kHighlighted ? controls.highBg : controls.bg);
}

int CViewPage::ScreenHeight() const {
  // The full-screen window covers the screen the page is shown on.
  const QScreen* on = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return on != nullptr ? on->geometry().height() : 0;
}

void CViewPage::UpdatePreview(Area area) {
  QLabel* preview = Preview(area);
  QPalette palette = preview->palette();
  palette.setColor(QPalette::WindowText, ToQColor(Foreground(area)));
  palette.setColor(QPalette::Window, ToQColor(Background(area)));
  preview->setPalette(palette);
  preview->setAutoFillBackground(true);
  const FontDescription& font = values_.Theme.*ControlsOf(area).fontValue;
  const int screenHeight = ScreenHeight();
  preview->setFont(ToQFont(font, screenHeight));
  if (area != Area::Label) {
    const int textHeight = screen::DrawnFontHeight(font.height, screenHeight);
    const int row = screen::RowHeight(screen::ListTextHeight(textHeight, textHeight),
                                      screen::RowPadding(font.height, screenHeight));
    const int room = previewRoom_[static_cast<int>(area)];
    preview->resize(preview->width(), std::clamp(row, 1, std::max(1, room)));
  }
  preview->update();
}

void CViewPage::ChooseForeground(Area area) {
  QColorDialog chooser(ToQColor(Foreground(area)), this);
  if (chooser.exec() != QDialog::Accepted) return;
  Foreground(area) = ToColorRef(chooser.selectedColor());
  UpdatePreview(area);
}

void CViewPage::ChooseBackground(Area area) {
  QColorDialog chooser(ToQColor(Background(area)), this);
  if (chooser.exec() != QDialog::Accepted) return;
  Background(area) = ToColorRef(chooser.selectedColor());
  UpdatePreview(area);
}

void CViewPage::ChooseFont(Area area) {
  FontDescription& font = values_.Theme.*ControlsOf(area).fontValue;
  // Screen fonts are all the fonts Qt offers; a font of the theme is drawn on a screen.
  QFontDialog chooser(ToQFont(font, ScreenHeight()), this);
  if (chooser.exec() != QDialog::Accepted) return;
  font = ToFontDescription(chooser.selectedFont());
  UpdatePreview(area);
}

void CViewPage::OnStateClicked(Area area) {
  ReadControls();
  UpdatePreview(area);
}

}  // namespace quorvel
