// The table of every file that the generator writes into LobbyRes: name, kind, bit depth
// and the function that draws it.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace lobbyres {

enum class PictureKind { Bmp, Jpeg };

struct Picture {
    QString file;  // name inside LobbyRes
    PictureKind kind;
    int bits;  // BMP bits per pixel; 24 for JPEG
    std::function<QImage()> draw;
};

// In the order the lobby loads them.
std::vector<Picture> lobbyPictures();

// The buttons of the three painted screens and the lobby's panes.
void addButtonPictures(std::vector<Picture>& out);

}  // namespace lobbyres
