// Median-cut colour reduction with reserved exact entries (see palette.h).
#include "tools/lobbyres/palette.h"

#include <QHash>
#include <algorithm>
#include <array>

namespace lobbyres {
namespace {

struct Weighted {
    QRgb colour;
    uint32_t count;
};

using Box = std::vector<Weighted>;

int channel(QRgb c, int ch) {
    return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c);
}

// The channel with the widest spread of a box, and that spread.
std::pair<int, int> widestChannel(const Box& box) {
    std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
    for (const Weighted& w : box)
        for (int ch = 0; ch < 3; ++ch) {
            lo[ch] = std::min(lo[ch], channel(w.colour, ch));
            hi[ch] = std::max(hi[ch], channel(w.colour, ch));
        }
    int best = 0;
    for (int ch = 1; ch < 3; ++ch)
        if (hi[ch] - lo[ch] > hi[best] - lo[best]) best = ch;
    return {best, hi[best] - lo[best]};
}

QRgb average(const Box& box) {
    uint64_t r = 0, g = 0, b = 0, n = 0;
    for (const Weighted& w : box) {
        r += uint64_t(qRed(w.colour)) * w.count;
        g += uint64_t(qGreen(w.colour)) * w.count;
        b += uint64_t(qBlue(w.colour)) * w.count;
        n += w.count;
    }
    if (n == 0) return qRgb(0, 0, 0);
    return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
}

std::vector<QRgb> medianCut(Box colours, int boxesWanted) {
    std::vector<Box> boxes;
    boxes.push_back(std::move(colours));
    while (int(boxes.size()) < boxesWanted) {
        // Split the box whose widest channel spreads furthest; stop when none can split.
        int pick = -1, pickSpread = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            int spread = widestChannel(boxes[i]).second;
            if (pick < 0 || spread > pickSpread) {
                pick = int(i);
                pickSpread = spread;
            }
        }
        if (pick < 0) break;
        Box& box = boxes[size_t(pick)];
        int ch = widestChannel(box).first;
        std::stable_sort(box.begin(), box.end(), [ch](const Weighted& a, const Weighted& b) {
            return channel(a.colour, ch) < channel(b.colour, ch);
        });
        uint64_t total = 0;
        for (const Weighted& w : box) total += w.count;
        uint64_t run = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.size(); ++i) {
            run += box[i].count;
            cut = i + 1;
            if (run * 2 >= total) break;
        }
        Box upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> out;
    for (const Box& box : boxes) out.push_back(average(box));
    return out;
}

int distance(QRgb a, QRgb b) {
    int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

IndexedPicture reduceColours(const QImage& source, int maxColours,
                             const std::vector<QRgb>& reserved) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, uint32_t> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) counts[row[x] | 0xff000000u] += 1;
    }

    IndexedPicture out;
    for (QRgb key : reserved)
        if (counts.contains(key | 0xff000000u)) out.palette.push_back(key | 0xff000000u);
    const size_t reservedCount = out.palette.size();

    Box rest;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        if (std::find(out.palette.begin(), out.palette.end(), it.key()) == out.palette.end())
            rest.push_back({it.key(), it.value()});
    // The hash's order changes from run to run; sorting keeps the output the same every time.
    std::sort(rest.begin(), rest.end(),
              [](const Weighted& a, const Weighted& b) { return a.colour < b.colour; });
    const int room = maxColours - int(reservedCount);
    if (int(rest.size()) <= room) {
        for (const Weighted& w : rest) out.palette.push_back(w.colour);
    } else {
        for (QRgb c : medianCut(std::move(rest), room)) out.palette.push_back(c);
    }

    QHash<QRgb, uint8_t> chosen;
    out.indexes.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x] | 0xff000000u;
            auto hit = chosen.constFind(c);
            if (hit != chosen.constEnd()) {
                out.indexes.push_back(hit.value());
                continue;
            }
            size_t best = 0;
            bool found = false;
            for (size_t i = 0; i < reservedCount; ++i)
                if (out.palette[i] == c) {
                    best = i;
                    found = true;
                }
            if (!found) {
                int bestDistance = 0;
                for (size_t i = reservedCount; i < out.palette.size(); ++i) {
                    int d = distance(c, out.palette[i]);
                    if (!found || d < bestDistance) {
                        best = i;
                        bestDistance = d;
                        found = true;
                    }
                }
            }
            chosen.insert(c, uint8_t(best));
            out.indexes.push_back(uint8_t(best));
        }
    }
    return out;
}

}  // namespace lobbyres
