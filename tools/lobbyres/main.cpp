// lobbyres <folder>: draws every picture of the lobby's LobbyRes into <folder>, the demo
// banners into <folder>/demo, and lastly <folder>/.stamp listing what was written.
// lobbyres --launcher <folder>: the launcher's pictures and the game's icons, then the stamp.
// Run with QT_QPA_PLATFORM=offscreen; the application object is needed for fonts.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "tools/lobbyres/banners.h"
#include "tools/lobbyres/bmp_writer.h"
#include "tools/lobbyres/gif_writer.h"
#include "tools/lobbyres/jpeg_writer.h"
#include "tools/lobbyres/launcher_pictures.h"
#include "tools/lobbyres/picture_table.h"

namespace {

bool writePicture(const QDir& dir, const lobbyres::Picture& picture) {
    const QImage image = picture.draw();
    if (image.isNull()) return false;
    const QString path = dir.filePath(picture.file);
    if (picture.kind == lobbyres::PictureKind::Jpeg) return lobbyres::writeJpeg(path, image, 90);
    return lobbyres::writeBmp(path, image, picture.bits);
}

bool fail(const QString& what) {
    std::fprintf(stderr, "lobbyres: %s\n", qPrintable(what));
    return false;
}

bool writeStamp(const QDir& dir, const QStringList& written) {
    QFile stamp(dir.filePath(".stamp"));
    if (!stamp.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail("cannot write .stamp");
    const QByteArray list = written.join('\n').toUtf8() + '\n';
    return stamp.write(list) == list.size() || fail("cannot write .stamp");
}

bool generateLobbyRes(const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("demo"))) return fail("cannot create " + folder);
    QStringList written;
    for (const lobbyres::Picture& picture : lobbyres::lobbyPictures()) {
        if (!writePicture(dir, picture)) return fail("cannot write " + dir.filePath(picture.file));
        written << picture.file;
    }
    if (!lobbyres::writeGif(dir.filePath("demo/banner_anim.gif"), lobbyres::animatedBanner()))
        return fail("cannot write demo/banner_anim.gif");
    if (!lobbyres::writeGif(dir.filePath("demo/banner_still.gif"), {{lobbyres::stillBanner(), 0}}))
        return fail("cannot write demo/banner_still.gif");
    written << "demo/banner_anim.gif"
            << "demo/banner_still.gif";
    return writeStamp(dir, written);
}

bool generateLauncher(const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) return fail("cannot create " + folder);
    QStringList written;
    for (const lobbyres::Picture& picture : lobbyres::launcherPictures()) {
        if (!writePicture(dir, picture)) return fail("cannot write " + dir.filePath(picture.file));
        written << picture.file;
    }
    for (const bool lobby : {false, true})
        for (const int size : lobbyres::kIconSizes) {
            const QString name =
                QString("%1-%2.png").arg(lobby ? "zerathon-lobby" : "zerathon").arg(size);
            if (!lobbyres::gameIcon(size, lobby).save(dir.filePath(name), "PNG"))
                return fail("cannot write " + dir.filePath(name));
            written << name;
        }
    return writeStamp(dir, written);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--launcher")
        return generateLauncher(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: lobbyres <LobbyRes folder> | lobbyres --launcher <folder>\n");
        return 2;
    }
    return generateLobbyRes(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
