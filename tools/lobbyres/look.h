// The shared look of the lobby's pictures: dark stone and metal, gold and yellow lettering in
// Liberation Sans, light parchment panels where the program writes dark text. Every picture
// is drawn from these pieces so that the screens belong together.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QString>
#include <cstdint>

namespace lobbyres {

inline const QColor kGoldLight(255, 236, 150);
inline const QColor kGold(232, 186, 74);
inline const QColor kGoldDark(150, 100, 28);
inline const QColor kOutline(22, 16, 10);
inline const QColor kStone(74, 71, 68);
inline const QColor kParchment(228, 218, 190);

// Smooth value noise summed over four octaves; `scale` is the size of the coarsest feature
// in pixels. Result in [0, 1].
double fractalNoise(double x, double y, double scale, uint32_t seed);

// A stone surface of `size`: mottled `base` colour, laid in courses of blocks when
// `blockHeight` > 0.
QImage stoneImage(QSize size, QColor base, int blockHeight, uint32_t seed);

// A recessed light panel for dark text: bevelled edge, faint grain.
void drawParchmentPanel(QPainter& p, const QRect& r, uint32_t seed);

// A dark recess (slot for a scroll bar, title band).
void drawRecess(QPainter& p, const QRect& r);

// A metal border `width` pixels wide just inside `r`, bronze with bevelled edges.
void drawMetalFrame(QPainter& p, const QRect& r, int width);

// Liberation Sans at a size in pixels.
QFont lobbyFont(int pixelSize, bool bold);

// Antialiased lettering with a dark outline and a top-to-bottom gradient fill, aligned in `r`.
void drawEngravedText(QPainter& p, const QRect& r, int alignment, const QString& text,
                      const QFont& font, QColor top, QColor bottom, double outline = 2.5);

// Lettering on the pure green key without antialiasing, so every pixel is either exactly the
// key or one of the lettering's colours. `flat` gives a single colour and no outline.
QImage keyedText(QSize size, const QString& text, int pixelSize, bool flat, int margin = 6);

// Darkens the corners of a picture of `size` so the eye goes to the middle.
void drawVignette(QPainter& p, QSize size);

// A gold rule from cx - halfWidth to cx + halfWidth at height y, with a diamond in its middle.
void drawOrnament(QPainter& p, int cx, int y, int halfWidth);

// The outline of a heraldic shield filling `box`: straight sides down to about half its height,
// then curving to a point at the bottom middle.
QPainterPath shieldPath(const QRectF& box);

// A dark plaque framed in metal, carrying engraved gold lettering.
void drawPlaque(QPainter& p, const QRect& r, const QString& text, int pixelSize);

enum class ButtonState { Normal, Hover, Inactive };

// A bevelled metal button of `size` labelled `text`; Hover is lit bronze, Inactive greyed.
QImage buttonImage(QSize size, const QString& text, ButtonState state, int pixelSize);

}  // namespace lobbyres
