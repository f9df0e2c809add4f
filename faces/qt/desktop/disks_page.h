#pragma once
// The Disks page of the options sheet: for each of eight kinds of movie, the player that
// plays it and the command line it gets. What it decides is desk::DisksPageRules.

#include "faces/qt/desktop/options_page.h"
#include "rules/desk/disks_page_rules.h"

namespace quorvel {

class CDisksPage final : public COptionsPage {
  Q_OBJECT

 public:
  CDisksPage(Settings& settings, const Services& services);

 private:
  void ConnectHandlers();

  desk::DisksPageRules rules_;
};

}  // namespace quorvel
