#pragma once
// The Codecs page of the options sheet: which video codecs ffdshow decodes. Its check
// boxes show the four switches, and the user toggles them freely.

#include "rules/desk/page_rules.h"

namespace quorvel::desk {

class CodecsPageRules final : public PageRules {
 public:
  CodecsPageRules(Settings& settings, const Services& services, PageView& view);
};

}  // namespace quorvel::desk
