#include "faces/qt/desktop/options_page.h"

#include <QHelpEvent>
#include <QToolTip>

#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"

namespace quorvel {

COptionsPage::COptionsPage(int templateId, Settings& settings, const Services& services,
                           BindingTable bindings, Build build)
    : settings_(settings), services_(services), values_(settings), bindings_(bindings) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(templateId);
  Q_ASSERT_X(dialog != nullptr, "COptionsPage", "no template with this id");
  if (dialog == nullptr) return;
  tabText_ = ToQString(dialog->caption);
  if (build == Build::Controls) {
    BuildDialog(*this, *dialog);
  } else {
    res::DialogTemplate empty = *dialog;
    empty.controls = {};
    BuildDialog(*this, empty);
  }
}

void COptionsPage::DoDataExchange(DataExchange& exchange) {
  for (const FieldBinding& binding : bindings_) binding.Exchange(exchange, values_);
}

void COptionsPage::ShowValues() {
  DataExchange exchange(*this, DataExchange::Direction::ShowValues, services_.messages);
  DoDataExchange(exchange);
}

bool COptionsPage::ReadControls() {
  DataExchange exchange(*this, DataExchange::Direction::ReadControls, services_.messages);
  DoDataExchange(exchange);
  return exchange.ok();
}

void COptionsPage::Store() {
  if (bindings_.empty()) return;
  ConfirmChanges();
  Settings& settings = settings_;
  for (const FieldBinding& binding : bindings_) binding.Store(values_, settings);
  // A failed save is not reported; the in-memory record holds the new values anyway.
  settings.Save(services_.registry);
}

void COptionsPage::EnableTooltips(TooltipTable table) {
  tooltips_ = table;
  if (tooltipsEnabled_) return;
  tooltipsEnabled_ = true;
  for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);
}

void COptionsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  OnFirstShow();
}

bool COptionsPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !tooltipsEnabled_) {
    return QWidget::eventFilter(watched, event);
  }
  auto* control = qobject_cast<QWidget*>(watched);
  const auto text = control ? LookUpTooltip(tooltips_, ControlId(*control)) : std::nullopt;
  if (text) {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), ToQString(*text), control);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace quorvel
