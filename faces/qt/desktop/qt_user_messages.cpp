#include "faces/qt/desktop/qt_user_messages.h"

#include <QApplication>
#include <QMessageBox>

#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

}  // namespace

MessageAnswer QtUserMessages::Show(std::string_view text, std::string_view caption,
                                   MessageButtons buttons, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon),
                  ToQString(caption.empty() ? res::LoadString(res::kStrProgramName) : caption),
                  ToQString(text), ToQtButtons(buttons), owner_.data());
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      // The close box of a question counts as its safest answer.
      if (buttons == MessageButtons::YesNoCancel) return MessageAnswer::Cancel;
      if (buttons == MessageButtons::YesNo) return MessageAnswer::No;
      return MessageAnswer::Ok;
  }
}

}  // namespace quorvel
