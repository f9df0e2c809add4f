#include "faces/qt/desktop/sorted_names.h"

namespace quorvel {

bool NameLess(const QString& a, const QString& b) {
  const int folded = QString::compare(a, b, Qt::CaseInsensitive);
  return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

int SortedPosition(int count, const std::function<QString(int)>& textAt, const QString& text) {
  // Binary search for the first entry that sorts after `text`.
  int low = 0;
  int high = count;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (NameLess(text, textAt(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

}  // namespace quorvel
