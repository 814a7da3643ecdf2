// Dialog units from the dialog font. The average character width is measured over the 52
// letters and rounded as ((width / 26) + 1) / 2; the height is the font's cell height.
#include "lobby/ui/dialog_units.h"

#include <QFontMetrics>

namespace zrt {
namespace {

// a * b / c rounded to the nearest integer (halves away from zero).
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& dialogFont) {
    const QFontMetrics fm(dialogFont);
    const int letters = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    charWidth_ = (letters / 26 + 1) / 2;
    charHeight_ = fm.height();
    if (charWidth_ < 1) charWidth_ = 1;
    if (charHeight_ < 1) charHeight_ = 1;
}

int DialogUnits::x(int units) const {
    return MulDiv(units, charWidth_, 4);
}
int DialogUnits::y(int units) const {
    return MulDiv(units, charHeight_, 8);
}

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    // Position and size are mapped each on its own, as controls made from a template are.
    return QRect(this->x(x), this->y(y), this->x(width), this->y(height));
}

QSize DialogUnits::size(int width, int height) const {
    return QSize(x(width), y(height));
}

}  // namespace zrt
