// Colour reduction for the palette-based pictures: a median-cut palette that keeps the
// transparency key (and any other reserved colour) as an entry of its own, and the mapping
// of every pixel to its palette index.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace lobbyres {

struct IndexedPicture {
    std::vector<QRgb> palette;     // at most maxColours entries
    std::vector<uint8_t> indexes;  // width * height, top row first
};

// Reduces `image` to at most `maxColours` colours. Each colour of `reserved` that occurs in
// the picture gets an exact entry and only pixels of exactly that colour use it, so no
// other pixel is ever turned into a reserved (key) colour.
IndexedPicture reduceColours(const QImage& image, int maxColours,
                             const std::vector<QRgb>& reserved);

}  // namespace lobbyres
