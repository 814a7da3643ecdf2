// The whole road through the lobby against a real zrtserver: start-up, sign-in with a mailed
// password, the hall list, entering a hall where a bot player sits, chatting both ways, back
// to the halls, and out.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include "lobby/app/chat_view.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/ui/hall_window.h"
#include "lobby/ui/news_box.h"
#include "lobby/ui/two_column_list_box.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_bot.h"
#include "tests/support/lobby_road.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/server_process.h"

namespace {

constexpr const char* kAddress = "127.0.13.1";

}  // namespace

class LobbyJourneyTest : public QObject {
    Q_OBJECT
private slots:
    void signInEnterChatAndLeave() {
        ServerProcess server(kAddress);
        QVERIFY(server.start());
        TestGameFolder folder;
        const QString password = CreateAliceAccount(server, folder);
        QVERIFY(!password.isEmpty());

        // Start-up, sign-in with the mailed password: the hall list.
        zrt::HallWindow* halls = SignInAlice(folder, password);
        QVERIFY(halls);
        QDir().mkpath(ZRT_SCREENSHOT_DIR);
        halls->grab().save(QString(ZRT_SCREENSHOT_DIR) + "/journey_halls.png");

        // Enter the amateur hall.
        zrt::LobbyWnd* lobby = EnterHall(halls, "Amateur Hall");
        QVERIFY(lobby);
        QTRY_VERIFY_WITH_TIMEOUT(lobby->windowTitle().startsWith("ZRTH Lobby [ 1 / 0 ]"), 10000);

        // A bot joins: it is listed, and chat goes both ways.
        LobbyBot bot;
        QVERIFY(bot.join(kAddress, "Amateur Hall", "BOT1"));
        zrt::ChatView* chat = lobby->chatView();
        QTRY_VERIFY_WITH_TIMEOUT(ListHolds(chat->playerList(), "BOT1"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(lobby->windowTitle().startsWith("ZRTH Lobby [ 2 / 0 ]"), 10000);
        bot.say("hello from the bot");
        QTRY_VERIFY_WITH_TIMEOUT(ListHolds(chat->chatList(), "hello from the bot"), 10000);
        QLineEdit* input = chat->chatInput();
        QVERIFY(input);
        input->setText("hello from alice");
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(bot.waitForChat("hello from alice", 10000));
        QTRY_VERIFY_WITH_TIMEOUT(ListHolds(chat->chatList(), "hello from alice"), 10000);
        lobby->grab().save(QString(ZRT_SCREENSHOT_DIR) + "/journey_lobby.png");

        // Back to the halls, then out.
        lobby->setReturnToHalls(true);
        lobby->close();
        QTRY_VERIFY_WITH_TIMEOUT(TopLevel<zrt::HallWindow>() != nullptr, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(TopLevel<zrt::LobbyWnd>() == nullptr, 10000);
        TopLevel<zrt::HallWindow>()->close();
        QTRY_VERIFY_WITH_TIMEOUT(TopLevel<zrt::HallWindow>() == nullptr, 10000);
    }
};

// Signs ALICE in against `server` and enters the amateur hall: the lobby screen, or nullptr.
zrt::LobbyWnd* enterAmateurHall(ServerProcess& server, TestGameFolder& folder) {
    const QString password = CreateAliceAccount(server, folder);
    zrt::HallWindow* halls = password.isEmpty() ? nullptr : SignInAlice(folder, password);
    return halls ? EnterHall(halls, "Amateur") : nullptr;
}

class LobbyEndingsTest : public QObject {
    Q_OBJECT
private slots:
    void lostServerClosesTheLobby() {
        ServerProcess server("127.0.13.2");
        QVERIFY(server.start());
        TestGameFolder folder;
        ModalWatcher errors;
        QPointer<zrt::LobbyWnd> lobby = enterAmateurHall(server, folder);
        QVERIFY(lobby);
        server.stop();
        QTRY_VERIFY_WITH_TIMEOUT(lobby.isNull() || !lobby->isVisible(), 15000);
        QVERIFY(errors.messages.contains("Connection with Lobby Server has Lost"));
    }

    void hallNewsIsShownOnEntry() {
        ServerProcess server("127.0.13.4");
        QVERIFY(server.editConfig("entry_news = \"\"", "entry_news = \"Tournament tonight\""));
        QVERIFY(server.start());
        TestGameFolder folder;
        QString news;
        QTimer catcher;
        connect(&catcher, &QTimer::timeout, [&news] {
            if (auto* box = qobject_cast<zrt::NewsBox*>(QApplication::activeModalWidget())) {
                news = box->text();
                box->close();
            }
        });
        catcher.start(50);
        QPointer<zrt::LobbyWnd> lobby = enterAmateurHall(server, folder);
        QVERIFY(lobby);
        QTRY_COMPARE_WITH_TIMEOUT(news, QString("Tournament tonight"), 10000);
        lobby->close();
    }

    void nameTakenOverClosesTheLobby() {
        ServerProcess server("127.0.13.3");
        QVERIFY(server.start());
        TestGameFolder folder;
        ModalWatcher errors;
        QPointer<zrt::LobbyWnd> lobby = enterAmateurHall(server, folder);
        QVERIFY(lobby);
        LobbyBot impostor;
        QVERIFY(impostor.join("127.0.13.3", "Intermediate Hall", "ALICE"));
        QTRY_VERIFY_WITH_TIMEOUT(lobby.isNull() || !lobby->isVisible(), 15000);
        QVERIFY(errors.messages.contains("Another player has used your name !"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    LobbyJourneyTest journey;
    LobbyEndingsTest endings;
    return QTest::qExec(&journey, argc, argv) | QTest::qExec(&endings, argc, argv);
}
#include "lobby_journey_test.moc"
