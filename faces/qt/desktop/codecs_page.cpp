#include "faces/qt/desktop/codecs_page.h"

#include "resources/resource_ids.h"

namespace quorvel {

CCodecsPage::CCodecsPage(Settings& settings, const Services& services)
    : COptionsPage(res::kCodecsPage), rules_(settings, services, *this) {
  Attach(rules_);
}

}  // namespace quorvel
