// The resource loader: pictures in table order, then Server.txt.
#include "lobby/app/resource_loader.h"

#include <QFile>
#include <functional>
#include <vector>

#include "lobby/ui/jpeg_loader.h"

namespace zrt {
namespace {

// One file of the load order and where it goes.
struct Item {
    QString file;
    std::function<bool(const QString& path)> load;
};

std::function<bool(const QString&)> plain(CachedBitmap& b) {
    return [&b](const QString& path) { return b.load(path); };
}

// Transparent pictures keep only their mask and masked copy.
std::function<bool(const QString&)> keyed(MaskedBitmap& m) {
    return [&m](const QString& path) {
        CachedBitmap temp;
        if (!temp.load(path)) return false;
        m = MakeMask(temp.image(), kKeyColour);
        return !m.isNull();
    };
}

std::function<bool(const QString&)> jpeg(QImage& img) {
    return [&img](const QString& path) {
        std::optional<QImage> loaded = LoadJpegFile(path);
        if (!loaded) return false;
        img = *loaded;
        return true;
    };
}

std::vector<Item> loadOrder(LobbyPictures& p) {
    std::vector<Item> items;
    for (int i = 0; i < 12; ++i)
        items.push_back({QString::asprintf("human%02d.bmp", i + 1), plain(p.portraits[i])});
    for (int i = 0; i < 7; ++i)
        items.push_back({QString::asprintf("fiend%d.bmp", i + 1), plain(p.portraits[12 + i])});
    for (int i = 0; i < 10; ++i)
        items.push_back({QString::asprintf("digit%d.bmp", i), keyed(p.digits[i])});
    items.push_back({"tChoose.bmp", keyed(p.tChoose)});
    items.push_back({"tSearch.bmp", keyed(p.tSearch)});
    items.push_back({"tSelHall.bmp", keyed(p.tSelHall)});
    const std::pair<const char*, CachedBitmap*> bitmaps[] = {
        {"bsNew.bmp", &p.bsNew},       {"bsNew2.bmp", &p.bsNew2},     {"bsCont.bmp", &p.bsCont},
        {"bsCont2.bmp", &p.bsCont2},   {"bsQuit.bmp", &p.bsQuit},     {"bsQuit2.bmp", &p.bsQuit2},
        {"bsEnter.bmp", &p.bsEnter},   {"bsEnter2.bmp", &p.bsEnter2}, {"bsCanc.bmp", &p.bsCanc},
        {"bsCanc2.bmp", &p.bsCanc2},   {"bCreate.bmp", &p.bCreate},   {"bCreate2.bmp", &p.bCreate2},
        {"bJoin.bmp", &p.bJoin},       {"bJoin2.bmp", &p.bJoin2},     {"bQuit.bmp", &p.bQuit},
        {"bQuit2.bmp", &p.bQuit2},     {"bLaunch.bmp", &p.bLaunch},   {"bLaunch2.bmp", &p.bLaunch2},
        {"bLaunch3.bmp", &p.bLaunch3}, {"bChall.bmp", &p.bChall},     {"bChall2.bmp", &p.bChall2},
        {"bLadder.bmp", &p.bLadder},   {"bLadder2.bmp", &p.bLadder2}, {"bZRHome.bmp", &p.bZRHome},
        {"bZRHome2.bmp", &p.bZRHome2}, {"bLQuit.bmp", &p.bLQuit},     {"bLQuit2.bmp", &p.bLQuit2},
        {"bMyGrp.bmp", &p.bMyGrp},     {"bMyGrp2.bmp", &p.bMyGrp2},   {"bMyGrp3.bmp", &p.bMyGrp3},
        {"bAbout.bmp", &p.bAbout},     {"bAbout2.bmp", &p.bAbout2},   {"boxInvit.bmp", &p.boxInvit},
        {"boxWait.bmp", &p.boxWait},   {"lobby1.bmp", &p.lobby1},     {"lobby2.bmp", &p.lobby2},
    };
    for (const auto& [file, bitmap] : bitmaps) items.push_back({file, plain(*bitmap)});
    items.push_back({"bgSetup.jpg", jpeg(p.bgSetup)});
    items.push_back({"bgLadder.jpg", jpeg(p.bgLadder)});
    return items;
}

}  // namespace

LoadResult LoadLobbyResources(const QString& gameDir, LobbyPictures& pictures) {
    LoadResult result;
    const QString dir = gameDir + "/LobbyRes/";
    for (const Item& item : loadOrder(pictures)) {
        if (!item.load(dir + item.file)) {
            result.failedFile = item.file;
            return result;
        }
    }
    QFile server(dir + "Server.txt");
    if (!server.open(QIODevice::ReadOnly)) {
        result.failedFile = "Server.txt";
        return result;
    }
    std::optional<std::string> host = ParseServerTxt(server.read(256));
    if (!host) {
        result.failedFile = "Server.txt";
        return result;
    }
    result.serverAddress = *host;
    result.ok = true;
    return result;
}

}  // namespace zrt
