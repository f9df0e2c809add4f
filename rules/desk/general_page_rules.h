#pragma once
// The General page of the options sheet: start mode, the system switches and the
// disk-recognition switches, with the rule that enables and forces the dependent boxes.

#include "rules/desk/page_rules.h"

namespace quorvel::desk {

class GeneralPageRules final : public PageRules {
 public:
  GeneralPageRules(Settings& settings, const Services& services, PageView& view);

  // The user clicked "read Micro DVD file", or chose an item of "Start as": the
  // enabling rule runs. (Values being shown report neither.)
  void OnReadMdvdClicked() { ApplyEnablingRule(); }
  void OnStartAsChosen() { ApplyEnablingRule(); }

 protected:
  void OnFirstShow() override;
  void ConfirmChanges() override;

 private:
  // Enables and forces the dependent boxes after "read Micro DVD file" or "Start as"
  // changed, and at first show.
  void ApplyEnablingRule();
};

}  // namespace quorvel::desk
