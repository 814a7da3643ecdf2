// A private copy of the build's game folder in a temp dir, with its own configuration home
// (holding the stand-in game's registration) and its own runtime dir (for the single-copy lock).
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <string>

class TestGameFolder {
  public:
    TestGameFolder();

    QString gameDir() const { return root_.path() + "/game"; }
    QString configHome() const { return root_.path() + "/xdg"; }
    QString runtimeDir() const { return root_.path() + "/run"; }

    // Registers the stand-in game with the given GUID text (the right one by default).
    void registerGame(const std::string& guid);
    // Points XDG_CONFIG_HOME, XDG_CONFIG_DIRS and XDG_RUNTIME_DIR of this process at the copy.
    void useEnvironment() const;
    // This process's environment with those three pointed at the copy, for a child process.
    QProcessEnvironment environment() const;
    void writeServerTxt(const QByteArray& content) const;
    void removeLobbyRes(const QString& file) const;

  private:
    QTemporaryDir root_;
};
