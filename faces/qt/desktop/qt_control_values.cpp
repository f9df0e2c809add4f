#include "faces/qt/desktop/qt_control_values.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"

namespace quorvel {

template <typename T>
T* QtControlValues::Control(int id) const {
  QWidget* control = FindControl(root_, id);
  Q_ASSERT_X(control != nullptr, "QtControlValues", "no control with this id");
  return qobject_cast<T*>(control);
}

bool QtControlValues::Checked(int id) const {
  const auto* button = Control<QAbstractButton>(id);
  return button != nullptr && button->isChecked();
}

void QtControlValues::SetChecked(int id, bool checked) {
  if (auto* button = Control<QAbstractButton>(id)) button->setChecked(checked);
}

std::string QtControlValues::Text(int id) const {
  const auto* edit = Control<QLineEdit>(id);
  return edit != nullptr ? FromQString(edit->text()) : std::string();
}

bool QtControlValues::ShowsText(int id, std::string_view text) const {
  const auto* edit = Control<QLineEdit>(id);
  return edit == nullptr || edit->text() == ToQString(text);
}

void QtControlValues::SetText(int id, std::string_view text) {
  auto* edit = Control<QLineEdit>(id);
  if (edit == nullptr) return;
  edit->setText(ToQString(text));
  // A text longer than the edit shows its beginning.
  edit->setCursorPosition(0);
}

int QtControlValues::ListIndex(int id) const {
  QWidget* control = FindControl(root_, id);
  if (const auto* list = qobject_cast<QComboBox*>(control)) return list->currentIndex();
  if (const auto* list = qobject_cast<QListWidget*>(control)) {
    int first = -1;
    for (const QListWidgetItem* item : list->selectedItems()) {
      const int row = list->row(item);
      if (first < 0 || row < first) first = row;
    }
    return first;
  }
  Q_ASSERT_X(false, "QtControlValues", "no list with this id");
  return -1;
}

void QtControlValues::SetListIndex(int id, int index) {
  QWidget* control = FindControl(root_, id);
  if (auto* list = qobject_cast<QComboBox*>(control)) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
  } else if (auto* box = qobject_cast<QListWidget*>(control)) {
    QListWidgetItem* item = box->item(index);
    if (item == nullptr) {
      box->clearSelection();
      return;
    }
    box->setCurrentItem(item);
    item->setSelected(true);
    box->scrollToItem(item);
  }
}

void QtControlValues::SetListItems(int id, const std::vector<std::string>& items) {
  QWidget* control = FindControl(root_, id);
  if (auto* list = qobject_cast<QComboBox*>(control)) {
    list->clear();
    for (const std::string& item : items) list->addItem(ToQString(item));
  } else if (auto* box = qobject_cast<QListWidget*>(control)) {
    box->clear();
    for (const std::string& item : items) box->addItem(ToQString(item));
    box->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
  }
}

void QtControlValues::InsertListItem(int id, int index, std::string_view text) {
  QWidget* control = FindControl(root_, id);
  if (auto* list = qobject_cast<QComboBox*>(control)) {
    list->insertItem(index, ToQString(text));
  } else if (auto* box = qobject_cast<QListWidget*>(control)) {
    box->insertItem(index, ToQString(text));
  }
}

void QtControlValues::RemoveListItem(int id, int index) {
  QWidget* control = FindControl(root_, id);
  if (auto* list = qobject_cast<QComboBox*>(control)) {
    list->removeItem(index);
  } else if (auto* box = qobject_cast<QListWidget*>(control)) {
    delete box->takeItem(index);
  }
}

void QtControlValues::EnableControl(int id, bool enabled) {
  if (QWidget* control = FindControl(root_, id)) control->setEnabled(enabled);
}

void QtControlValues::FocusRefused(int id) {
  auto* control = FindControl(root_, id);
  if (control == nullptr) return;
  control->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

}  // namespace quorvel
