#include "tests/support/lobby_road.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "lobby/app/lobby_wnd.h"
#include "lobby/app/startup.h"
#include "lobby/data/profile_lists.h"
#include "lobby/net/account_messages.h"
#include "lobby/net/server_exchange.h"
#include "lobby/ui/hall_window.h"
#include "lobby/ui/login_dialog.h"
#include "lobby/ui/login_window.h"
#include "lobby/ui/news_box.h"

bool ListHolds(const QListWidget* list, const QString& part) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains(part)) return true;
    return false;
}

QString CreateAliceAccount(const ServerProcess& server, const TestGameFolder& folder) {
    const QByteArray address = server.address().toLatin1();
    folder.writeServerTxt(address + "\r\n");
    folder.useEnvironment();
    const std::string gameDir = folder.gameDir().toStdString();
    zrt::ServerExchange create(address.toStdString(), 1694);
    create.setRequest(zrt::encodeNewAccountRequest(
        {"ALICE", zrt::newAccountStats(3, 220, 2026, 12, 7), "alice@example.org"}));
    if (create.run() <= 0 || create.reply()[0] != 0) return {};
    const QString password = server.lastMailedPassword();
    zrt::ScanProfiles(gameDir, zrt::Profiles());
    size_t alice = 0;
    while (alice < zrt::Profiles().unregistered.size() &&
           zrt::Profiles().unregistered[alice].stem != "ALICE")
        ++alice;
    if (zrt::RegisterProfile(gameDir, zrt::Profiles(), alice, "ALICE", 3, 220) !=
        zrt::ProfileResult::Ok)
        return {};
    return password;
}

zrt::LoginWindow* StartLobby(const TestGameFolder& folder) {
    zrt::StartupOptions options;
    options.gameDir = folder.gameDir();
    zrt::Startup startup(options);
    QTimer dismissNews;
    QObject::connect(&dismissNews, &QTimer::timeout, [] {
        if (auto* news = qobject_cast<zrt::NewsBox*>(QApplication::activeModalWidget()))
            news->close();
    });
    dismissNews.start(50);
    if (!startup.run()) return nullptr;
    zrt::LoginWindow* login = startup.loginWindow();
    login->profileList().select(0);
    return login;
}

zrt::HallWindow* SignInAlice(const TestGameFolder& folder, const QString& password) {
    zrt::LoginWindow* login = StartLobby(folder);
    if (!login) return nullptr;
    QTimer typePassword;
    QObject::connect(&typePassword, &QTimer::timeout, [&password] {
        if (auto* d = qobject_cast<zrt::LoginDialog*>(QApplication::activeModalWidget())) {
            d->passwordEdit()->setText(password);
            d->okButton()->click();
        }
    });
    typePassword.start(50);
    login->ContinueLogin();
    typePassword.stop();
    if (!QTest::qWaitFor([] { return TopLevel<zrt::HallWindow>() != nullptr; }, 30000))
        return nullptr;
    zrt::HallWindow* halls = TopLevel<zrt::HallWindow>();
    if (!QTest::qWaitFor([halls] { return halls->shownHalls().size() >= 2; }, 60000))
        return nullptr;
    return halls;
}

zrt::LobbyWnd* EnterHall(zrt::HallWindow* halls, const QString& hall) {
    int index = -1;
    for (size_t i = 0; i < halls->shownHalls().size() && index < 0; ++i)
        if (QString::fromStdString(halls->shownHalls()[i].text).startsWith(hall))
            index = static_cast<int>(i);
    if (index < 0) return nullptr;
    QTest::mouseClick(halls, Qt::LeftButton, {}, halls->hallList().itemRect(index).center());
    halls->JoinSelectedHall();
    if (!QTest::qWaitFor([] { return TopLevel<zrt::LobbyWnd>() != nullptr; }, 30000))
        return nullptr;
    zrt::LobbyWnd* lobby = TopLevel<zrt::LobbyWnd>();
    if (!QTest::qWaitFor([lobby] { return lobby->windowTitle().startsWith("ZRTH Lobby ["); },
                         20000))
        return nullptr;
    return lobby;
}
