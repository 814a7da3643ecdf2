// The lobby's pictures, loaded once at start-up from LobbyRes and drawn by every screen.
// Written by the resource loader's worker thread while the LoadingBox runs; read only by the
// UI thread afterwards.
#pragma once

#include <QImage>
#include <array>

#include "lobby/ui/cached_bitmap.h"
#include "lobby/ui/masked_bitmap.h"

namespace zrt {

struct LobbyPictures {
    std::array<CachedBitmap, 19> portraits;  // nation rows 0-18
    std::array<MaskedBitmap, 10> digits;
    MaskedBitmap tChoose, tSearch, tSelHall;
    CachedBitmap bsNew, bsNew2, bsCont, bsCont2, bsQuit, bsQuit2;
    CachedBitmap bsEnter, bsEnter2, bsCanc, bsCanc2;
    CachedBitmap bCreate, bCreate2, bJoin, bJoin2, bQuit, bQuit2;
    CachedBitmap bLaunch, bLaunch2, bLaunch3, bChall, bChall2;
    CachedBitmap bLadder, bLadder2, bZRHome, bZRHome2, bLQuit, bLQuit2;
    CachedBitmap bMyGrp, bMyGrp2, bMyGrp3, bAbout, bAbout2;
    CachedBitmap boxInvit, boxWait;
    CachedBitmap lobby1, lobby2;
    QImage bgSetup, bgLadder;
};

// The process-wide pictures.
LobbyPictures& Pictures();

}  // namespace zrt
