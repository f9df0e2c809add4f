#include "faces/qt/desktop/general_page.h"

#include <QCheckBox>
#include <QComboBox>

#include "faces/qt/resources/dialog_builder.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace ids = res::general;

CGeneralPage::CGeneralPage(Settings& settings, const Services& services)
    : COptionsPage(res::kGeneralPage), rules_(settings, services, *this) {
  Attach(rules_);
  ConnectHandlers();
}

// Event table: "read Micro DVD file" clicked, then "Start as" selection changed. Both
// report only the user, never values being shown.
void CGeneralPage::ConnectHandlers() {
  connect(FindControlAs<QCheckBox>(*this, ids::kReadMdvd), &QCheckBox::clicked, this,
          [this] { rules_.OnReadMdvdClicked(); });
  connect(FindControlAs<QComboBox>(*this, ids::kStartAs), &QComboBox::activated, this,
          [this] { rules_.OnStartAsChosen(); });
}

}  // namespace quorvel
