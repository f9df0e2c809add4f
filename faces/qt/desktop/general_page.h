#pragma once
// The General page of the options sheet: start mode, the system switches and the
// disk-recognition switches. What it decides is desk::GeneralPageRules.

#include "faces/qt/desktop/options_page.h"
#include "rules/desk/general_page_rules.h"

namespace quorvel {

class CGeneralPage final : public COptionsPage {
  Q_OBJECT

 public:
  CGeneralPage(Settings& settings, const Services& services);

 private:
  void ConnectHandlers();

  desk::GeneralPageRules rules_;
};

}  // namespace quorvel
