#pragma once
// The list of the full-screen window: rows drawn centred in large theme fonts and theme
// colours, as high as their font plus padding, and a list box adapted to a remote
// control: Left and Right move the focus to the other list, the other keys go to the
// window first (key-to-item), and in a list built with activation each row carries a
// command that a click runs at once.

#include <QListWidget>
#include <optional>

#include "app/theme.h"

class QKeyEvent;

namespace quorvel {

class CColorListBox;

// The window that owns the lists answers the keys they pass on.
class KeyToItemTarget {
 public:
  // `key` was pressed in `list`, whose selected row is `selectedRow` (-1: none). Answers
  // screen::kKeyToItemHandled (the list does nothing more), screen::kKeyToItemDefault
  // (the list handles the key as usual) or a row index (the list selects that row, then
  // handles the key as usual). The target must not delete the list while it answers;
  // a window that ends itself here does so with deleteLater().
  virtual int OnKeyToItem(CColorListBox& list, const QKeyEvent& key, int selectedRow) = 0;

 protected:
  ~KeyToItemTarget() = default;
};

class CColorListBox : public QListWidget {
  Q_OBJECT

 public:
  // With `activation`, every row's datum is a CCommand (or null) that Activate() runs.
  explicit CColorListBox(bool activation, QWidget* parent = nullptr);

  // Colours and font of the rows that are not selected; row heights follow the font.
  void SetNormalStyle(ColorRef text, ColorRef background, const FontDescription& font);
  // Colours and font of the selected row; row heights follow the font.
  void SetHighlightStyle(ColorRef text, ColorRef background, const FontDescription& font);
  // Space above and below the text of every row. Rows already in the list keep their
  // height until ApplyRowHeights() or a style change.
  void SetPadding(int padding);
  // Appends a row with its datum (a CCommand in a list with activation; anything the
  // window likes otherwise; the list never owns it) and returns its index.
  int AddRow(const QString& text, const void* datum);
  // The larger height of the normal and the highlight font (0 for one not set), or 42
  // when that is 0. A font description higher than the screen counts as high as the
  // screen, as it is drawn.
  int TextHeight() const;
  // Sets every row to TextHeight() plus the padding above and below.
  void ApplyRowHeights();
  // Runs the selected row's command when it may run. Returns 0 in a list without
  // activation (and does nothing), -1 with no selection, otherwise 0. The command may
  // delete the list's owner: nothing of the list is used after it ran.
  int Activate();

  // The list-box operations the window needs.
  int RowCount() const { return count(); }
  const void* ItemData(int row) const;
  int RowHeight(int row) const;  // 0 for a row that does not exist
  int CurSel() const;            // the selected row, or -1
  void SetCurSel(int row);       // -1 selects nothing; no SelectionChangedByUser
  void ResetContent();           // removes every row; no SelectionChangedByUser
  bool HasActivation() const { return activation_; }
  // The window that answers key-to-item requests; null: every key gets the usual handling.
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

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
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
