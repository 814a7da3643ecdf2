// Writes a picture as a baseline JPEG file with three colour components (libjpeg).
#pragma once

#include <QImage>
#include <QString>

namespace lobbyres {

// Returns false when the file cannot be opened or libjpeg reports an error.
bool writeJpeg(const QString& path, const QImage& image, int quality);

}  // namespace lobbyres
