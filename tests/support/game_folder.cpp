#include "tests/support/game_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "lobby/app/startup.h"
#include "playnet/registration.h"

namespace {

void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString src = it.next();
        QString dst = to + "/" + QDir(from).relativeFilePath(src);
        if (it.fileInfo().isSymLink()) continue;  // the game's program link is made anew
        if (it.fileInfo().isDir())
            QDir().mkpath(dst);
        else
            QFile::copy(src, dst);
    }
}

}  // namespace

TestGameFolder::TestGameFolder() {
    copyTree(ZRT_GAME_DIR, gameDir());
    QDir().mkpath(configHome());
    // A runtime folder is private to its user; Qt warns about any other mode.
    QDir().mkpath(runtimeDir());
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    registerGame(zrt::kGameGuid);
}

void TestGameFolder::registerGame(const std::string& guid) {
    // As "zrtgame register" does: the game folder holds the program (a link to the build's).
    QFile::remove(gameDir() + "/zrtgame");
    QFile::link(QString(ZRT_BIN_DIR) + "/zrtgame", gameDir() + "/zrtgame");
    playnet::WriteRegistration(zrt::kGameAppName, {gameDir().toStdString(), "zrtgame", guid},
                               configHome().toStdString());
}

void TestGameFolder::useEnvironment() const {
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("XDG_CONFIG_DIRS", (root_.path() + "/none").toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtimeDir().toUtf8());
}

QProcessEnvironment TestGameFolder::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configHome());
    env.insert("XDG_CONFIG_DIRS", root_.path() + "/none");
    env.insert("XDG_RUNTIME_DIR", runtimeDir());
    return env;
}

void TestGameFolder::writeServerTxt(const QByteArray& content) const {
    QFile f(gameDir() + "/LobbyRes/Server.txt");
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(content);
}

void TestGameFolder::removeLobbyRes(const QString& file) const {
    QFile::remove(gameDir() + "/LobbyRes/" + file);
}
