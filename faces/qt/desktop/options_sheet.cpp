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
#include "resources/string_table.h"

namespace quorvel {

COptionsSheet::COptionsSheet(QWidget* owner, Settings& settings, const Services& services)
    : QDialog(owner) {
  setWindowTitle(ToQString(res::LoadString(res::kStrOptionsCaption)));
  setModal(true);
  // The sheet's tabs and buttons use the pages' font.
  setFont(DialogFont(*res::FindDialogTemplate(res::kGeneralPage)));

  pages_ = {
      new CGeneralPage(settings, services), new CViewPage(settings, services),
      new CDisksPage(settings, services),   new CPlayersPage(settings, services),
      new CCodecsPage(settings, services),
  };
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
  connect(tabs_, &QTabWidget::currentChanged, this, &COptionsSheet::OnTabChanged);
  tabs_->tabBar()->installEventFilter(this);
}

QPushButton* COptionsSheet::OkButton() const { return buttons_->button(QDialogButtonBox::Ok); }

QPushButton* COptionsSheet::CancelButton() const {
  return buttons_->button(QDialogButtonBox::Cancel);
}

bool COptionsSheet::CurrentPageReads() {
  COptionsPage* page = pages_[static_cast<std::size_t>(currentIndex_)];
  return !page->WasShown() || page->ReadControls();
}

bool COptionsSheet::eventFilter(QObject* watched, QEvent* event) {
  // A click on another tab is refused before the tab bar switches, so the page that
  // refuses its text is never left, not even for a moment.
  if (watched == tabs_->tabBar() && event->type() == QEvent::MouseButtonPress) {
    const int index =
        tabs_->tabBar()->tabAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (index >= 0 && index != currentIndex_ && !CurrentPageReads()) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void COptionsSheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // As a property sheet does, the keyboard starts on the page's first tab stop rather
  // than on the tab bar.
  if (event->spontaneous()) return;
  COptionsPage* page = pages_[static_cast<std::size_t>(currentIndex_)];
  for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if ((control->focusPolicy() & Qt::TabFocus) && control->isEnabled()) {
      control->setFocus(Qt::TabFocusReason);
      break;
    }
  }
}

void COptionsSheet::OnTabChanged(int index) {
  if (index == currentIndex_) return;
  // Switching by keyboard has no veto before the change: step back when the page that
  // was left refuses its text.
  const int previous = currentIndex_;
  currentIndex_ = index;
  COptionsPage* left = pages_[static_cast<std::size_t>(previous)];
  if (left->WasShown() && !left->ReadControls()) {
    currentIndex_ = previous;
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentIndex(previous);
    // The message box moved the focus away; put it back on the refused control.
    if (QWidget* focus = left->focusWidget()) focus->setFocus(Qt::OtherFocusReason);
  }
}

void COptionsSheet::accept() {
  if (!CurrentPageReads()) return;
  for (COptionsPage* page : pages_) {
    if (page->WasShown()) page->Store();
  }
  QDialog::accept();
}

bool RunOptionsSheet(QWidget* owner, Settings& settings, const Services& services) {
  COptionsSheet sheet(owner, settings, services);
  return sheet.exec() == QDialog::Accepted;
}

}  // namespace quorvel
