// The options sheet and its General page on recording views: the pages in their order,
// what OK stores, the page that refuses its text and cannot be left, the General page's
// offered start modes, enabling rule and the switches its confirmation makes.

#include "rules/desk/options_sheet_rules.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "rules/desk/codecs_page_rules.h"
#include "rules/desk/desk_fixture.h"
#include "rules/desk/disks_page_rules.h"
#include "rules/desk/general_page_rules.h"
#include "rules/desk/players_page_rules.h"
#include "rules/desk/view_page_rules.h"

namespace quorvel {
namespace {

namespace ids = res::general;
using testing::RecordingPage;

constexpr std::int32_t kShell = 3;

// The five pages' rules over recording views, and the sheet over them, as a face builds
// them: one page of each kind, in the order of kSheetPages.
struct Sheet : testing::DeskFixture {
  RecordingPage general;
  testing::RecordingViewPage view;
  RecordingPage disks;
  testing::RecordingPlayersPage players{messages};
  RecordingPage codecs;
  testing::RecordingSheet sheetView;
  std::vector<std::unique_ptr<desk::PageRules>> pages;
  std::unique_ptr<desk::OptionsSheetRules> sheet;

  desk::OptionsSheetRules& Open() {
    pages.clear();
    general.controls = {};
    for (desk::PageKind kind : desk::kSheetPages) pages.push_back(Make(kind));
    std::vector<desk::PageRules*> rules;
    for (const auto& page : pages) rules.push_back(page.get());
    sheet = std::make_unique<desk::OptionsSheetRules>(sheetView, rules);
    pages[0]->OnShow();  // the sheet opens on its first page
    return *sheet;
  }
  // The user clicks tab `index`: refused, or shown.
  bool Click(int index) {
    if (!sheet->MayLeavePage(index)) return false;
    sheet->OnPageChanged(index);
    pages[static_cast<std::size_t>(index)]->OnShow();
    return true;
  }
  desk::GeneralPageRules& General() { return static_cast<desk::GeneralPageRules&>(*pages[0]); }
  testing::RecordingControls::Control& Control(int id) { return general.controls[id]; }

