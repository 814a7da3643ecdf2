// The lobby screen with a banner, end to end: a real zrtserver offers the generated demo
// banners as records and a scripted web server serves them. The banner pane sits above the
// groups and animates, a refresh replaces it, and the lobby screen closes at once during a
// refresh whose database server never answers.
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QtTest>

#include "lobby/app/gif_view.h"
#include "lobby/app/lobby_view.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/data/process_state.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_road.h"
#include "tests/support/screenshot.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/server_process.h"

namespace {

std::string demoBanner(const TestGameFolder& folder, const char* name) {
    QFile f(folder.gameDir() + "/LobbyRes/demo/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

}  // namespace

class LobbyBannerTest : public QObject {
    Q_OBJECT
  private slots:
    void bannerAboveTheGroupsRefreshedAndClosedDuringARefresh() {
        TestGameFolder folder;
        const std::string animated = demoBanner(folder, "banner_anim.gif");
        const std::string still = demoBanner(folder, "banner_still.gif");
        QVERIFY(!animated.empty() && !still.empty());
        ScriptedPeer web("127.0.15.2");
        web.on("/anim.gif", {HttpAnswer(200, animated)});
        web.on("/still.gif", {HttpAnswer(200, still)});
        zrttest::ServerProcess server("127.0.15.1");
        QVERIFY(server.addBanner(web.url("/anim.gif"), "http://ads.example/"));
        QVERIFY(server.addBanner(web.url("/still.gif"), "http://ads.example/"));
        QVERIFY(server.start());

        folder.writeServerTxt(QByteArray::fromStdString(server.address()) + "\r\n");
        folder.useEnvironment();
        const QString password = CreateLobbyAccount(server, folder.gameDir(), "ALICE");
        QPointer<zrt::LobbyWnd> lobby = SignInAndEnterHall(folder.gameDir(), password, "Amateur");
        QVERIFY(lobby);
        zrt::GifView* gif = lobby->gifView();
        QVERIFY(gif);
        QCOMPARE(gif->geometry(), QRect(111, 1, 590, 60));
        QCOMPARE(lobby->lobbyView()->geometry(), QRect(111, 61, 590, 330));
        QVERIFY(gif->animating());
        QCoreApplication::processEvents();  // the panes' pending layout
        screenshot(*lobby, "lobby_banner_first_frame");
        gif->AnimationStep();
        gif->AnimationStep();
        screenshot(*lobby, "lobby_banner_animated");

        // The refresh brings the server's next record: the still banner.
        gif->RefreshBanner();
        QTRY_VERIFY_WITH_TIMEOUT(!gif->animating(), 10000);
        QCOMPARE(zrt::Process().banner, std::vector<unsigned char>(still.begin(), still.end()));
        screenshot(*lobby, "lobby_banner_still");

        // The database server stops answering; closing the lobby screen breaks the refresh off.
        ScriptedPeer silent("127.0.15.3", 1694);
        silent.on("", {"", 0, 0, true});
        zrt::Process().serverAddress = "127.0.15.3";
        gif->RefreshBanner();
        QTRY_COMPARE_WITH_TIMEOUT(silent.requests(), 1, 5000);
        lobby->close();
        QTRY_VERIFY_WITH_TIMEOUT(lobby.isNull(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(silent.hangUps(), 1, 5000);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    LobbyBannerTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "lobby_banner_test.moc"
