#include "faces/qt/desktop/data_exchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/settings.h"
#include "app/unsigned_text.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

QWidget* DataExchange::Control(int id) const {
  if (!ok_) return nullptr;
  // A binding to a control the template lacks is a programming fault; skipping it keeps
  // the field as it is.
  QWidget* control = FindControl(window_, id);
  Q_ASSERT_X(control != nullptr, "DataExchange", "no control with this id");
  return control;
}

void DataExchange::Refuse(QWidget& control, std::string_view message) {
  ok_ = false;
  messages_.Show(message);
  control.setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) edit->selectAll();
}

DataExchange& DataExchange::CheckBox(int id, std::int32_t& field) {
  auto* box = qobject_cast<QCheckBox*>(Control(id));
  if (box == nullptr) return *this;
  if (reading()) {
    field = box->isChecked() ? 1 : 0;
  } else {
    box->setChecked(field != 0);
  }
  return *this;
}

DataExchange& DataExchange::DropDownList(int id, std::int32_t& field) {
  auto* list = qobject_cast<QComboBox*>(Control(id));
  if (list == nullptr) return *this;
  if (reading()) {
    field = list->currentIndex();
  } else {
    list->setCurrentIndex(field >= 0 && field < list->count() ? field : -1);
  }
  return *this;
}

DataExchange& DataExchange::Text(int id, std::string& field) {
  auto* edit = qobject_cast<QLineEdit*>(Control(id));
  if (edit == nullptr) return *this;
  if (reading()) {
    // An unchanged text keeps its stored bytes, whatever code page they were written in.
    if (edit->text() != ToQString(field)) field = FromQString(edit->text());
  } else {
    edit->setText(ToQString(field));
    // A text longer than the edit shows its beginning.
    edit->setCursorPosition(0);
  }
  return *this;
}

DataExchange& DataExchange::Unsigned(int id, std::uint32_t& field) {
  auto* edit = qobject_cast<QLineEdit*>(Control(id));
  if (edit == nullptr) return *this;
  if (reading()) {
    std::uint32_t value = 0;
    // The range of a size comes from the settings' table of kinds.
    const SettingRange& range = RangeOf(SettingKind::Size);
    if (!ParseUnsignedText(FromQString(edit->text()), value) ||
        !InRange(SettingKind::Size, value)) {
      std::string text(res::LoadString(res::kStrNotANumber));
      for (const std::int64_t bound : {range.low, range.high}) {
        const std::size_t at = text.find("%s");
        if (at != std::string::npos) text.replace(at, 2, std::to_string(bound));
      }
      Refuse(*edit, text);
      return *this;
    }
    field = value;
  } else {
    edit->setText(QString::number(field));
  }
  return *this;
}

}  // namespace quorvel