 private:
  std::unique_ptr<desk::PageRules> Make(desk::PageKind kind) {
    switch (kind) {
      case desk::PageKind::General:
        return std::make_unique<desk::GeneralPageRules>(settings, View(), general);
      case desk::PageKind::View:
        return std::make_unique<desk::ViewPageRules>(settings, View(), view, view);
      case desk::PageKind::Disks:
        return std::make_unique<desk::DisksPageRules>(settings, View(), disks);
      case desk::PageKind::Players:
        return std::make_unique<desk::PlayersPageRules>(settings, View(), players, players);
      case desk::PageKind::Codecs:
        return std::make_unique<desk::CodecsPageRules>(settings, View(), codecs);
    }
    return nullptr;
  }
};

TEST(OptionsSheetRulesTest, TheFivePagesInOrderAndOkStoresTheShownOnesOnly) {
  Sheet f;
  EXPECT_EQ(desk::OptionsSheetRules::Caption(), "Quorvel Options");
  desk::OptionsSheetRules& sheet = f.Open();
  const int templates[] = {res::kGeneralPage, res::kViewPage, res::kDisksPage, res::kPlayersPage,
                           res::kCodecsPage};
  ASSERT_EQ(sheet.Pages().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(sheet.Pages()[i]->TemplateId(), templates[i]);
  EXPECT_EQ(sheet.CurrentPage(), 0);

  // Changes on General and Codecs; Codecs is shown, View never is.
  f.Control(ids::kAutoplay).checked = true;
  ASSERT_TRUE(f.Click(4));
  f.codecs.controls[res::codecs::kXviD].checked = true;
  f.settings.Theme.LabelFg = Rgb(9, 9, 9);  // as if another program stored a theme meanwhile
  ASSERT_TRUE(sheet.OnOk());
  EXPECT_EQ(f.registry.saves, 2);
  EXPECT_EQ(f.settings.Autoplay, 1);
  EXPECT_EQ(f.settings.FfdshowXvid, 1);
  EXPECT_EQ(f.settings.Theme.LabelFg, Rgb(9, 9, 9));  // View was not shown: not stored
  EXPECT_TRUE(f.sheetView.returns.empty());
}

TEST(OptionsSheetRulesTest, APageThatRefusesItsTextIsNotLeftAndOkKeepsTheSheetOpen) {
  Sheet f;
  f.settings.MinFileSize = 5;
  desk::OptionsSheetRules& sheet = f.Open();
  f.Control(ids::kMinFileSize).text = "12x";
  // A click is refused before the tab changes; a change the face could not ask about
  // first (by keys) is undone.
  EXPECT_FALSE(f.Click(3));
  EXPECT_FALSE(f.pages[3]->WasShown());
  sheet.OnPageChanged(4);
  EXPECT_EQ(f.sheetView.returns, std::vector<int>{0});
  EXPECT_EQ(sheet.CurrentPage(), 0);
  EXPECT_FALSE(sheet.OnOk());
  EXPECT_EQ(f.messages.shown.size(), 3u);
  EXPECT_EQ(f.general.controls.refused,
            (std::vector<int>{ids::kMinFileSize, ids::kMinFileSize, ids::kMinFileSize}));
  EXPECT_EQ(f.registry.saves, 0);
  EXPECT_EQ(f.settings.MinFileSize, 5u);

  // The same tab again needs no reading.
  EXPECT_TRUE(sheet.MayLeavePage(0));
  EXPECT_EQ(f.messages.shown.size(), 3u);

  f.Control(ids::kMinFileSize).text = " 650 ";
  ASSERT_TRUE(f.Click(3));
  EXPECT_EQ(sheet.CurrentPage(), 3);
  EXPECT_TRUE(f.pages[3]->WasShown());
  ASSERT_TRUE(sheet.OnOk());
  EXPECT_EQ(f.settings.MinFileSize, 650u);
  EXPECT_EQ(f.registry.saves, 2);  // General and Players
}

TEST(GeneralPageRulesTest, StartModesOfferedAndTheEnablingRule) {
  Sheet f;
  f.settings.FullScreen = 2;
  f.settings.ReadMDVD = 1;
  f.settings.MDVDPlay = 1;
  f.settings.SubMDVD = 1;
  f.settings.SubMDVDAdj = 1;
  f.Open();
  // Without the NT family and without a session entry: three modes, no autorun switch.
  EXPECT_EQ(f.Control(ids::kStartAs).items,
            (std::vector<std::string>{"configuration dialog", "full screen window",
                                      "icon in taskbar's status area"}));
  EXPECT_EQ(f.Control(ids::kStartAs).index, 2);
  EXPECT_FALSE(f.Control(ids::kDisableAutorun).enabled);
  EXPECT_EQ(f.general.tooltipsEnabled, 1);
  EXPECT_EQ(f.General().Tooltip(ids::kShutdown), res::LoadString(res::kStrShutdownTooltip));
  EXPECT_EQ(f.General().Tooltip(ids::kAutoplay), std::nullopt);
  EXPECT_TRUE(f.Control(ids::kMdvdPlay).enabled);
  EXPECT_TRUE(f.Control(ids::kShutdown).enabled);

  // Clearing "read Micro DVD file" clears and disables the player box and clears the
  // sub-title boxes; checking it again enables the box, still cleared.
  f.Control(ids::kReadMdvd).checked = false;
  f.General().OnReadMdvdClicked();
  EXPECT_FALSE(f.Control(ids::kMdvdPlay).enabled);
  EXPECT_FALSE(f.Control(ids::kMdvdPlay).checked || f.Control(ids::kSubMdvd).checked ||
               f.Control(ids::kSubMdvdAdjusted).checked);
  f.Control(ids::kReadMdvd).checked = true;
  f.General().OnReadMdvdClicked();
  EXPECT_TRUE(f.Control(ids::kMdvdPlay).enabled);
  EXPECT_FALSE(f.Control(ids::kMdvdPlay).checked);

  // A refused megabytes text is reported, and the rule goes on with what was read.
  f.Control(ids::kMinFileSize).text = "many";
  f.Control(ids::kReadMdvd).checked = false;
  f.General().OnReadMdvdClicked();
  EXPECT_EQ(f.messages.shown.size(), 1u);
  EXPECT_FALSE(f.Control(ids::kMdvdPlay).enabled);
  EXPECT_EQ(f.settings.MDVDPlay, 1);  // nothing stored before OK

  // With the NT family: "system shell" is offered; chosen, it checks and disables
  // shutdown; another mode enables it again and leaves it checked.
  f.fake.system.windowsNT = true;
  f.Open();
  ASSERT_EQ(f.Control(ids::kStartAs).items.size(), 4u);
  EXPECT_EQ(f.Control(ids::kStartAs).items[3], "system shell");
  EXPECT_TRUE(f.Control(ids::kDisableAutorun).enabled);
  f.Control(ids::kStartAs).index = kShell;
  f.General().OnStartAsChosen();
  EXPECT_TRUE(f.Control(ids::kShutdown).checked);
  EXPECT_FALSE(f.Control(ids::kShutdown).enabled);
  f.Control(ids::kStartAs).index = 1;
  f.General().OnStartAsChosen();
  EXPECT_TRUE(f.Control(ids::kShutdown).checked);
  EXPECT_TRUE(f.Control(ids::kShutdown).enabled);

  // Opened in the system-shell mode: the rule runs at first show.
  f.settings.FullScreen = kShell;
  f.Open();
  EXPECT_EQ(f.Control(ids::kStartAs).index, kShell);
  EXPECT_TRUE(f.Control(ids::kShutdown).checked);
  EXPECT_FALSE(f.Control(ids::kShutdown).enabled);
}

TEST(GeneralPageRulesTest, OkSwitchesTheShellAndAutorunByTheConfirmedChangeOnly) {
  Sheet f;
  f.fake.system.windowsNT = true;
  f.settings.FullScreen = kShell;
  f.settings.DisableAutorun = 0;
  // Unchanged: neither switch.
  ASSERT_TRUE(f.Open().OnOk());
  EXPECT_TRUE(f.fake.system.shellCalls.empty());
  EXPECT_TRUE(f.fake.system.autorunCalls.empty());

  // Away from the shell, autorun checked: the standard shell back, autorun off.
  f.Open();
  f.Control(ids::kStartAs).index = 1;
  f.General().OnStartAsChosen();
  f.Control(ids::kDisableAutorun).checked = true;
  ASSERT_TRUE(f.sheet->OnOk());
  EXPECT_EQ(f.fake.system.shellCalls, std::vector<bool>{false});
  EXPECT_EQ(f.fake.system.autorunCalls, std::vector<std::uint32_t>{0});

  // Into the shell, autorun cleared: the shell entry, autorun not switched back on.
  f.Open();
  f.Control(ids::kStartAs).index = kShell;
  f.General().OnStartAsChosen();
  f.Control(ids::kDisableAutorun).checked = false;
  ASSERT_TRUE(f.sheet->OnOk());
  EXPECT_EQ(f.fake.system.shellCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(f.fake.system.autorunCalls.size(), 1u);
  EXPECT_EQ(f.settings.FullScreen, kShell);
  EXPECT_EQ(f.settings.Shutdown, 1);
  EXPECT_TRUE(f.messages.shown.empty());
}

TEST(GeneralPageRulesTest, ASessionPickedAtLoginIsExplainedOnceWhenChosen) {
  Sheet f;
  f.fake.system.shellEntry = SystemService::ShellEntry::LoginSession;
  f.Open();
  ASSERT_EQ(f.Control(ids::kStartAs).items.size(), 4u);
  EXPECT_FALSE(f.Control(ids::kDisableAutorun).enabled);
  f.Control(ids::kStartAs).index = kShell;
  ASSERT_TRUE(f.sheet->OnOk());
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].text, res::LoadString(res::kStrLoginSessionNote));
  EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Information);
  // Confirmed again unchanged: nothing more to tell.
  ASSERT_TRUE(f.Open().OnOk());
  EXPECT_EQ(f.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace quorvel
