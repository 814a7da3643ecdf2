// Two demo advertising banners (468 x 60) for trying the banner pane without a server.
#pragma once

#include <vector>

#include "tools/lobbyres/gif_writer.h"

namespace lobbyres {

std::vector<GifFrame> animatedBanner();
QImage stillBanner();

}  // namespace lobbyres
