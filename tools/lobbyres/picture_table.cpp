// The table of LobbyRes pictures (see picture_table.h) and the bit depth each is stored in:
// 24 bits for most, a 256-colour palette for the portraits and the group row strip, 16
// colours for the digits, boxes and one title, and 2 colours for the plain title.
#include "tools/lobbyres/picture_table.h"

#include "tools/lobbyres/marks.h"
#include "tools/lobbyres/portraits.h"
#include "tools/lobbyres/screens.h"

namespace lobbyres {

std::vector<Picture> lobbyPictures() {
    std::vector<Picture> out;
    for (int i = 0; i < kPortraitCount; ++i) {
        const QString name = i < 12 ? QString::asprintf("human%02d.bmp", i + 1)
                                    : QString::asprintf("fiend%d.bmp", i - 11);
        out.push_back({name, PictureKind::Bmp, 8, [i] { return portraitImage(i); }});
    }
    for (int d = 0; d < 10; ++d)
        out.push_back({QString::asprintf("digit%d.bmp", d), PictureKind::Bmp, 4,
                       [d] { return digitImage(d); }});
    out.push_back({"tChoose.bmp", PictureKind::Bmp, 4,
                   [] { return titleImage(QStringLiteral("Choose Your Player"), false); }});
    out.push_back({"tSearch.bmp", PictureKind::Bmp, 1,
                   [] { return titleImage(QStringLiteral("Searching for Halls..."), true); }});
    out.push_back({"tSelHall.bmp", PictureKind::Bmp, 24,
                   [] { return titleImage(QStringLiteral("Select a Hall"), false); }});
    addButtonPictures(out);
    out.push_back({"boxInvit.bmp", PictureKind::Bmp, 4, [] { return emptyPlaceImage(true); }});
    out.push_back({"boxWait.bmp", PictureKind::Bmp, 4, [] { return emptyPlaceImage(false); }});
    out.push_back({"lobby1.bmp", PictureKind::Bmp, 24, lobbyHeader});
    out.push_back({"lobby2.bmp", PictureKind::Bmp, 8, lobbyRowStrip});
    out.push_back({"bgSetup.jpg", PictureKind::Jpeg, 24, setupBackground});
    out.push_back({"bgLadder.jpg", PictureKind::Jpeg, 24, ladderBackground});
    return out;
}

}  // namespace lobbyres
