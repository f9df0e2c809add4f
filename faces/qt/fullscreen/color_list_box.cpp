#include "faces/qt/fullscreen/color_list_box.h"

#include <QAbstractItemDelegate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "faces/qt/resources/gui_theme.h"
#include "rules/screen/screen_layout.h"

namespace quorvel {
namespace {

// While it lives, selection changes are the program's, not the user's.
class ProgramSelection {
 public:
  explicit ProgramSelection(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~ProgramSelection() { flag_ = was_; }
  ProgramSelection(const ProgramSelection&) = delete;
  ProgramSelection& operator=(const ProgramSelection&) = delete;

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

// Draws every row itself: the row filled with its background, the text centred on one
// line, and a one-pixel frame in the text colour around the row with the keyboard focus.
class CColorListBox::RowDelegate final : public QAbstractItemDelegate {
 public:
  explicit RowDelegate(CColorListBox& list) : QAbstractItemDelegate(&list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    // Only the state matters, not why the row is drawn: a selected row keeps its
    // highlight colours whether or not the list has the focus.
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const RowStyle& style = selected ? list_.highlight_ : list_.normal_;
    const QFont& font = selected && list_.highlight_.font ? *list_.highlight_.font
                        : list_.normal_.font              ? *list_.normal_.font
                                                          : option.font;
    painter->save();
    painter->fillRect(option.rect, style.background);
    painter->setFont(font);
    painter->setPen(style.text);
    painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state.testFlag(QStyle::State_HasFocus)) {
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
  }

  // The height the row was given when it was added or when the heights were last applied;
  // the view makes every row as wide as the list.
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
    return index.data(Qt::SizeHintRole).toSize();
  }

 private:
  CColorListBox& list_;
};

CColorListBox::CColorListBox(bool activation, QWidget* parent)
    : QListWidget(parent), activation_(activation) {
  normal_.background = ToQColor(Rgb(0, 0, 128));
  normal_.text = ToQColor(Rgb(255, 255, 255));
  highlight_.background = ToQColor(Rgb(255, 255, 255));
  highlight_.text = ToQColor(Rgb(0, 0, 128));

  setItemDelegate(new RowDelegate(*this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setUniformItemSizes(false);
  setFocusPolicy(Qt::StrongFocus);
  // A plain list box: no frame, no scroll bars (it scrolls under its selection), and the
  // part below the last row shows the window's background behind it.
  setFrameShape(QFrame::NoFrame);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setAutoFillBackground(false);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!settingSelection_) emit SelectionChangedByUser();
  });
}

int CColorListBox::ScreenHeight() const {
  const QScreen* on = screen();
  return on != nullptr ? on->geometry().height() : 0;
}

void CColorListBox::SetStyle(RowStyle& style, ColorRef text, ColorRef background,
                             const FontDescription& font) {
  style.text = ToQColor(text);
  style.background = ToQColor(background);
  const int screenHeight = ScreenHeight();
  style.font = ToQFont(font, screenHeight);
  style.fontHeight = screen::DrawnFontHeight(font.height, screenHeight);
  ApplyRowHeights();
  viewport()->update();
}

void CColorListBox::SetNormalStyle(ColorRef text, ColorRef background,
                                   const FontDescription& font) {
  SetStyle(normal_, text, background, font);
}

void CColorListBox::SetHighlightStyle(ColorRef text, ColorRef background,
                                      const FontDescription& font) {
  SetStyle(highlight_, text, background, font);
}

void CColorListBox::SetPadding(int padding) { padding_ = padding; }

int CColorListBox::TextHeight() const {
  return screen::ListTextHeight(normal_.font ? normal_.fontHeight : 0,
                                highlight_.font ? highlight_.fontHeight : 0);
}

int CColorListBox::MeasuredRowHeight() const { return screen::RowHeight(TextHeight(), padding_); }

int CColorListBox::AddRow(const QString& text) {
  auto* added = new QListWidgetItem(text);
  added->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  added->setSizeHint(QSize(0, MeasuredRowHeight()));
  const ProgramSelection program(settingSelection_);
  addItem(added);
  return row(added);
}

void CColorListBox::ApplyRowHeights() {
  const QSize size(0, MeasuredRowHeight());
  for (int i = 0; i < count(); ++i) item(i)->setSizeHint(size);
}

int CColorListBox::RowHeight(int row) const {
  const QListWidgetItem* at = item(row);
  return at != nullptr ? at->sizeHint().height() : 0;
}

int CColorListBox::CurSel() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void CColorListBox::SetCurSel(int row) {
  const ProgramSelection program(settingSelection_);
  setCurrentRow(row >= 0 && row < count() ? row : -1);
}

void CColorListBox::ResetContent() {
  const ProgramSelection program(settingSelection_);
  clear();
}

int CColorListBox::Activate() {
  if (!activation_) return 0;
  const int row = CurSel();
  if (row < 0) return -1;
  emit RowActivated(row);
  return 0;
}

void CColorListBox::keyPressEvent(QKeyEvent* event) {
  if (keyTarget_ != nullptr) {
    const int answer = keyTarget_->OnKeyToItem(*this, *event, CurSel());
    switch (answer) {
      case KeyToItemTarget::kHandled:
        event->accept();
        return;
      case KeyToItemTarget::kFocusNext:
      case KeyToItemTarget::kFocusPrevious:
        // The parent moves the focus on in its tab order, or back.
        focusNextPrevChild(answer == KeyToItemTarget::kFocusNext);
        event->accept();
        return;
      default:
        if (answer >= 0 && answer < count()) setCurrentRow(answer);
        break;
    }
  }
  QListWidget::keyPressEvent(event);
}

void CColorListBox::mousePressEvent(QMouseEvent* event) {
  const bool onRow = indexAt(event->position().toPoint()).isValid();
  QListWidget::mousePressEvent(event);
  // A click that selected a row runs its command in the same click. A click below the
  // last row selects nothing and runs nothing.
  if (event->button() == Qt::LeftButton && onRow) Activate();
}

QItemSelectionModel::SelectionFlags CColorListBox::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
  // One selected row that follows the caret, as in a plain list box: no modifier
  // deselects it, and releasing the button changes nothing.
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  if (event != nullptr && event->type() == QEvent::MouseButtonRelease) {
    return QItemSelectionModel::NoUpdate;
  }
  return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

}  // namespace quorvel
