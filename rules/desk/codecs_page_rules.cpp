#include "rules/desk/codecs_page_rules.h"

#include "resources/resource_ids.h"

namespace quorvel::desk {

namespace {

namespace ids = res::codecs;

// The four switches of ffdshow; the settings write them into ffdshow's own values only
// where ffdshow was found.
const FieldBinding kBindings[] = {
    {ids::kDivX3, &Settings::FfdshowDiv3, bind::CheckBox},
    {ids::kDivX4, &Settings::FfdshowDivx, bind::CheckBox},
    {ids::kDivX5, &Settings::FfdshowDx50, bind::CheckBox},
    {ids::kXviD, &Settings::FfdshowXvid, bind::CheckBox},
};

}  // namespace

CodecsPageRules::CodecsPageRules(Settings& settings, const Services& services, PageView& view)
    : PageRules(res::kCodecsPage, settings, services, view, kBindings) {}

}  // namespace quorvel::desk
