#include "faces/qt/desktop/template_dialog.h"

#include <QPushButton>

#include "faces/qt/resources/dialog_builder.h"
#include "resources/resource_ids.h"

namespace quorvel {

CTemplateDialog::CTemplateDialog(int templateId, UserMessages& messages, QWidget* owner)
    : QDialog(owner), messages_(messages) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(templateId);
  Q_ASSERT_X(dialog != nullptr, "CTemplateDialog", "no template with this id");
  if (dialog != nullptr) BuildDialog(*this, *dialog);
  ConnectHandlers();
}

// Event table: OK, Cancel. Enter presses the default button and Escape cancels, as
// QDialog does on its own.
void CTemplateDialog::ConnectHandlers() {
  if (auto* ok = FindControlAs<QPushButton>(*this, res::kIdOk)) {
    connect(ok, &QPushButton::clicked, this, &CTemplateDialog::accept);
  }
  if (auto* cancel = FindControlAs<QPushButton>(*this, res::kIdCancel)) {
    connect(cancel, &QPushButton::clicked, this, &CTemplateDialog::reject);
  }
}

void CTemplateDialog::accept() {
  if (!OnOk()) return;
  QDialog::accept();
}

void CTemplateDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (initialized_) return;
  initialized_ = true;
  OnInitDialog();
}

}  // namespace quorvel
