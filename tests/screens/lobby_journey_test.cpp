// The whole road through the lobby against a real zrtserver: start-up, sign-in with a mailed
// password, the hall list, entering a hall where a bot player sits, chatting both ways, back
// to the halls, and out.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "lobby/app/chat_view.h"
#include "lobby/app/lobby_view.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/app/startup.h"
#include "lobby/data/profile_lists.h"
#include "lobby/net/account_messages.h"
#include "lobby/net/server_exchange.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/hall_window.h"
#include "lobby/ui/login_dialog.h"
#include "lobby/ui/login_window.h"
#include "lobby/ui/news_box.h"
#include "lobby/ui/two_column_list_box.h"
#include "tests/support/game_folder.h"
#include "tests/support/hall_bot.h"
#include "tests/support/lobby_road.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/server_process.h"

namespace {

constexpr const char* kAddress = "127.0.13.1";

template <class W>
W* topLevel() {
    return VisibleTopLevel<W>();
}

}  // namespace

class LobbyJourneyTest : public QObject {
    Q_OBJECT
  private slots:
    void signInEnterChatAndLeave() {
        zrttest::ServerProcess server(kAddress);
        QVERIFY(server.start());
        TestGameFolder folder;
        folder.writeServerTxt(QByteArray(kAddress) + "\r\n");
        folder.useEnvironment();

        // A lobby account for the sample profile ALICE, its password read from the outbox.
        const QString password = CreateLobbyAccount(server, folder.gameDir(), "ALICE");
        QVERIFY(!password.isEmpty());

        // Start-up ends with the login window listing the registered profile.
        zrt::StartupOptions options;
        options.gameDir = folder.gameDir();
        zrt::Startup startup(options);
        QTimer dismissNews;
        connect(&dismissNews, &QTimer::timeout, [] {
            QWidget* w = QApplication::activeModalWidget();
            if (w && w->windowTitle() == "ZRTH Lobby News") w->close();
        });
        dismissNews.start(50);
        QVERIFY(startup.run());
        zrt::LoginWindow* login = startup.loginWindow();
        QCOMPARE(login->profileList().count(), 1);

        // Sign in with the mailed password; the login window hands over to the halls.
        ContinueWithPassword(login, password);
        QTRY_VERIFY_WITH_TIMEOUT(topLevel<zrt::HallWindow>() != nullptr, 20000);
        zrt::HallWindow* halls = topLevel<zrt::HallWindow>();
        QTRY_VERIFY_WITH_TIMEOUT(halls->shownHalls().size() >= 2, 30000);
        QDir().mkpath(ZRT_SCREENSHOT_DIR);
        halls->grab().save(QString(ZRT_SCREENSHOT_DIR) + "/journey_halls.png");

        // Enter the amateur hall.
        int amateur = -1;
        for (size_t i = 0; i < halls->shownHalls().size(); ++i)
            if (QString::fromStdString(halls->shownHalls()[i].text).startsWith("Amateur Hall"))
                amateur = static_cast<int>(i);
        QVERIFY(amateur >= 0);
        QTest::mouseClick(halls, Qt::LeftButton, {}, halls->hallList().itemRect(amateur).center());
        halls->JoinSelectedHall();
        QTRY_VERIFY_WITH_TIMEOUT(topLevel<zrt::LobbyWnd>() != nullptr, 20000);
        zrt::LobbyWnd* lobby = topLevel<zrt::LobbyWnd>();
        QTRY_VERIFY_WITH_TIMEOUT(lobby->windowTitle().startsWith("ZRTH Lobby [ 1 / 0 ]"), 10000);
        // The server offers no banner: the groups pane has the whole right column.
        QVERIFY(!lobby->gifView());
        QCOMPARE(lobby->lobbyView()->geometry(), QRect(111, 1, 590, 390));

        // A bot joins: it is listed, and chat goes both ways.
        zrttest::HallBot bot;
        QVERIFY(bot.enter(server, "Amateur Hall", "BOT1"));
        zrt::ChatView* chat = lobby->chatView();
        QTRY_VERIFY_WITH_TIMEOUT(ListHolds(chat->playerList(), "BOT1"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(lobby->windowTitle().startsWith("ZRTH Lobby [ 2 / 0 ]"), 10000);
        bot.say("hello from the bot");
        QTRY_VERIFY_WITH_TIMEOUT(ListHolds(chat->chatList(), "hello from the bot"), 10000);
        QLineEdit* input = chat->chatInput();
        QVERIFY(input);
        input->setText("hello from alice");
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(bot.heard("hello from alice"));
        QTRY_VERIFY_WITH_TIMEOUT(ListHolds(chat->chatList(), "hello from alice"), 10000);
        lobby->grab().save(QString(ZRT_SCREENSHOT_DIR) + "/journey_lobby.png");

        // Back to the halls, then out.
        lobby->setReturnToHalls(true);
        lobby->close();
        QTRY_VERIFY_WITH_TIMEOUT(topLevel<zrt::HallWindow>() != nullptr, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(topLevel<zrt::LobbyWnd>() == nullptr, 10000);
        topLevel<zrt::HallWindow>()->close();
        QTRY_VERIFY_WITH_TIMEOUT(topLevel<zrt::HallWindow>() == nullptr, 10000);
    }
};

// Signs ALICE in against `server` and enters its amateur hall; the lobby screen.
zrt::LobbyWnd* enterAmateurHall(zrttest::ServerProcess& server, TestGameFolder& folder) {
    folder.writeServerTxt(QByteArray::fromStdString(server.address()) + "\r\n");
    folder.useEnvironment();
    const QString password = CreateLobbyAccount(server, folder.gameDir(), "ALICE");
    if (password.isEmpty()) return nullptr;
    return SignInAndEnterHall(folder.gameDir(), password, "Amateur");
}

class LobbyEndingsTest : public QObject {
    Q_OBJECT
  private slots:
    void lostServerClosesTheLobby() {
        zrttest::ServerProcess server("127.0.13.2");
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
        zrttest::ServerProcess server("127.0.13.4");
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
        zrttest::ServerProcess server("127.0.13.3");
        QVERIFY(server.start());
        TestGameFolder folder;
        ModalWatcher errors;
        QPointer<zrt::LobbyWnd> lobby = enterAmateurHall(server, folder);
        QVERIFY(lobby);
        zrttest::HallBot impostor;
        // The same account signed in again elsewhere: the newer login takes the name over.
        QVERIFY(impostor.enter(server, "Intermediate Hall", "ALICE"));
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
