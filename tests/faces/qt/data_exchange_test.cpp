// The rules' data exchange on real controls, through the Qt face's control values: each
// binding in both directions, stored bytes that are not UTF-8, and the stop after a
// refused number.

#include "rules/desk/data_exchange.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "faces/qt/desktop/qt_control_values.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "platform/fake/recording_messages.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {
namespace {

using desk::DataExchange;
using Direction = DataExchange::Direction;
namespace info = res::player_info;

TEST(DataExchangeTest, BindsEachKindBothWays) {
  QWidget dialog;
  BuildDialog(dialog, *res::FindDialogTemplate(res::kPlayerInfoDialog));
  auto* playlist = FindControlAs<QComboBox>(dialog, info::kPlaylist);
  playlist->addItems({"None", "BSPlayer", "ASX"});
  RecordingMessages messages;
  QtControlValues controls(dialog);

  // Bytes that are not UTF-8 are shown as Windows-1252 and, unchanged, kept as they are.
  std::string name = "Caf\xe9 \x80";
  std::string path = "/usr/bin/mpv";
  std::int32_t index = 2;
  DataExchange(controls, Direction::ShowValues, messages)
      .Text(info::kName, name)
      .Text(info::kAppPath, path)
      .DropDownList(info::kPlaylist, index);
  EXPECT_EQ(FindControlAs<QLineEdit>(dialog, info::kName)->text(), QString::fromUtf8("Café €"));
  EXPECT_EQ(playlist->currentIndex(), 2);

  FindControlAs<QLineEdit>(dialog, info::kAppPath)->setText(QString::fromUtf8("/opt/ä"));
  playlist->setCurrentIndex(-1);
  DataExchange read(controls, Direction::ReadControls, messages);
  read.Text(info::kName, name).Text(info::kAppPath, path).DropDownList(info::kPlaylist, index);
  EXPECT_TRUE(read.ok());
  EXPECT_EQ(name, "Caf\xe9 \x80");
  EXPECT_EQ(path, "/opt/\xc3\xa4");  // typed text is stored as UTF-8
  EXPECT_EQ(index, -1);

  // An index the list does not have selects nothing.
  index = 3;
  DataExchange(controls, Direction::ShowValues, messages).DropDownList(info::kPlaylist, index);
  EXPECT_EQ(playlist->currentIndex(), -1);
  EXPECT_TRUE(messages.messages.empty());
}

TEST(DataExchangeTest, CheckBoxesAndARefusedNumberStopTheRead) {
  QWidget page;
  BuildDialog(page, *res::FindDialogTemplate(res::kGeneralPage));
  namespace g = res::general;
  RecordingMessages messages;
  QtControlValues controls(page);
  std::int32_t shutdown = 5, autoplay = 1;
  std::uint32_t megabytes = 9;
  DataExchange(controls, Direction::ShowValues, messages)
      .CheckBox(g::kShutdown, shutdown)
      .CheckBox(g::kAutoplay, autoplay)
      .Unsigned(g::kMinFileSize, megabytes);
  EXPECT_TRUE(FindControlAs<QCheckBox>(page, g::kShutdown)->isChecked());
  EXPECT_EQ(FindControlAs<QLineEdit>(page, g::kMinFileSize)->text(), "9");

  FindControlAs<QLineEdit>(page, g::kMinFileSize)->setText("nine");
  FindControlAs<QCheckBox>(page, g::kAutoplay)->setChecked(false);
  DataExchange read(controls, Direction::ReadControls, messages);
  read.CheckBox(g::kShutdown, shutdown)
      .Unsigned(g::kMinFileSize, megabytes)
      .CheckBox(g::kAutoplay, autoplay);
  EXPECT_FALSE(read.ok());
  EXPECT_EQ(shutdown, 1);    // read before the refusal, as 0 or 1
  EXPECT_EQ(megabytes, 9u);  // refused: unchanged
  EXPECT_EQ(autoplay, 1);    // after the refusal: not read
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "Please enter a whole number from 0 to 4294967295.");
}

TEST(GuiTextTest, Utf8AsUtf8AndAnythingElseAsWindows1252) {
  EXPECT_EQ(ToQString("plain"), "plain");
  EXPECT_EQ(ToQString("\xc3\xa9t\xc3\xa9"), QString::fromUtf8("été"));
  EXPECT_EQ(ToQString("\xe9t\xe9"), QString::fromUtf8("été"));
  EXPECT_EQ(ToQString("\x93quoted\x94 \x81"), QString::fromUtf8("“quoted” \u0081"));
  EXPECT_EQ(ToQString(std::string_view("a\0b", 3)), QString::fromUtf8("a\0b", 3));
  EXPECT_EQ(FromQString(QString::fromUtf8("été")), "\xc3\xa9t\xc3\xa9");
}

}  // namespace
}  // namespace quorvel
