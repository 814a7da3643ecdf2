// The nineteen 40 x 48 portraits: twelve human nations, then the seven species.
#pragma once

#include <QImage>

namespace lobbyres {

inline constexpr int kPortraitCount = 19;

// Portrait of nation `index` (0-18), or a null image for any other index.
QImage portraitImage(int index);

}  // namespace lobbyres
