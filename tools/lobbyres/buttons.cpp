// The button pictures: name, size, label and the states each one has (normal, hover and,
// for the two tool buttons that can be unavailable, a greyed third state).
#include "tools/lobbyres/look.h"
#include "tools/lobbyres/picture_table.h"

namespace lobbyres {
namespace {

struct ButtonSpec {
    const char* stem;
    QSize size;
    const char* label;
    int pixelSize;
    bool greyed;  // has a third, inactive state
    int bits;     // depth of the normal and hover files
};

// Login and hall screens: three side by side in 660 pixels with 20-pixel gaps (width <= 206).
// Lobby: left column buttons sit 26 pixels apart in a 110-wide pane; the tool row buttons
// start at x 70, 154, 244 and 359; the group buttons at x 433.
const ButtonSpec kButtons[] = {
    {"bsNew", {180, 40}, "New", 20, false, 24},
    {"bsCont", {180, 40}, "Continue", 20, false, 24},
    {"bsQuit", {180, 40}, "Quit", 20, false, 24},
    {"bsEnter", {180, 40}, "Enter", 20, false, 24},
    {"bsCanc", {180, 40}, "Cancel", 20, false, 24},
    {"bCreate", {78, 26}, "Create", 14, false, 24},
    {"bJoin", {60, 24}, "Join", 14, false, 24},
    {"bQuit", {60, 24}, "Quit", 14, false, 24},
    {"bLaunch", {84, 26}, "Launch", 14, true, 24},
    {"bChall", {94, 24}, "Halls", 14, false, 24},
    {"bLadder", {94, 24}, "Ladder", 14, false, 24},
    {"bZRHome", {94, 24}, "Home Page", 14, false, 24},
    {"bLQuit", {94, 24}, "Quit", 14, false, 24},
    {"bMyGrp", {108, 26}, "My Group", 14, true, 24},
    {"bAbout", {70, 26}, "About", 14, false, 8},
};

}  // namespace

void addButtonPictures(std::vector<Picture>& out) {
    for (const ButtonSpec& b : kButtons) {
        const QString stem = QString::fromLatin1(b.stem), label = QString::fromLatin1(b.label);
        const QSize size = b.size;
        const int px = b.pixelSize;
        out.push_back({stem + ".bmp", PictureKind::Bmp, b.bits,
                       [=] { return buttonImage(size, label, ButtonState::Normal, px); }});
        out.push_back({stem + "2.bmp", PictureKind::Bmp, b.bits,
                       [=] { return buttonImage(size, label, ButtonState::Hover, px); }});
        // The greyed state has few colours, so it is stored with 16.
        if (b.greyed)
            out.push_back({stem + "3.bmp", PictureKind::Bmp, 4,
                           [=] { return buttonImage(size, label, ButtonState::Inactive, px); }});
    }
}

}  // namespace lobbyres
