// The game launch end to end: three real lobbies (lobby_driver processes) in one hall of a real
// zrtserver. The host's group of two is launched; both games start, meet, play and write the
// result; both lobbies say goodbye and end; the third lobby sees the group marked launched. A
// new login of each player then reports the new figures and the ladder orders them so.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "lobby/app/lobby_view.h"
#include "lobby/app/lobby_view_hit.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/data/profile_lists.h"
#include "lobby/net/account_actions.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/server_exchange.h"
#include "lobby/session/game_launcher.h"
#include "lobby/session/group_actions.h"
#include "lobby/session/launch_log.h"
#include "lobby/session/lobby_session.h"
#include "tests/support/game_folder.h"
#include "tests/support/hall_bot.h"
#include "tests/support/lobby_road.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/server_process.h"

namespace {

constexpr const char* kAddress = "127.0.13.30";
constexpr const char* kInTheHall = "in the hall";  // what a lobby_driver prints once there

struct Player {
    std::string stem;
    QString role;
    TestGameFolder folder;
    QString password;
    std::unique_ptr<QProcess> driver;

    zrt::ProfileEntry entry() const {
        zrt::ProfileLists lists;
        zrt::ScanProfiles(folder.gameDir().toStdString(), lists);
        return lists.registered.empty() ? zrt::ProfileEntry{} : lists.registered[0];
    }
    QByteArray launchLog() const {
        QFile f(folder.gameDir() + "/" + zrt::kLaunchLogFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// The log's lines, in order.
QStringList lines(const QByteArray& log) {
    QStringList l = QString::fromLatin1(log).split("\r\n");
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

}  // namespace

class GameLaunchTest : public QObject {
    Q_OBJECT
  private slots:
    void groupLaunchesPlaysAndTheLadderFollows() {
        zrttest::ServerProcess server(kAddress);
        QVERIFY(server.start());
        const QString shots = ZRT_SCREENSHOT_DIR;
        QDir().mkpath(shots);
        Player players[3];
        players[0].stem = "CLARA", players[0].role = "observer";
        players[1].stem = "BORIS", players[1].role = "member";
        players[2].stem = "ALICE", players[2].role = "host";
        for (Player& p : players) {
            p.folder.writeServerTxt(QByteArray(kAddress) + "\r\n");
            p.password = CreateLobbyAccount(server, p.folder.gameDir(), p.stem);
            QVERIFY(!p.password.isEmpty());
        }
        // The observer and the member are in the hall before the host makes the group.
        for (Player& p : players) {
            p.driver = std::make_unique<QProcess>();
            p.driver->setProcessEnvironment(p.folder.environment());
            p.driver->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.driver->start(QString(ZRT_BIN_DIR) + "/lobby_driver",
                            {p.role, p.folder.gameDir(), p.password, shots});
            QVERIFY(p.driver->waitForStarted());
            QByteArray said;
            QVERIFY2(QTest::qWaitFor(
                         [&] {
                             said += p.driver->readAllStandardOutput();
                             return said.contains(kInTheHall) ||
                                    p.driver->state() == QProcess::NotRunning;
                         },
                         120000) &&
                         said.contains(kInTheHall),
                     qPrintable(p.role + " did not enter the hall"));
        }
        for (Player& p : players) {
            QVERIFY2(p.driver->waitForFinished(240000), qPrintable(p.role));
            QCOMPARE(p.driver->exitStatus(), QProcess::NormalExit);
            QVERIFY2(p.driver->exitCode() == 0, qPrintable(p.role + " did not go as planned"));
        }

        // Both games played the match and recorded it; the observer played nothing.
        Player& host = players[2];
        Player& member = players[1];
        QTRY_VERIFY_WITH_TIMEOUT(host.entry().won + host.entry().lost == 1 &&
                                     member.entry().won + member.entry().lost == 1,
                                 60000);
        QCOMPARE(host.entry().won + member.entry().won, 1);
        QCOMPARE(players[0].entry().won + players[0].entry().lost, 0);
        for (Player* p : {&host, &member}) {
            const QStringList log = lines(p->launchLog());
            QVERIFY2(log.indexOf("DPLSYS_CONNECTIONSETTINGSREAD") >= 0, qPrintable(log.join("|")));
            QVERIFY2(log.indexOf("DPLSYS_DPLAYCONNECTSUCCEEDED") >
                         log.indexOf("DPLSYS_CONNECTIONSETTINGSREAD"),
                     qPrintable(log.join("|")));
            QCOMPARE(log.last(), QString("DPERR_NOMESSAGES"));
        }

        // A new login of each reports the figures; the ladder then ranks the winner first.
        for (Player* p : {&host, &member}) {
            zrt::ServerExchange login(kAddress, 1694);
            login.setRequest(
                zrt::LoginRequestBytes(p->entry(), p->password.toStdString(), zrt::Today()));
            QVERIFY(login.run() > 0);
            QVERIFY(zrt::ReadLoginReply(login.reply()).accepted);
        }
        zrt::ServerExchange ladder(kAddress, 1694);
        ladder.setRequest(zrt::encodeLadderRequest());
        QVERIFY(ladder.run() > 0);
        const std::vector<zrt::LadderEntry> rows =
            zrt::decodeLadderReply(ladder.reply().data(), ladder.reply().size());
        QVERIFY(rows.size() >= 2);
        const zrt::ProfileEntry winner = host.entry().won ? host.entry() : member.entry();
        const zrt::ProfileEntry loser = host.entry().won ? member.entry() : host.entry();
        QCOMPARE(QString::fromStdString(rows[0].loginName),
                 QString::fromStdString(winner.loginName));
        QCOMPARE(rows[0].stats.score, winner.score);
        QCOMPARE(rows[0].stats.score, uint16_t(110));
        QCOMPARE(rows.back().stats.score, uint16_t(90));
        QCOMPARE(QString::fromStdString(rows.back().loginName),
                 QString::fromStdString(loser.loginName));
    }

    // A host whose game cannot be started is told so, its lobby ends, and the hall hears of no
    // launch. (A group continuing a saved game may launch alone.)
    void hostWhoseGameCannotStartSendsNoLaunch() {
        zrttest::ServerProcess server("127.0.13.31");
        QVERIFY(server.start());
        TestGameFolder folder;
        folder.writeServerTxt("127.0.13.31\r\n");
        folder.useEnvironment();
        const QString password = CreateLobbyAccount(server, folder.gameDir(), "ALICE");
        QVERIFY(!password.isEmpty());
        ModalWatcher errors;
        QPointer<zrt::LobbyWnd> lobby = SignInAndEnterHall(folder.gameDir(), password, "Amateur");
        QVERIFY(lobby);
        zrttest::HallBot bot;
        QVERIFY(bot.enter(server, "Amateur Hall", "BOT1"));
        zrt::NewGroup group;
        group.savedGameChoice = 0;
        group.title = "Alone";
        QCOMPARE(lobby->context().groups->CreateGroup(group), zrt::GroupResult::Sent);
        zrt::LobbySession& session = *lobby->context().session;
        QTRY_VERIFY_WITH_TIMEOUT(session.hall.ownGroupStatus().launchable, 10000);
        QVERIFY(QFile::remove(folder.gameDir() + "/zrtgame"));  // the game went missing

        zrt::LobbyView* view = lobby->lobbyView();
        // A click is hit-tested against the hall itself: Launch is there once launchable.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->toViewport({zrt::kLaunchX + 3, zrt::kToolRowY + 3}));
        QTRY_VERIFY_WITH_TIMEOUT(lobby.isNull() || !lobby->isVisible(), 10000);
        QCOMPARE(errors.messages, QStringList{zrt::kHostLaunchFailedText});
        QVERIFY(!QFile::exists(folder.gameDir() + "/" + zrt::kLaunchLogFile));
        // The host's player leaves the hall after anything it sent, a launch included.
        auto seen = bot.until(
            [](const zrttest::BotMessage& m) { return m.code() == zrt::MSG_PLAYER_LEFT; });
        QVERIFY(seen);
        const std::vector<uint32_t> codes = zrttest::codesOf(*seen);
        QVERIFY(std::count(codes.begin(), codes.end(), zrt::MSG_GROUP_CREATED) == 1);
        QVERIFY(std::count(codes.begin(), codes.end(), zrt::MSG_LAUNCH) == 0);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    GameLaunchTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "game_launch_test.moc"
