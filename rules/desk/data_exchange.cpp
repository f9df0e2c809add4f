#include "rules/desk/data_exchange.h"

#include "app/settings.h"
#include "app/unsigned_text.h"
#include "resources/resource_ids.h"
#include "rules/desk/desk_text.h"

namespace quorvel::desk {

void DataExchange::Refuse(int id, std::string_view message) {
  ok_ = false;
  messages_.Show(message);
  controls_.FocusRefused(id);
}

DataExchange& DataExchange::CheckBox(int id, std::int32_t& field) {
  ControlValues* controls = Controls();
  if (controls == nullptr) return *this;
  if (reading()) {
    field = controls->Checked(id) ? 1 : 0;
  } else {
    controls->SetChecked(id, field != 0);
  }
  return *this;
}

DataExchange& DataExchange::DropDownList(int id, std::int32_t& field) {
  ControlValues* controls = Controls();
  if (controls == nullptr) return *this;
  if (reading()) {
    field = controls->ListIndex(id);
  } else {
    controls->SetListIndex(id, field);
  }
  return *this;
}

DataExchange& DataExchange::Text(int id, std::string& field) {
  ControlValues* controls = Controls();
  if (controls == nullptr) return *this;
  if (reading()) {
    // An unchanged text keeps its stored bytes, whatever code page they were written in.
    if (!controls->ShowsText(id, field)) field = controls->Text(id);
  } else {
    controls->SetText(id, field);
  }
  return *this;
}

DataExchange& DataExchange::Unsigned(int id, std::uint32_t& field) {
  ControlValues* controls = Controls();
  if (controls == nullptr) return *this;
  if (reading()) {
    std::uint32_t value = 0;
    // The range of a size comes from the settings' table of kinds.
    if (!ParseUnsignedText(controls->Text(id), value) || !InRange(SettingKind::Size, value)) {
      const SettingRange& range = RangeOf(SettingKind::Size);
      const std::string low = std::to_string(range.low);
      const std::string high = std::to_string(range.high);
      Refuse(id, FormatText(res::kStrNotANumber, {low, high}));
      return *this;
    }
    field = value;
  } else {
    controls->SetText(id, std::to_string(field));
  }
  return *this;
}

}  // namespace quorvel::desk
