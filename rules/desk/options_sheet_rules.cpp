#include "rules/desk/options_sheet_rules.h"

#include <utility>

#include "resources/resource_ids.h"
#include "rules/desk/desk_text.h"

namespace quorvel::desk {

OptionsSheetRules::OptionsSheetRules(OptionsSheetView& view, std::vector<PageRules*> pages)
    : view_(view), pages_(std::move(pages)) {}

std::string OptionsSheetRules::Caption() { return Text(res::kStrOptionsCaption); }

bool OptionsSheetRules::CurrentPageReads() {
  if (current_ < 0 || static_cast<std::size_t>(current_) >= pages_.size()) return true;
  PageRules& page = *pages_[static_cast<std::size_t>(current_)];
  return !page.WasShown() || page.ReadControls();
}

bool OptionsSheetRules::MayLeavePage(int index) { return index == current_ || CurrentPageReads(); }

void OptionsSheetRules::OnPageChanged(int index) {
  if (index == current_) return;
  const int previous = current_;
  if (CurrentPageReads()) {
    current_ = index;
  } else {
    view_.ReturnToPage(previous);
  }
}

bool OptionsSheetRules::OnOk() {
  if (!CurrentPageReads()) return false;
  for (PageRules* page : pages_) {
    if (page->WasShown()) page->Store();
  }
  return true;
}

}  // namespace quorvel::desk
