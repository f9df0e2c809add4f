#include "faces/qt/desktop/disks_page.h"

#include <QComboBox>

#include "faces/qt/resources/dialog_builder.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace ids = res::disks;

CDisksPage::CDisksPage(Settings& settings, const Services& services)
    : COptionsPage(res::kDisksPage), rules_(settings, services, *this) {
  Attach(rules_);
  ConnectHandlers();
}

// Event table: a player chosen by the user in any of the five lists.
void CDisksPage::ConnectHandlers() {
  for (int id : {ids::kDivXPlayer, ids::kDivXAudio2Player, ids::kMpegPlayer, ids::kSvcdPlayer,
                 ids::kVcdPlayer}) {
    connect(FindControlAs<QComboBox>(*this, id), &QComboBox::activated, this,
            [this, id] { rules_.OnPlayerChosen(id); });
  }
}

}  // namespace quorvel
