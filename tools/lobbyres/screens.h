// The large pictures: the backgrounds of the login/hall screens and of the ladder, and the
// two pieces of the lobby's groups pane.
#pragma once

#include <QImage>

namespace lobbyres {

QImage setupBackground();   // 702 x 552
QImage ladderBackground();  // 666 x 500
QImage lobbyHeader();       // 590 x 175, the top of the groups pane with its tool row
QImage lobbyRowStrip();     // 590 x 110, repeated under the header, one per group

}  // namespace lobbyres
