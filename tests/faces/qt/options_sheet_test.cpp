// The options sheet and its General page, driven as a user drives them: first show, the
// enabling rule, OK and Cancel, the megabytes check, tooltips, and what reaches the
// system and the store.

#include "faces/qt/desktop/options_sheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "app/settings.h"
#include "faces/qt/desktop/general_page.h"
#include "faces/qt/resources/dialog_builder.h"
#include "platform/fake/fake_services.h"
#include "platform/fake/recording_messages.h"
#include "platform/fake/recording_system.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "support/counting_registry.h"

namespace quorvel {
namespace {

namespace ids = res::general;
using testing::CountingRegistry;

constexpr std::int32_t kShell = 3;

class OptionsSheetTest : public ::testing::Test {
 protected:
  // Opens the sheet as RunOptionsSheet does, without blocking the test.
  COptionsSheet& Open() {
    sheet_ = std::make_unique<COptionsSheet>(nullptr, settings_, services_);
    sheet_->show();
    QApplication::setActiveWindow(sheet_.get());
    return *sheet_;
  }
  // Closes the sheet and opens a new one on the same settings.
  COptionsSheet& Reopen() {
    sheet_.reset();
    return Open();
  }

  template <typename T>
  T* Control(int id) {
    return FindControlAs<T>(*sheet_->Pages()[0], id);
  }
  QCheckBox* Box(int id) { return Control<QCheckBox>(id); }
  QComboBox* StartAs() { return Control<QComboBox>(ids::kStartAs); }
  QLineEdit* Megabytes() { return Control<QLineEdit>(ids::kMinFileSize); }

  // Chooses a "Start as" item with the keyboard, as a user does.
  void ChooseStartAs(int index) {
    QComboBox* list = StartAs();
    list->setFocus();
    while (list->currentIndex() < index) QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex() > index) QTest::keyClick(list, Qt::Key_Up);
  }
  // Clicks a check box on its indicator, where a click always lands on the box.
  void ClickBox(int id) {
    QCheckBox* box = Box(id);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
  }
  void ClickTab(int index) {
    QTabBar* bar = sheet_->Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }

