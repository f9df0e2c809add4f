#pragma once
// The General page of the options sheet: start mode, the system switches and the
// disk-recognition switches.

#include "faces/qt/desktop/options_page.h"

namespace quorvel {

class CGeneralPage final : public COptionsPage {
  Q_OBJECT

 public:
  CGeneralPage(Settings& settings, const Services& services);

 protected:
  void OnFirstShow() override;
  void ConfirmChanges() override;

 private:
  void ConnectHandlers();
  // Enables and forces the dependent boxes after "read Micro DVD file" or "Start as"
  // changed, and at first show.
  void ApplyEnablingRule();
};

}  // namespace quorvel
