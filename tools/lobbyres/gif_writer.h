// Writes GIF89a pictures with giflib: a still picture, or an animation whose frames share
// one global palette, with per-frame delays and the looping application extension.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace lobbyres {

struct GifFrame {
    QImage image;      // every frame as large as the first
    int delayCs = 20;  // hundredths of a second
};

// One frame writes a still picture (no looping extension); several write an animation that
// loops forever. Returns false on any giflib failure.
bool writeGif(const QString& path, const std::vector<GifFrame>& frames);

}  // namespace lobbyres
