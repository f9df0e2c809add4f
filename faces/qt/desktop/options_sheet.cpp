#include "faces/qt/desktop/options_sheet.h"

#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "faces/qt/desktop/codecs_page.h"
#include "faces/qt/desktop/disks_page.h"
#include "faces/qt/desktop/general_page.h"
#include "faces/qt/desktop/players_page.h"
#include "faces/qt/desktop/view_page.h"
#include "faces/qt/resources/dialog_builder.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace {

COptionsPage* MakePage(desk::PageKind kind, Settings& settings, const Services& services) {
  switch (kind) {
    case desk::PageKind::General:
      return new CGeneralPage(settings, services);
    case desk::PageKind::View:
      return new CViewPage(settings, services);
    case desk::PageKind::Disks:
      return new CDisksPage(settings, services);
    case desk::PageKind::Players:
      return new CPlayersPage(settings, services);
    case desk::PageKind::Codecs:
      return new CCodecsPage(settings, services);
  }
  return nullptr;
}

}  // namespace

COptionsSheet::COptionsSheet(QWidget* owner, Settings& settings, const Services& services)
    : QDialog(owner) {
  setWindowTitle(ToQString(desk::OptionsSheetRules::Caption()));
  setModal(true);
  // The sheet's tabs and buttons use the pages' font.
  setFont(DialogFont(*res::FindDialogTemplate(res::kGeneralPage)));

  std::vector<desk::PageRules*> rules;
  for (desk::PageKind kind : desk::kSheetPages) {
    pages_.push_back(MakePage(kind, settings, services));
    rules.push_back(&pages_.back()->Rules());
  }
  rules_ = std::make_unique<desk::OptionsSheetRules>(*this, std::move(rules));
  tabs_ = new QTabWidget(this);
  for (COptionsPage* page : pages_) tabs_->addTab(page, page->TabText());
  tabs_->setCurrentIndex(0);

  // No page ever marks itself changed, so the sheet has no Apply button to enable.
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ConnectHandlers();
}

// Event table: OK, Cancel, tab change; and the tab bar's clicks, which are checked before
// the tab changes.
void COptionsSheet::ConnectHandlers() {
  connect(buttons_, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &COptionsSheet::reject);
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int index) { rules_->OnPageChanged(index); });
  tabs_->tabBar()->installEventFilter(this);
}

QPushButton* COptionsSheet::OkButton() const { return buttons_->button(QDialogButtonBox::Ok); }

QPushButton* COptionsSheet::CancelButton() const {
  return buttons_->button(QDialogButtonBox::Cancel);
}

bool COptionsSheet::eventFilter(QObject* watched, QEvent* event) {
  // A click on another tab is refused before the tab bar switches, so the page that
  // refuses its text is never left, not even for a moment.
  if (watched == tabs_->tabBar() && event->type() == QEvent::MouseButtonPress) {
    const int index =
        tabs_->tabBar()->tabAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (index >= 0 && !rules_->MayLeavePage(index)) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void COptionsSheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // As a property sheet does, the keyboard starts on the page's first tab stop rather
  // than on the tab bar.
  if (event->spontaneous()) return;
  COptionsPage* page = pages_[static_cast<std::size_t>(rules_->CurrentPage())];
  for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if ((control->focusPolicy() & Qt::TabFocus) && control->isEnabled()) {
      control->setFocus(Qt::TabFocusReason);
      break;
    }
  }
}

void COptionsSheet::ReturnToPage(int index) {
  {
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentIndex(index);
  }
  // The message box moved the focus away; put it back on the refused control.
  COptionsPage* page = pages_[static_cast<std::size_t>(index)];
  if (QWidget* focus = page->focusWidget()) focus->setFocus(Qt::OtherFocusReason);
}

void COptionsSheet::accept() {
  if (!rules_->OnOk()) return;
  QDialog::accept();
}

bool RunOptionsSheet(QWidget* owner, Settings& settings, const Services& services) {
  COptionsSheet sheet(owner, settings, services);
  return sheet.exec() == QDialog::Accepted;
}

}  // namespace quorvel
