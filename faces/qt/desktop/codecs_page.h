#pragma once
// The Codecs page of the options sheet: which video codecs ffdshow decodes.

#include "faces/qt/desktop/options_page.h"
#include "rules/desk/codecs_page_rules.h"

namespace quorvel {

class CCodecsPage final : public COptionsPage {
  Q_OBJECT

 public:
  CCodecsPage(Settings& settings, const Services& services);

 private:
  desk::CodecsPageRules rules_;
};

}  // namespace quorvel
