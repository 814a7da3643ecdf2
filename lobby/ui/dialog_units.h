// Dialog units: dialog layouts are given in units of the dialog font, a quarter of its average
// character width across and an eighth of its character height down.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace zrt {

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& dialogFont);

    int x(int units) const;  // horizontal units to pixels
    int y(int units) const;  // vertical units to pixels
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

    int averageCharWidth() const { return charWidth_; }
    int charHeight() const { return charHeight_; }

  private:
    int charWidth_;
    int charHeight_;
};

}  // namespace zrt
