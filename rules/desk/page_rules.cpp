#include "rules/desk/page_rules.h"

namespace quorvel::desk {

PageRules::PageRules(int templateId, Settings& settings, const Services& services, PageView& view,
                     BindingTable bindings)
    : settings_(settings),
      services_(services),
      values_(settings),
      templateId_(templateId),
      pageView_(view),
      bindings_(bindings) {}

void PageRules::OnShow() {
  if (shown_) return;
  shown_ = true;
  OnFirstShow();
}

void PageRules::DoDataExchange(DataExchange& exchange) {
  for (const FieldBinding& binding : bindings_) binding.Exchange(exchange, values_);
}

void PageRules::ShowValues() {
  DataExchange exchange(Controls(), DataExchange::Direction::ShowValues, services_.messages);
  DoDataExchange(exchange);
}

bool PageRules::ReadControls() {
  DataExchange exchange(Controls(), DataExchange::Direction::ReadControls, services_.messages);
  DoDataExchange(exchange);
  return exchange.ok();
}

void PageRules::Store() {
  if (bindings_.empty()) return;
  ConfirmChanges();
  for (const FieldBinding& binding : bindings_) binding.Store(values_, settings_);
  // A failed save is not reported; the in-memory record holds the new values anyway.
  settings_.Save(services_.registry);
}

void PageRules::EnableTooltips(TooltipTable table) {
  tooltips_ = table;
  if (tooltipsEnabled_) return;
  tooltipsEnabled_ = true;
  pageView_.EnableTooltips();
}

std::optional<std::string_view> PageRules::Tooltip(int controlId) const {
  if (!tooltipsEnabled_) return std::nullopt;
  return LookUpTooltip(tooltips_, controlId);
}

}  // namespace quorvel::desk
