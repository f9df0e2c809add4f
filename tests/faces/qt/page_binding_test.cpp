// Pages bound by tables: a page of the kind the later pages are (a list of player names
// with a kind of its own, a command edit, a theme colour and the player list changed by
// handlers) stored beside the General page on one settings record.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "faces/qt/desktop/general_page.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "platform/fake/fake_services.h"
#include "resources/resource_ids.h"
#include "support/counting_registry.h"

namespace quorvel {
namespace {

namespace disks = res::disks;

// A list of player names: reading gives the selected name, or the empty text; showing a
// value changes nothing, the page selects the entry itself.
void PlayerNameList(DataExchange& exchange, int id, std::string& name) {
  auto* list = qobject_cast<QComboBox*>(exchange.Control(id));
  if (list == nullptr || !exchange.reading()) return;
  name = list->currentIndex() < 0 ? std::string() : FromQString(list->currentText());
}

const FieldBinding kDiskBindings[] = {
    {disks::kDivXPlayer, &Settings::DivXPlayer, PlayerNameList},
    {disks::kDivXCommand, &Settings::DivXCommandLine, bind::Text},
    {disks::kMpegCommand, &Settings::MpegCommandLine, bind::Text},
    {res::kNoId, Member(&Settings::Theme, &Theme::LabelFg), bind::HandlersOnly},
    {res::kNoId, &Settings::Players, bind::HandlersOnly},
};

class BoundTestPage final : public COptionsPage {
 public:
  BoundTestPage(Settings& settings, const Services& services)
      : COptionsPage(res::kDisksPage, settings, services, kDiskBindings) {}

  // What a colour button and the Add button do to the working copy.
  void ChooseLabelColour(ColorRef colour) { values_.Theme.LabelFg = colour; }
  void AddPlayer(const PlayerRecord& player) { values_.Players.push_back(player); }
  // A field the page does not bind; a careless store would copy it too.
  Settings& UnboundValues() { return values_; }

 protected:
  void OnFirstShow() override {
    ShowValues();
    auto* list = FindControlAs<QComboBox>(*this, disks::kDivXPlayer);
    for (const PlayerRecord& player : values_.Players) list->addItem(ToQString(player.Name));
    list->setCurrentIndex(-1);
  }
};

TEST(PageBindingTest, EachPageStoresItsBoundFieldsAndNothingElse) {
  testing::CountingRegistry registry;
  Settings settings;
  ASSERT_TRUE(settings.Load(registry));  // as the program starts
  settings.DivXPlayer = "BSPlayer";
  settings.DivXCommandLine = "-fs \"%f\" caf\xe9";  // Windows-1252, as stored on Windows
  settings.MpegCommandLine = "%f";
  settings.Players = {{"BSPlayer", "/opt/bsplayer", "%f", PlaylistType::BslPlaylist},
                      {"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist}};
  const ColorRef oldColour = settings.Theme.LabelFg;
  FakeServices fake;
  const Services services{fake.files, fake.volumes,  fake.processes,    fake.system,
                          registry,   fake.messages, fake.privateFiles, fake.diskEvents};

  CGeneralPage general(settings, services);
  BoundTestPage disks(settings, services);
  general.show();
  disks.show();
  auto* players = FindControlAs<QComboBox>(disks, disks::kDivXPlayer);
  ASSERT_EQ(players->count(), 2);

  FindControlAs<QCheckBox>(general, res::general::kAutoplay)->setChecked(true);
  players->setCurrentIndex(1);
  FindControlAs<QLineEdit>(disks, disks::kMpegCommand)->setText("--fs %f");
  disks.ChooseLabelColour(Rgb(1, 2, 3));
  disks.AddPlayer({"vlc", "/usr/bin/vlc", "%f", PlaylistType::NoPlaylist});
  disks.UnboundValues().Autoplay = 0;
  disks.UnboundValues().SvcdPlayer = "changed";
  ASSERT_TRUE(general.ReadControls());
  ASSERT_TRUE(disks.ReadControls());
  disks.ShowValues();
  EXPECT_EQ(players->currentIndex(), 1);       // showing values leaves the choice alone
  EXPECT_EQ(settings.DivXPlayer, "BSPlayer");  // nothing reaches the settings before OK

  general.Store();
  disks.Store();
  EXPECT_EQ(registry.saves, 2);
  EXPECT_EQ(settings.Autoplay, 1);  // the General page's value, not the other copy's
  EXPECT_EQ(settings.SvcdPlayer, "");
  EXPECT_EQ(settings.DivXPlayer, "mpv");
  EXPECT_EQ(settings.DivXCommandLine, "-fs \"%f\" caf\xe9");  // not edited: same bytes
  EXPECT_EQ(settings.MpegCommandLine, "--fs %f");
  EXPECT_NE(settings.Theme.LabelFg, oldColour);
  EXPECT_EQ(settings.Theme.LabelFg, Rgb(1, 2, 3));
  ASSERT_EQ(settings.Players.size(), 3u);
  EXPECT_EQ(settings.Players.back().Name, "vlc");

  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(registry));
  EXPECT_EQ(reloaded.Autoplay, 1);
  EXPECT_EQ(reloaded.DivXPlayer, "mpv");
  EXPECT_EQ(reloaded.DivXCommandLine, "-fs \"%f\" caf\xe9");
  EXPECT_EQ(reloaded.Theme.LabelFg, Rgb(1, 2, 3));
  EXPECT_EQ(reloaded.Players.size(), 3u);
  EXPECT_TRUE(fake.messages.messages.empty());
}

}  // namespace
}  // namespace quorvel
