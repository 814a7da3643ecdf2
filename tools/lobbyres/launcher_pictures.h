// The launcher's pictures, compiled into startpad: its background, the four button labels at
// their fixed sizes and depths, and the game's icons (the launcher's and the lobby's) in the
// sizes a desktop's menus and window lists use.
#pragma once

#include <QImage>
#include <vector>

#include "tools/lobbyres/picture_table.h"

namespace lobbyres {

// bitmap154.bmp (background), bitmap157/159/160/161.bmp (the MULTIPLAYER, TRAINING, web site
// and QUIT labels).
std::vector<Picture> launcherPictures();

// The icon sizes written, in pixels.
inline const std::vector<int> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The game's shield of `size` x `size` pixels on a transparent ground: red for the launcher,
// blue for the lobby.
QImage gameIcon(int size, bool lobby);

}  // namespace lobbyres
