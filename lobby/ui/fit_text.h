// FitText: where a text must break to fit the first column's room of a TwoColumnListBox.
#pragma once

#include <QString>

namespace zrt {

class TwoColumnListBox;

// Available width = client width - column offset - vertical scroll bar width - 5. Returns the
// smallest k >= 1 whose first k characters are wider than that (the text from index k on goes
// to the next line), or -1 when the whole text fits.
int FitText(const TwoColumnListBox& box, const QString& text);

}  // namespace zrt
