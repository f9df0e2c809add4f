#include "faces/qt/desktop/about_dlg.h"

#include "resources/resource_ids.h"

namespace quorvel {

CAboutDlg::CAboutDlg(UserMessages& messages, QWidget* owner)
    : CTemplateDialog(res::kAboutDialog, messages, owner) {}

}  // namespace quorvel
