#pragma once
// The options sheet "Quorvel Options": the one place where the user edits the settings.
// Its pages, in tab order, and what OK, Cancel and a change of tab do with them.

#include <array>
#include <string>
#include <vector>

#include "rules/desk/page_rules.h"

namespace quorvel::desk {

// The pages of the sheet. A face builds one page of each kind, in the order of
// kSheetPages, and hands their rules to the sheet's rules in that order.
enum class PageKind { General, View, Disks, Players, Codecs };
inline constexpr std::array<PageKind, 5> kSheetPages = {
    PageKind::General, PageKind::View, PageKind::Disks, PageKind::Players, PageKind::Codecs};

class OptionsSheetView {
 public:
  // The page at `index` refused to be left: its tab is put back on top, without a
  // report of the change, and the focus back on the control whose text was refused.
  virtual void ReturnToPage(int index) = 0;

 protected:
  ~OptionsSheetView() = default;
};

class OptionsSheetRules {
 public:
  // `pages` in tab order (kSheetPages); they and the view must outlive the rules. The
  // sheet opens on the first page.
  OptionsSheetRules(OptionsSheetView& view, std::vector<PageRules*> pages);

  // "Quorvel Options".
  static std::string Caption();

  const std::vector<PageRules*>& Pages() const { return pages_; }
  int CurrentPage() const { return current_; }

  // The user asks for the tab at `index`: the page on screen, when it was shown, reads
  // its controls first. False when it refused a text: the tab must not change, not even
  // for a moment.
  bool MayLeavePage(int index);
  // The tab at `index` came on top (where the face cannot ask before, as for keys): the
  // page that was left reads its controls; when it refuses a text the sheet returns to
  // it.
  void OnPageChanged(int index);

  // OK: the page on screen reads its controls; when that fails the sheet stays open on
  // it (false). Otherwise every page that was shown stores, in tab order, and the sheet
  // may close (true). Cancel needs no rule: no page stores anything.
  bool OnOk();

 private:
  bool CurrentPageReads();

  OptionsSheetView& view_;
  std::vector<PageRules*> pages_;
  int current_ = 0;
};

}  // namespace quorvel::desk
