#include "faces/qt/resources/dialog_builder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>

#include "faces/qt/resources/app_icon.h"
#include "faces/qt/resources/gui_text.h"
#include "resources/resource_ids.h"

namespace quorvel {

namespace {

// The property that carries a control's template id.
constexpr const char* kControlIdProperty = "quorvelControlId";

// Windows maps the bitmap face "MS Sans Serif" to this outline face.
constexpr const char* kSansSerifSubstitute = "Microsoft Sans Serif";

constexpr int kIconSize = 32;

// Rounds value * numerator / denominator to the nearest integer, halves away from zero.
int MulDivRound(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

bool HasFamily(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

bool Has(std::uint32_t style, std::uint32_t flag) { return (style & flag) != 0; }

QWidget* CreateStandardControl(const res::ControlTemplate& control, QWidget* parent,
                               QButtonGroup*& radioGroup) {
  using K = res::ControlKind;
  const QString text = ToQString(control.text);
  if (control.kind != K::RadioButton) radioGroup = nullptr;
  switch (control.kind) {
    case K::Label: {
      auto* label = new QLabel(text, parent);
      Qt::Alignment align = Has(control.style, res::kCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
      align |= Has(control.style, res::kCenterVertical) ? Qt::AlignVCenter : Qt::AlignTop;
      label->setAlignment(align);
      label->setWordWrap(!Has(control.style, res::kCenterVertical));
      if (Has(control.style, res::kBorder)) label->setFrameStyle(QFrame::Box | QFrame::Plain);
      return label;
    }
    case K::Icon: {
      auto* label = new QLabel(parent);
      label->setPixmap(AppIcon().pixmap(kIconSize, kIconSize));
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case K::GroupBox:
      return new QGroupBox(text, parent);
    case K::PushButton:
    case K::DefPushButton: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(control.kind == K::DefPushButton);
      button->setAutoDefault(false);
      return button;
    }
    case K::CheckBox:
      return new QCheckBox(text, parent);
    case K::RadioButton: {
      auto* radio = new QRadioButton(text, parent);
      // Radio buttons are exclusive within the run that a grouped one starts.
      if (radioGroup == nullptr || Has(control.style, res::kGroup)) {
        radioGroup = new QButtonGroup(parent);
      }
      radioGroup->addButton(radio);
      return radio;
    }
    case K::Edit: {
      auto* edit = new QLineEdit(text, parent);
      if (Has(control.style, res::kNumber)) {
        // As with a digits-only edit, typing takes digits only; text set by the program
        // is still checked when the edit is read.
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      }
      return edit;
    }
    case K::DropDownList: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(false);
      return combo;
    }
    case K::ListBox:
      return new QListWidget(parent);
    case K::ListView: {
      // A report view: a header over rows of columns, whole rows selected.
      auto* view = new QTableWidget(parent);
      view->verticalHeader()->hide();
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      view->setEditTriggers(QAbstractItemView::NoEditTriggers);
      view->setWordWrap(false);
      view->setShowGrid(false);
      return view;
    }
  }
  return nullptr;
}

}  // namespace

QFont DialogFont(const res::DialogTemplate& dialog) {
  QString family = ToQString(dialog.fontName);
  if (!HasFamily(family)) {
    family = HasFamily(kSansSerifSubstitute)
                 ? QString::fromLatin1(kSansSerifSubstitute)
                 : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }
  QFont font(family);
  font.setPointSize(dialog.fontPointSize);
  return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const res::DuRect& rect, DialogBaseUnits units) {
  const int left = MulDivRound(rect.x, units.charWidth, 4);
  const int top = MulDivRound(rect.y, units.charHeight, 8);
  const int right = MulDivRound(rect.x + rect.width, units.charWidth, 4);
  const int bottom = MulDivRound(rect.y + rect.height, units.charHeight, 8);
  return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

DialogBaseUnits BuildDialog(QWidget& target, const res::DialogTemplate& dialog,
                            const ControlFactory& factory) {
  const QFont font = DialogFont(dialog);
  target.setFont(font);
  if (!dialog.caption.empty()) target.setWindowTitle(ToQString(dialog.caption));
  const DialogBaseUnits units = BaseUnitsOf(font);
  target.setFixedSize(MapDialogRect({0, 0, dialog.rect.width, dialog.rect.height}, units).size());

  QButtonGroup* radioGroup = nullptr;
  QWidget* previous = nullptr;
  QLabel* pendingBuddy = nullptr;
  for (const res::ControlTemplate& control : dialog.controls) {
    QWidget* widget = factory ? factory(control, &target) : nullptr;
    if (widget == nullptr) widget = CreateStandardControl(control, &target, radioGroup);
    widget->setProperty(kControlIdProperty, control.id);
    if (control.id != res::kNoId) {
      widget->setObjectName(QStringLiteral("control_%1").arg(control.id));
    }
    QRect rect = MapDialogRect(control.rect, units);
    // A drop-down list's template height includes its open list; closed, it is as tall
    // as the style draws it.
    if (control.kind == res::ControlKind::DropDownList) {
      rect.setHeight(widget->sizeHint().height());
    }
    widget->setGeometry(rect);
    widget->setEnabled(!Has(control.style, res::kDisabled));
    // Only tab stops take the keyboard focus by tabbing, in template order.
    if (control.kind != res::ControlKind::Label && control.kind != res::ControlKind::Icon &&
        control.kind != res::ControlKind::GroupBox) {
      widget->setFocusPolicy(Has(control.style, res::kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
      if (previous != nullptr) QWidget::setTabOrder(previous, widget);
      previous = widget;
      // A label's mnemonic moves the focus to the control that follows it.
      if (pendingBuddy != nullptr) pendingBuddy->setBuddy(widget);
      pendingBuddy = nullptr;
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      pendingBuddy = label;
    }
  }
  return units;
}

int ControlId(const QWidget& widget) {
  const QVariant id = widget.property(kControlIdProperty);
  return id.isValid() ? id.toInt() : res::kNoId;
}

QWidget* FindControl(const QWidget& root, int id) {
  if (id == res::kNoId) return nullptr;
  for (QWidget* child : root.findChildren<QWidget*>()) {
    if (ControlId(*child) == id) return child;
  }
  return nullptr;
}

}  // namespace quorvel
