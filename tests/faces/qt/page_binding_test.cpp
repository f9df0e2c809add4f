// Pages bound by tables, on one settings record: the General page and the Disks page
// (a list of player names with a kind of its own, command edits), each storing its bound
// fields and nothing else, with stored bytes kept where the user changed nothing.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "faces/qt/desktop/disks_page.h"
#include "faces/qt/desktop/general_page.h"
#include "faces/qt/resources/dialog_builder.h"
#include "platform/fake/fake_services.h"
#include "resources/resource_ids.h"
#include "support/counting_registry.h"

namespace quorvel {
namespace {

namespace disks = res::disks;

TEST(PageBindingTest, EachPageStoresItsBoundFieldsAndNothingElse) {
  testing::CountingRegistry registry;
  Settings settings;
  ASSERT_TRUE(settings.Load(registry));  // as the program starts
  settings.DivXPlayer = "BSPlayer";
  settings.DivXCommandLine = "-fs \"%f\" caf\xe9";  // Windows-1252, as stored on Windows
  settings.MpegCommandLine = "%f";
  settings.Players = {{"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist},
                      {"BSPlayer", "/opt/bsplayer", "%f", PlaylistType::BslPlaylist}};
  const Theme theme = settings.Theme;
  const PlayerList players = settings.Players;
  FakeServices fake;
  const Services services{fake.files, fake.volumes,  fake.processes,    fake.system,
                          registry,   fake.messages, fake.privateFiles, fake.diskEvents};

  CGeneralPage general(settings, services);
  CDisksPage disksPage(settings, services);
  general.show();
  disksPage.show();
  auto* divx = FindControlAs<QComboBox>(disksPage, disks::kDivXPlayer);
  ASSERT_EQ(divx->count(), 2);
  EXPECT_EQ(divx->itemText(0), "BSPlayer");
  EXPECT_EQ(divx->currentIndex(), 0);

  FindControlAs<QCheckBox>(general, res::general::kAutoplay)->setChecked(true);
  divx->setCurrentIndex(1);
  FindControlAs<QLineEdit>(disksPage, disks::kMpegCommand)->setText("--fs %f");
  ASSERT_TRUE(general.ReadControls());
  ASSERT_TRUE(disksPage.ReadControls());
  disksPage.ShowValues();
  EXPECT_EQ(divx->currentIndex(), 1);          // showing values leaves the choice alone
  EXPECT_EQ(settings.DivXPlayer, "BSPlayer");  // nothing reaches the settings before OK

  general.Store();
  // The Disks page's copy still holds Autoplay 0: a careless store would copy it too.
  disksPage.Store();
  EXPECT_EQ(registry.saves, 2);
  EXPECT_EQ(settings.Autoplay, 1);
  EXPECT_EQ(settings.DivXPlayer, "mpv");
  EXPECT_EQ(settings.DivXCommandLine, "-fs \"%f\" caf\xe9");  // not edited: same bytes
  EXPECT_EQ(settings.MpegCommandLine, "--fs %f");
  EXPECT_EQ(settings.Theme, theme);
  EXPECT_EQ(settings.Players, players);

  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(registry));
  EXPECT_EQ(reloaded.Autoplay, 1);
  EXPECT_EQ(reloaded.DivXPlayer, "mpv");
  EXPECT_EQ(reloaded.DivXCommandLine, "-fs \"%f\" caf\xe9");
  EXPECT_EQ(reloaded.MpegCommandLine, "--fs %f");
  EXPECT_TRUE(fake.messages.messages.empty());
}

}  // namespace
}  // namespace quorvel
