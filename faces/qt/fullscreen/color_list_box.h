#pragma once
// The list of the full-screen window: rows drawn centred in large theme fonts and theme
// colours, as high as their font plus padding, and a list box adapted to a remote
// control: every key goes to the window first (key-to-item), which may have the list
// move the focus on to the other list, and in a list built with activation a click on a
// row activates it at once. The rows are texts; the window knows what each stands for.

#include <QListWidget>
#include <optional>

#include "app/theme.h"

class QKeyEvent;

namespace quorvel {

class CColorListBox;

// The window that owns the lists answers every key pressed in them.
class KeyToItemTarget {
 public:
  // The answers besides a row index.
  static constexpr int kDefault = -1;        // the list handles the key as usual
  static constexpr int kHandled = -2;        // the window handled it; the list does nothing
  static constexpr int kFocusNext = -3;      // the list moves the focus on in tab order
  static constexpr int kFocusPrevious = -4;  // ... and back

  // `key` was pressed in `list`, whose selected row is `selectedRow` (-1: none). Answers
  // one of the above, or a row index (the list selects that row, then handles the key as
  // usual). The target must not delete the list while it answers; a window that ends
  // itself here does so with deleteLater().
  virtual int OnKeyToItem(CColorListBox& list, const QKeyEvent& key, int selectedRow) = 0;

 protected:
  ~KeyToItemTarget() = default;
};

class CColorListBox : public QListWidget {
  Q_OBJECT

 public:
  // With `activation`, a click on a row activates it (RowActivated).
  explicit CColorListBox(bool activation, QWidget* parent = nullptr);

  // Colours and font of the rows that are not selected; row heights follow the font.
  void SetNormalStyle(ColorRef text, ColorRef background, const FontDescription& font);
  // Colours and font of the selected row; row heights follow the font.
  void SetHighlightStyle(ColorRef text, ColorRef background, const FontDescription& font);
  // Space above and below the text of every row. Rows already in the list keep their
  // height until ApplyRowHeights() or a style change.
  void SetPadding(int padding);
  // Appends a row and returns its index.
  int AddRow(const QString& text);
  // The larger height of the normal and the highlight font (0 for one not set), or 42
  // when that is 0. A font description higher than the screen counts as high as the
  // screen, as it is drawn.
  int TextHeight() const;
  // Sets every row to TextHeight() plus the padding above and below.
  void ApplyRowHeights();
  // Activates the selected row (RowActivated). Returns 0 in a list without activation
  // (and does nothing), -1 with no selection, otherwise 0. What the row runs may end the
  // list's owner: nothing of the list is used after the signal.
  int Activate();

  // The list-box operations the window needs.
  int RowCount() const { return count(); }
  int RowHeight(int row) const;  // 0 for a row that does not exist
  int CurSel() const;            // the selected row, or -1
  void SetCurSel(int row);       // -1 selects nothing; no SelectionChangedByUser
  void ResetContent();           // removes every row; no SelectionChangedByUser
  bool HasActivation() const { return activation_; }
  // The window that answers key-to-item requests; null: every key gets the list's usual
  // handling.
  void SetKeyToItemTarget(KeyToItemTarget* target) { keyTarget_ = target; }

  // The colours and font each row is drawn with.
  struct RowStyle {
    QColor text;
    QColor background;
    std::optional<QFont> font;
    int fontHeight = 0;  // as drawn: bounded by the screen
  };
  const RowStyle& NormalStyle() const { return normal_; }
  const RowStyle& HighlightStyle() const { return highlight_; }
  int Padding() const { return padding_; }

 signals:
  // The user moved the selection with a key or the mouse.
  void SelectionChangedByUser();
  // Row `row` of a list with activation was clicked (or Activate() was called).
  void RowActivated(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  class RowDelegate;

  void SetStyle(RowStyle& style, ColorRef text, ColorRef background, const FontDescription& font);
  int MeasuredRowHeight() const;
  int ScreenHeight() const;

  bool activation_;
  RowStyle normal_;
  RowStyle highlight_;
  int padding_ = 0;  // above and below the text alike
  KeyToItemTarget* keyTarget_ = nullptr;
  bool settingSelection_ = false;  // the program, not the user, changes the selection
};

}  // namespace quorvel
