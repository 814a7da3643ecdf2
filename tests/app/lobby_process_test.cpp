// The zrtlobby program as a process, offscreen: a second copy stops with its message while the
// first still runs, and a run without a display ends by itself at its time, also while start-up
// still shows the server's news box, without a word of its own on standard error.
#include <QDir>
#include <QProcess>
#include <QtTest>

#include "lobby/app/startup.h"
#include "tests/support/game_folder.h"
#include "tests/support/server_process.h"
#include "tests/support/temp_dir.h"

namespace {

// An offscreen zrtlobby in `folder` that saves its screens into `shots` and ends after `quitMs`.
void StartLobby(QProcess& lobby, const TestGameFolder& folder, const QString& shots, int quitMs) {
    QProcessEnvironment env = folder.environment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZRT_SCREENSHOT_DIR", shots);
    env.insert("ZRT_AUTOQUIT_MS", QString::number(quitMs));
    lobby.setProcessEnvironment(env);
    lobby.setWorkingDirectory(folder.gameDir());
    lobby.start(QString(ZRT_BIN_DIR) + "/zrtlobby");
}

// The screens saved so far whose names hold `part`.
QStringList Shots(const QString& dir, const QString& part) {
    return QDir(dir).entryList({"*" + part + "*.png"}, QDir::Files);
}

}  // namespace

class LobbyProcessTest : public QObject {
    Q_OBJECT
  private slots:
    void secondCopyStops() {
        TestGameFolder folder;
        zrttest::TempDir shots;
        const QString dir = QString::fromStdString(shots.path());
        QProcess first;
        StartLobby(first, folder, dir, 20000);
        QVERIFY(first.waitForStarted());
        // The first copy holds the single-copy lock before it shows its first window.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dir).isEmpty(QDir::Files), 20000);

        QProcess second;
        StartLobby(second, folder, dir + "/second", 3000);
        QVERIFY(second.waitForFinished(20000));
        QVERIFY(second.readAllStandardError().contains(zrt::kMsgSecondCopy));

        first.kill();
        first.waitForFinished(5000);
    }

    void endsByItselfWhileTheNewsBoxShows() {
        zrttest::ServerProcess server("127.0.3.40");
        QVERIFY(server.editConfig("\nnews = \"\"", "\nnews = \"Welcome to the demo\""));
        QVERIFY(server.start());
        TestGameFolder folder;
        folder.writeServerTxt("127.0.3.40\r\n");
        zrttest::TempDir shots;
        const QString dir = QString::fromStdString(shots.path());
        QProcess lobby;
        // Nobody confirms the news: the box stands until the program's time is up.
        StartLobby(lobby, folder, dir, 15000);
        QVERIFY(lobby.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            !Shots(dir, "News").isEmpty() || lobby.state() == QProcess::NotRunning, 60000);
        QVERIFY2(!Shots(dir, "News").isEmpty(), "the news box did not show before the time was up");
        QVERIFY(lobby.waitForFinished(60000));
        QCOMPARE(lobby.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lobby.exitCode(), 0);
        QVERIFY(!lobby.readAllStandardError().contains("zrtlobby:"));
    }
};

QTEST_MAIN(LobbyProcessTest)
#include "lobby_process_test.moc"
