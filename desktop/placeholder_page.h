#pragma once
// A page of the options sheet whose controls are not built yet: it has its template's
// tab text and size, binds nothing and so stores nothing.

#include "desktop/options_page.h"

namespace quorvel {

class CPlaceholderPage final : public COptionsPage {
  Q_OBJECT

 public:
  CPlaceholderPage(int templateId, Settings& settings, const Services& services)
      : COptionsPage(templateId, settings, services, {}, Build::SizeOnly) {}
};

}  // namespace quorvel
