// The process-wide pictures.
#include "lobby/ui/lobby_pictures.h"

namespace zrt {

LobbyPictures& Pictures() {
    static LobbyPictures pictures;
    return pictures;
}

}  // namespace zrt
