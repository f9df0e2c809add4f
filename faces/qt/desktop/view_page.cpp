#include "faces/qt/desktop/view_page.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_theme.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace {

namespace ids = res::view;

// One area of the page: its controls. The label has no state selector (ids kNoId).
struct AreaControls {
  int preview;
  int foreground;
  int background;
  int font;
  int highlighted;
  int normal;
};

constexpr AreaControls kAreas[] = {
    {ids::kLabelPreview, ids::kLabelFg, ids::kLabelBg, ids::kLabelFont, res::kNoId, res::kNoId},
    {ids::kMoviesPreview, ids::kMoviesFg, ids::kMoviesBg, ids::kMoviesFont, ids::kMoviesHighlighted,
     ids::kMoviesNormal},
    {ids::kChoicesPreview, ids::kChoicesFg, ids::kChoicesBg, ids::kChoicesFont,
     ids::kChoicesHighlighted, ids::kChoicesNormal},
};

const AreaControls& ControlsOf(CViewPage::Area area) { return kAreas[static_cast<int>(area)]; }

}  // namespace

CViewPage::CViewPage(Settings& settings, const Services& services)
    : COptionsPage(res::kViewPage), rules_(settings, services, *this, *this) {
  for (Area area : {Area::Movies, Area::Choices}) {
    const AreaControls& controls = ControlsOf(area);
    const QWidget* preview = FindControl(*this, controls.preview);
    const QWidget* radio = FindControl(*this, controls.highlighted);
    previewRoom_[static_cast<int>(area)] = radio->geometry().top() - preview->y();
  }
  Attach(rules_);
  ConnectHandlers();
}

// Event table: FG, BG and Font of each area, then the radio pairs of the two lists.
void CViewPage::ConnectHandlers() {
  for (Area area : desk::kThemeAreas) {
    const AreaControls& controls = ControlsOf(area);
    connect(FindControlAs<QPushButton>(*this, controls.foreground), &QPushButton::clicked, this,
            [this, area] { rules_.ChooseForeground(area); });
    connect(FindControlAs<QPushButton>(*this, controls.background), &QPushButton::clicked, this,
            [this, area] { rules_.ChooseBackground(area); });
    connect(FindControlAs<QPushButton>(*this, controls.font), &QPushButton::clicked, this,
            [this, area] { rules_.ChooseFont(area); });
    for (int radio : {controls.highlighted, controls.normal}) {
      if (radio == res::kNoId) continue;
      connect(FindControlAs<QRadioButton>(*this, radio), &QRadioButton::clicked, this,
              [this, area] { rules_.OnStateClicked(area); });
    }
  }
}

QLabel* CViewPage::Preview(Area area) const {
  return FindControlAs<QLabel>(*this, ControlsOf(area).preview);
}

int CViewPage::ScreenHeight() const {
  // The full-screen window covers the screen the page is shown on.
  const QScreen* on = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return on != nullptr ? on->geometry().height() : 0;
}

int CViewPage::PreviewRoom(Area area) const { return previewRoom_[static_cast<int>(area)]; }

void CViewPage::ShowPreview(Area area, ColorRef text, ColorRef background,
                            const FontDescription& font, int height) {
  QLabel* preview = Preview(area);
  QPalette palette = preview->palette();
  palette.setColor(QPalette::WindowText, ToQColor(text));
  palette.setColor(QPalette::Window, ToQColor(background));
  preview->setPalette(palette);
  preview->setAutoFillBackground(true);
  preview->setFont(ToQFont(font, ScreenHeight()));
  if (height >= 0) preview->resize(preview->width(), height);
  preview->update();
}

std::optional<ColorRef> CViewPage::ChooseColor(ColorRef initial) {
  QColorDialog chooser(ToQColor(initial), this);
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return ToColorRef(chooser.selectedColor());
}

std::optional<FontDescription> CViewPage::ChooseFont(const FontDescription& initial) {
  // Screen fonts are all the fonts Qt offers; a font of the theme is drawn on a screen.
  QFontDialog chooser(ToQFont(initial, ScreenHeight()), this);
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return ToFontDescription(chooser.selectedFont());
}

}  // namespace quorvel
