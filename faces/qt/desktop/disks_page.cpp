#include "faces/qt/desktop/disks_page.h"

#include <QComboBox>

#include "faces/qt/resources/dialog_builder.h"
#include "resources/resource_ids.h"

namespace quorvel {

CDisksPage::CDisksPage(Settings& settings, const Services& services)
    : COptionsPage(res::kDisksPage), rules_(settings, services, *this) {
  Attach(rules_);
  ConnectHandlers();
}

// Event table: a player chosen by the user in any of the eight lists.
void CDisksPage::ConnectHandlers() {
  for (int id : desk::DisksPageRules::PlayerListIds()) {
    connect(FindControlAs<QComboBox>(*this, id), &QComboBox::activated, this,
            [this, id] { rules_.OnPlayerChosen(id); });
  }
}

}  // namespace quorvel
