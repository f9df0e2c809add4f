#pragma once
// The About box: the program's icon, version and thanks, and an OK button.

#include "faces/qt/desktop/template_dialog.h"

namespace quorvel {

class CAboutDlg final : public CTemplateDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(UserMessages& messages, QWidget* owner = nullptr);
};

}  // namespace quorvel
