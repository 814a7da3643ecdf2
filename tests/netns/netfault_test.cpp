// The lobby against a zrtserver in another network namespace, across a veth pair whose far
// end netfault_netns_test.sh (which runs this test inside the lobby's namespace) impairs or
// cuts. The server's namespace, address and link device come in ZRT_NETFAULT_SERVER_NS,
// ZRT_NETFAULT_SERVER_ADDRESS and ZRT_NETFAULT_SERVER_DEV.
//
//   lossyLinkFailsOnlyWithItsMessages  30% loss and 300 ms delay both ways: tries at signing
//                            in, entering a hall, chatting with a bot and idling, until one
//                            has chatted (at most eight, within four minutes); each failure
//                            ends with one of the lobby's messages, and a sign-in gets through
//   stoppedServerIsNoticed   SIGSTOP while a dialog waits for the server: the wait ends, then
//                            "Connection with Lobby Server has Lost" and the screen closes;
//                            after SIGCONT the server has dropped the lobby, serves a newcomer
//   cutLinkIsNoticed         the server's end of the link goes down: the lost connection is
//                            reported while the lobby screen keeps taking input; once the link
//                            is back the server drops the vanished lobby by itself
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include "lobby/app/chat_view.h"
#include "lobby/app/lobby_view.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/app/startup_servers.h"
#include "lobby/net/account_actions.h"
#include "lobby/session/group_actions.h"
#include "lobby/session/hall_list.h"
#include "lobby/session/hall_presence.h"
#include "lobby/session/session_ui.h"
#include "lobby/ui/create_group_dialog.h"
#include "lobby/ui/hall_window.h"
#include "lobby/ui/two_column_list_box.h"
#include "playnet/client.h"
#include "tests/support/game_folder.h"
#include "tests/support/hall_bot.h"
#include "tests/support/lobby_road.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/server_process.h"

namespace {

// What a silent link may take to be noticed (6.5 s), with room for a loaded machine.
constexpr int kLostWithinMs = 6500 + 8500;

QString Env(const char* name) {
    return qEnvironmentVariable(name);
}

// The current player count of a hall as the server's enumeration reports it (-1: not listed).
int HallPlayers(const std::string& address, const std::string& hall) {
    playnet::Client client;
    if (client.InitializeConnection(address) != playnet::Result::Ok) return -1;
    std::vector<playnet::SessionDesc> sessions;
    client.EnumSessions(zrt::HallApplication(), sessions, 3000);
    for (const playnet::SessionDesc& s : sessions)
        if (s.name == hall) return static_cast<int>(s.currentPlayers);
    return -1;
}

bool SetServerLink(bool up) {
    return QProcess::execute("ip", {"-n", Env("ZRT_NETFAULT_SERVER_NS"), "link", "set", "dev",
                                    Env("ZRT_NETFAULT_SERVER_DEV"), up ? "up" : "down"}) == 0;
}

}  // namespace

class NetFaultTest : public QObject {
    Q_OBJECT

    QString address_ = Env("ZRT_NETFAULT_SERVER_ADDRESS");
    std::unique_ptr<zrttest::ServerProcess> server_;
    std::unique_ptr<TestGameFolder> folder_;
    std::unique_ptr<ModalWatcher> errors_;
    QString password_;
    QPointer<zrt::LobbyWnd> lobby_;

    // A fresh server and game folder, and ALICE's account on it.
    void startServer() {
        server_ = std::make_unique<zrttest::ServerProcess>(
            address_.toStdString(), "", "", Env("ZRT_NETFAULT_SERVER_NS").toStdString());
        QVERIFY(server_->start());
        folder_ = std::make_unique<TestGameFolder>();
        errors_ = std::make_unique<ModalWatcher>();
        folder_->writeServerTxt(address_.toLatin1() + "\r\n");
        folder_->useEnvironment();
        password_ = CreateLobbyAccount(*server_, folder_->gameDir(), "ALICE");
        QVERIFY(!password_.isEmpty());
    }

    // ALICE, signed in, enters the amateur hall. A join waits at most 10 s for the server; a
    // slow link can take longer, and the user then tries again.
    bool enterHall() {
        for (int attempt = 0; attempt < 3 && !lobby_; ++attempt) {
            zrt::HallWindow* halls = VisibleTopLevel<zrt::HallWindow>();
            if (!halls) return false;
            lobby_ = EnterHall(halls, "Amateur");
        }
        return lobby_;
    }

    // A bot joins ALICE's hall and they chat both ways; false when the stay ended first.
    bool chatWithABot() {
        zrttest::HallBot bot(60000);
        if (!bot.enter(*server_, "Amateur Hall", "BOT1")) return false;
        auto shows = [this](const QString& text, bool players) {
            return QTest::qWaitFor(
                       [&] {
                           if (!lobby_) return true;
                           zrt::ChatView* chat = lobby_->chatView();
                           return ListHolds(players ? chat->playerList() : chat->chatList(), text);
                       },
                       60000) &&
                   lobby_;
        };
        if (!shows("BOT1", true)) return false;
        bot.say("through the storm");
        if (!shows("through the storm", false)) return false;
        QLineEdit* input = lobby_->chatView()->chatInput();
        input->setText("slowly but surely");
        QTest::keyClick(input, Qt::Key_Return);
        return bot.heard("slowly but surely") && lobby_;
    }

