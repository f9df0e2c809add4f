// Dialogs built from templates: the About box, and a dialog with bound fields closed by
// OK, Cancel, Enter and Escape.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "faces/qt/desktop/about_dlg.h"
#include "faces/qt/resources/dialog_builder.h"
#include "platform/fake/recording_messages.h"
#include "resources/resource_ids.h"
#include "rules/desk/data_exchange.h"

namespace quorvel {
namespace {

namespace info = res::player_info;

// A dialog over the Player Info template with two bound fields.
class NameDialog final : public CTemplateDialog {
 public:
  NameDialog(UserMessages& messages, std::string& name, std::int32_t& playlist)
      : CTemplateDialog(res::kPlayerInfoDialog, messages), name_(name), playlist_(playlist) {}

 protected:
  void OnInitDialog() override {
    FindControlAs<QComboBox>(*this, info::kPlaylist)->addItems({"None", "BSPlayer", "ASX"});
    Exchange(desk::DataExchange::Direction::ShowValues);
  }
  bool OnOk() override { return Exchange(desk::DataExchange::Direction::ReadControls); }

 private:
  bool Exchange(desk::DataExchange::Direction direction) {
    desk::DataExchange exchange(Values(), direction, messages_);
    exchange.Text(info::kName, name_).DropDownList(info::kPlaylist, playlist_);
    return exchange.ok();
  }

  std::string& name_;
  std::int32_t& playlist_;
};

TEST(TemplateDialogTest, AboutBoxShowsItsTextsAndClosesWithOkOrEscape) {
  RecordingMessages messages;
  CAboutDlg about(messages);
  EXPECT_EQ(about.windowTitle(), "About Quorvel");
  QStringList texts;
  for (QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("Quorvel Version 1.0.36"));
  EXPECT_TRUE(texts.contains("Thanks to:\nIndependent JPEG Group for JPEG library"));

  about.show();
  QTest::mouseClick(FindControlAs<QPushButton>(about, res::kIdOk), Qt::LeftButton);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
  about.show();
  QTest::keyClick(&about, Qt::Key_Escape);
  EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST(TemplateDialogTest, OkAndEnterTakeTheControlsCancelAndEscapeLeaveTheFields) {
  RecordingMessages messages;
  std::string name = "BSPlayer";
  std::int32_t playlist = 1;
  const auto edit = [](QDialog& dialog) { return FindControlAs<QLineEdit>(dialog, info::kName); };

  NameDialog cancelled(messages, name, playlist);
  cancelled.show();
  EXPECT_EQ(edit(cancelled)->text(), "BSPlayer");
  EXPECT_EQ(FindControlAs<QComboBox>(cancelled, info::kPlaylist)->currentIndex(), 1);
  edit(cancelled)->setText("changed");
  QTest::mouseClick(FindControlAs<QPushButton>(cancelled, res::kIdCancel), Qt::LeftButton);
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
  EXPECT_EQ(name, "BSPlayer");

  NameDialog confirmed(messages, name, playlist);
  confirmed.show();
  edit(confirmed)->setText("mpv");
  FindControlAs<QComboBox>(confirmed, info::kPlaylist)->setCurrentIndex(2);
  QTest::mouseClick(FindControlAs<QPushButton>(confirmed, res::kIdOk), Qt::LeftButton);
  EXPECT_EQ(confirmed.result(), QDialog::Accepted);
  EXPECT_EQ(name, "mpv");
  EXPECT_EQ(playlist, 2);

  NameDialog entered(messages, name, playlist);
  entered.show();
  edit(entered)->setFocus();
  edit(entered)->setText("vlc");
  QTest::keyClick(edit(entered), Qt::Key_Return);
  EXPECT_EQ(entered.result(), QDialog::Accepted);
  EXPECT_EQ(name, "vlc");

  NameDialog escaped(messages, name, playlist);
  escaped.show();
  edit(escaped)->setText("other");
  QTest::keyClick(edit(escaped), Qt::Key_Escape);
  EXPECT_EQ(escaped.result(), QDialog::Rejected);
  EXPECT_EQ(name, "vlc");
}

}  // namespace
}  // namespace quorvel