  Settings settings_;
  CountingRegistry registry_;
  RecordingSystem system_;
  RecordingMessages messages_;
  FakeServices fake_;
  // The fakes, with the saves of the record counted.
  Services services_{fake_.files, fake_.volumes, fake_.processes,    system_,
                     registry_,   messages_,     fake_.privateFiles, fake_.diskEvents};
  std::unique_ptr<COptionsSheet> sheet_;
};

TEST_F(OptionsSheetTest, OpensOnGeneralWithFiveTabsAndTheStoredValues) {
  settings_.FullScreen = 2;
  settings_.Shutdown = 1;
  settings_.ReadConf = 0;
  settings_.MinFileSize = 700;
  COptionsSheet& sheet = Open();
  EXPECT_EQ(sheet.windowTitle(), "Quorvel Options");
  ASSERT_EQ(sheet.Tabs()->count(), 5);
  const char* tabs[] = {"General", "View", "Disks", "Players", "Codecs"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(sheet.Tabs()->tabText(i), tabs[i]);
  EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);

  EXPECT_EQ(StartAs()->currentIndex(), 2);
  EXPECT_TRUE(Box(ids::kShutdown)->isChecked());
  EXPECT_FALSE(Box(ids::kReadConf)->isChecked());
  EXPECT_EQ(Megabytes()->text(), "700");
  // Defaults: the two sub-title boxes show their values but are never enabled.
  EXPECT_TRUE(Box(ids::kSubMdvdAdjusted)->isChecked());
  EXPECT_FALSE(Box(ids::kSubMdvd)->isEnabled());
  EXPECT_FALSE(Box(ids::kSubMdvdAdjusted)->isEnabled());

  // Without the NT family: three start modes, and no autorun switch to offer.
  ASSERT_EQ(StartAs()->count(), 3);
  EXPECT_EQ(StartAs()->itemText(0), "configuration dialog");
  EXPECT_EQ(StartAs()->itemText(1), "full screen window");
  EXPECT_EQ(StartAs()->itemText(2), "icon in taskbar's status area");
  EXPECT_FALSE(Box(ids::kDisableAutorun)->isEnabled());

  system_.windowsNT = true;
  settings_.FullScreen = kShell;
  Reopen();
  ASSERT_EQ(StartAs()->count(), 4);
  EXPECT_EQ(StartAs()->itemText(3), "system shell");
  EXPECT_EQ(StartAs()->currentIndex(), kShell);
  EXPECT_TRUE(Box(ids::kDisableAutorun)->isEnabled());
  // The rule ran at first show: the system shell always shuts down.
  EXPECT_TRUE(Box(ids::kShutdown)->isChecked());
  EXPECT_FALSE(Box(ids::kShutdown)->isEnabled());
}

TEST_F(OptionsSheetTest, EnablingRule) {
  system_.windowsNT = true;
  settings_.FullScreen = 1;
  settings_.ReadMDVD = 1;
  settings_.MDVDPlay = 1;
  settings_.SubMDVD = 1;
  settings_.SubMDVDAdj = 1;
  Open();
  EXPECT_TRUE(Box(ids::kShutdown)->isEnabled());
  EXPECT_FALSE(Box(ids::kShutdown)->isChecked());

  // "system shell" checks and disables shutdown; leaving it enables and keeps the check.
  ChooseStartAs(kShell);
  EXPECT_TRUE(Box(ids::kShutdown)->isChecked());
  EXPECT_FALSE(Box(ids::kShutdown)->isEnabled());
  ChooseStartAs(1);
  EXPECT_TRUE(Box(ids::kShutdown)->isEnabled());
  EXPECT_TRUE(Box(ids::kShutdown)->isChecked());

  // Clearing "read Micro DVD file" clears and disables the Micro DVD Player box and
  // clears the two sub-title boxes; checking it again enables the box, still cleared.
  EXPECT_TRUE(Box(ids::kMdvdPlay)->isEnabled());
  ClickBox(ids::kReadMdvd);
  EXPECT_FALSE(Box(ids::kReadMdvd)->isChecked());
  EXPECT_FALSE(Box(ids::kMdvdPlay)->isChecked());
  EXPECT_FALSE(Box(ids::kMdvdPlay)->isEnabled());
  EXPECT_FALSE(Box(ids::kSubMdvd)->isChecked());
  EXPECT_FALSE(Box(ids::kSubMdvdAdjusted)->isChecked());
  ClickBox(ids::kReadMdvd);
  EXPECT_TRUE(Box(ids::kMdvdPlay)->isEnabled());
  EXPECT_FALSE(Box(ids::kMdvdPlay)->isChecked());
  EXPECT_FALSE(Box(ids::kSubMdvd)->isEnabled());

  // Settings stay untouched until OK.
  EXPECT_EQ(settings_.MDVDPlay, 1);
  EXPECT_EQ(settings_.FullScreen, 1);
}

TEST_F(OptionsSheetTest, OkStoresShownPagesAndCancelStoresNothing) {
  system_.windowsNT = true;
  Open();
  ChooseStartAs(2);
  ClickBox(ids::kAutoplay);
  Megabytes()->setText("650");
  QTest::mouseClick(sheet_->CancelButton(), Qt::LeftButton);
  EXPECT_EQ(sheet_->result(), QDialog::Rejected);
  EXPECT_EQ(settings_.FullScreen, 0);
  EXPECT_EQ(settings_.Autoplay, 0);
  EXPECT_EQ(registry_.saves, 0);

  Reopen();
  ChooseStartAs(2);
  ClickBox(ids::kAutoplay);
  Megabytes()->setText("650");
  ClickTab(2);
  ASSERT_EQ(sheet_->Tabs()->currentIndex(), 2);
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  EXPECT_EQ(sheet_->result(), QDialog::Accepted);
  EXPECT_FALSE(sheet_->isVisible());
  EXPECT_EQ(settings_.FullScreen, 2);
  EXPECT_EQ(settings_.Autoplay, 1);
  EXPECT_EQ(settings_.MinFileSize, 650u);
  // One save by each page that was shown (General, Disks); the store holds the new values.
  EXPECT_EQ(registry_.saves, 2);
  Settings reloaded;
  ASSERT_TRUE(reloaded.Load(registry_));
  EXPECT_EQ(reloaded.FullScreen, 2);
  EXPECT_EQ(reloaded.MinFileSize, 650u);
  // Neither of the start modes involved is the system shell.
  EXPECT_TRUE(system_.shellCalls.empty());
}

TEST_F(OptionsSheetTest, NothingChangedSavesOncePerShownPageAndSwitchesNothing) {
  system_.windowsNT = true;
  settings_.FullScreen = kShell;
  settings_.Shutdown = 1;
  settings_.DisableAutorun = 1;
  Open();
  ClickTab(1);
  ClickTab(0);
  EXPECT_TRUE(sheet_->Pages()[1]->WasShown());
  EXPECT_FALSE(sheet_->Pages()[2]->WasShown());
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  // The General and the View page save once each.
  EXPECT_EQ(registry_.saves, 2);
  EXPECT_TRUE(system_.shellCalls.empty());
  EXPECT_TRUE(system_.autorunCalls.empty());

  // A sheet whose pages were never shown stores nothing at all.
  settings_.Autoplay = 0;
  COptionsSheet unshown(nullptr, settings_, services_);
  unshown.accept();
  EXPECT_EQ(unshown.result(), QDialog::Accepted);
  EXPECT_EQ(registry_.saves, 2);
}

TEST_F(OptionsSheetTest, ShellAndAutorunFollowTheConfirmedChange) {
  system_.windowsNT = true;
  settings_.FullScreen = kShell;
  Open();
  ChooseStartAs(1);
  QTest::mouseClick(sheet_->CancelButton(), Qt::LeftButton);
  EXPECT_TRUE(system_.shellCalls.empty());

  Reopen();
  ChooseStartAs(1);
  ClickBox(ids::kDisableAutorun);
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  EXPECT_EQ(system_.shellCalls, std::vector<bool>{false});  // the standard shell is back
  EXPECT_EQ(system_.autorunCalls, std::vector<std::uint32_t>{0});

  Reopen();
  ChooseStartAs(kShell);
  ClickBox(ids::kDisableAutorun);  // clear it
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  EXPECT_EQ(system_.shellCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(system_.autorunCalls.size(), 1u);  // clearing never turns autorun back on
  EXPECT_EQ(settings_.DisableAutorun, 0);
  EXPECT_EQ(settings_.Shutdown, 1);
}

TEST_F(OptionsSheetTest, LoginSessionIsOfferedAndExplainedButNothingIsWritten) {
  // A system whose whole-session entry is a session picked at login (Linux with the
  // session entry installed): "system shell" is offered, autorun still is not.
  system_.shellEntry = SystemService::ShellEntry::LoginSession;
  Open();
  ASSERT_EQ(StartAs()->count(), 4);
  EXPECT_EQ(StartAs()->itemText(kShell), "system shell");
  EXPECT_FALSE(Box(ids::kDisableAutorun)->isEnabled());

  // Chosen and cancelled: nothing said. Chosen and confirmed: told how to pick the
  // session, once, and the mode is stored.
  ChooseStartAs(kShell);
  QTest::mouseClick(sheet_->CancelButton(), Qt::LeftButton);
  EXPECT_TRUE(messages_.messages.empty());
  Reopen();
  ChooseStartAs(kShell);
  EXPECT_FALSE(Box(ids::kShutdown)->isEnabled());
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_NE(messages_.messages[0].text.find("\"Quorvel\""), std::string::npos);
  EXPECT_EQ(messages_.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(settings_.FullScreen, kShell);

  // Confirmed again unchanged, or left for another mode: nothing more to tell.
  Reopen();
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  Reopen();
  ChooseStartAs(1);
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  EXPECT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(settings_.FullScreen, 1);
}

TEST_F(OptionsSheetTest, MegabytesThatAreNotAWholeNumberKeepTheSheetOpen) {
  settings_.MinFileSize = 5;
  Open();
  for (const char* bad : {"12x", "", "-3", "4294967296", "1.5"}) {
    SCOPED_TRACE(bad);
    messages_.messages.clear();
    Megabytes()->setText(bad);
    QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].text, "Please enter a whole number from 0 to 4294967295.");
    EXPECT_TRUE(sheet_->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Megabytes());
  }
  // Leaving the page is refused too, by mouse and by keyboard.
  ClickTab(3);
  EXPECT_EQ(sheet_->Tabs()->currentIndex(), 0);
  EXPECT_FALSE(sheet_->Pages()[3]->WasShown());
  sheet_->Tabs()->setCurrentIndex(4);
  EXPECT_EQ(sheet_->Tabs()->currentIndex(), 0);
  EXPECT_EQ(messages_.messages.size(), 3u);
  EXPECT_EQ(registry_.saves, 0);
  EXPECT_EQ(settings_.MinFileSize, 5u);

  // The enabling rule reports the text and goes on with the values read before it.
  messages_.messages.clear();
  ClickBox(ids::kReadMdvd);
  EXPECT_EQ(messages_.messages.size(), 1u);
  EXPECT_FALSE(Box(ids::kMdvdPlay)->isEnabled());

  Megabytes()->setText(" 4294967295 ");
  QTest::mouseClick(sheet_->OkButton(), Qt::LeftButton);
  EXPECT_FALSE(sheet_->isVisible());
  EXPECT_EQ(settings_.MinFileSize, 4294967295u);
  EXPECT_EQ(settings_.ReadMDVD, 0);
}

TEST_F(OptionsSheetTest, OnlyShutdownHasATooltip) {
  Open();
  // Hovering sends the control a tooltip request; the answer is a tooltip or none.
  const auto hover = [](QWidget* control) {
    const QPoint pos = control->rect().center();
    QHelpEvent event(QEvent::ToolTip, pos, control->mapToGlobal(pos));
    QApplication::sendEvent(control, &event);
  };
  for (int id : {ids::kStartAs, ids::kDisableAutorun, ids::kCloseLaunchers, ids::kAutoplay,
                 ids::kReadConf, ids::kReadMdvd, ids::kMdvdPlay, ids::kMinFileSize}) {
    hover(FindControl(*sheet_->Pages()[0], id));
    EXPECT_FALSE(QToolTip::isVisible()) << id;
  }
  hover(Box(ids::kShutdown));
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), "shutdown Windows when Off button is pressed in full screen mode");
}

}  // namespace
}  // namespace quorvel
