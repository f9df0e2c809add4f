#include "faces/qt/desktop/options_page.h"

#include <QHelpEvent>
#include <QToolTip>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"

namespace quorvel {

COptionsPage::COptionsPage(int templateId) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(templateId);
  Q_ASSERT_X(dialog != nullptr, "COptionsPage", "no template with this id");
  if (dialog == nullptr) return;
  tabText_ = ToQString(dialog->caption);
  BuildDialog(*this, *dialog);
}

void COptionsPage::EnableTooltips() {
  if (tooltipsEnabled_) return;
  tooltipsEnabled_ = true;
  for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);
}

void COptionsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  rules_->OnShow();
}

bool COptionsPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !tooltipsEnabled_) {
    return QWidget::eventFilter(watched, event);
  }
  auto* control = qobject_cast<QWidget*>(watched);
  const auto text = control ? rules_->Tooltip(ControlId(*control)) : std::nullopt;
  if (text) {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), ToQString(*text), control);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace quorvel