    bool lostReported() const { return errors_->messages.contains(QString(zrt::kSessionLostText)); }

    // After the lobby vanished: the server drops it and takes a newcomer.
    void serverServesAgain() {
        const std::string address = address_.toStdString();
        QTRY_COMPARE_WITH_TIMEOUT(HallPlayers(address, "Amateur Hall"), 1, 30000);
        zrttest::HallBot newcomer;
        QVERIFY(newcomer.enter(*server_, "Amateur Hall", "LATE"));
        QTRY_COMPARE_WITH_TIMEOUT(HallPlayers(address, "Amateur Hall"), 2, 15000);
    }

  private slots:
    void init() { QVERIFY2(!address_.isEmpty(), "run through netfault_netns_test.sh"); }
    void cleanup() {
        if (errors_) qInfo() << "boxes shown:" << errors_->messages;
        if (lobby_) lobby_->close();
        QTRY_VERIFY_WITH_TIMEOUT(VisibleTopLevel<zrt::LobbyWnd>() == nullptr, 15000);
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        errors_.reset();
        server_.reset();
        folder_.reset();
    }

    void lossyLinkFailsOnlyWithItsMessages() {
        startServer();
        if (QTest::currentTestFailed()) return;
        // On such a link TCP stalls now and then for longer than the 10 s the lobby waits for
        // an answer, and for longer than the heartbeat's 6 s: some sign-ins, hall joins and
        // stays fail. What must hold is that every failure ends in time with the lobby's own
        // message, the user can try again, and a sign-in gets through. How far each try got
        // is reported. The user tries again until a try has chatted, while the budget lasts:
        // each step has its own bound, so a try that starts in time ends in time too. A failed
        // try ends within seconds, and at this loss two or three in a row are not rare.
        int tries = 0, signedIn = 0, entered = 0, chatted = 0;
        const QDeadlineTimer budget(240000);
        for (int attempt = 0; attempt < 8 && chatted == 0 && !budget.hasExpired(); ++attempt) {
            ++tries;
            for (QWidget* w : QApplication::topLevelWidgets()) w->close();
            lobby_ = nullptr;
            if (!SignIn(folder_->gameDir(), password_)) continue;
            ++signedIn;
            if (!enterHall()) continue;
            ++entered;
            if (chatWithABot()) ++chatted;
            if (budget.remainingTime() > 20000) QTest::qWait(20000);  // idle: heartbeats only
            if (lobby_) lobby_->close();
        }
        const QStringList known = {zrt::kSessionLostText,   zrt::kCannotCreatePlayerText,
                                   zrt::kNoWelcomeText,     zrt::HallWindow::kJoinFailureText,
                                   zrt::kMsgVersionServer,  zrt::kMsgDatabaseServer,
                                   zrt::kMsgConnectionError};
        qInfo() << "of" << tries << "tries:" << signedIn << "signed in," << entered
                << "entered the hall," << chatted << "chatted both ways";
        for (const QString& line : QString::fromStdString(server_->log()).split('\n'))
            if (line.contains("links cut")) qInfo() << "server:" << line;
        for (const QString& message : errors_->messages)
            QVERIFY2(known.contains(message), qPrintable(message));
        QVERIFY(signedIn > 0);
    }

    void stoppedServerIsNoticed() {
        startServer();
        QVERIFY(!QTest::currentTestFailed() && SignIn(folder_->gameDir(), password_) &&
                enterHall());
        QVERIFY(server_->pause());
        // The group creation dialog waits for a group id that cannot come.
        QTimer accept;
        connect(&accept, &QTimer::timeout, [] {
            if (auto* d = qobject_cast<zrt::CreateGroupDialog*>(QApplication::activeModalWidget()))
                d->accept();
        });
        accept.start(50);
        zrt::LobbyView* view = lobby_->lobbyView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->toViewport({73, 138}));
        // The click returns once the dialog's bounded wait has ended. The loss, noticed during
        // the wait, is reported under the wait's own box (which then goes with the screen).
        QTRY_VERIFY_WITH_TIMEOUT(lostReported(), kLostWithinMs);
        QTRY_VERIFY_WITH_TIMEOUT(lobby_.isNull() || !lobby_->isVisible(), 10000);
        QVERIFY(server_->resume());
        serverServesAgain();
    }

    void cutLinkIsNoticed() {
        startServer();
        QVERIFY(!QTest::currentTestFailed() && SignIn(folder_->gameDir(), password_) &&
                enterHall());
        QPointer<QLineEdit> input = lobby_->chatView()->chatInput();
        input->clear();
        QVERIFY(SetServerLink(false));
        // Until the loss is noticed the screen takes what is typed.
        QString typed;
        while (!lostReported() && input && typed.size() < 200) {
            QTest::keyClick(input, Qt::Key_A);
            typed += 'a';
            if (input) QCOMPARE(input->text(), typed);
            QTest::qWait(100);
        }
        QTRY_VERIFY_WITH_TIMEOUT(lostReported(), kLostWithinMs);
        QVERIFY(typed.size() > 1);
        QTRY_VERIFY_WITH_TIMEOUT(lobby_.isNull() || !lobby_->isVisible(), 10000);
        QVERIFY(SetServerLink(true));
        serverServesAgain();
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    NetFaultTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "netfault_test.moc"
