// The road to a lobby screen.
#include "tests/support/lobby_entry.h"

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
#include "lobby/ui/two_column_list_box.h"
#include "tests/support/game_folder.h"
#include "tests/support/server_process.h"

zrt::LobbyWnd* enterAmateurHall(ServerProcess& server, TestGameFolder& folder) {
    const QByteArray address = server.address().toLatin1();
    folder.writeServerTxt(address + "\r\n");
    folder.useEnvironment();
    const std::string gameDir = folder.gameDir().toStdString();
    zrt::ServerExchange create(address.toStdString(), 1694);
    create.setRequest(zrt::encodeNewAccountRequest(
        {"ALICE", zrt::newAccountStats(3, 220, 2026, 12, 7), "alice@example.org"}));
    if (create.run() <= 0 || create.reply()[0] != 0) return nullptr;
    const QString password = server.lastMailedPassword();
    zrt::ScanProfiles(gameDir, zrt::Profiles());
    size_t alice = 0;
    while (alice < zrt::Profiles().unregistered.size() &&
           zrt::Profiles().unregistered[alice].stem != "ALICE")
        ++alice;
    if (zrt::RegisterProfile(gameDir, zrt::Profiles(), alice, "ALICE", 3, 220) !=
        zrt::ProfileResult::Ok)
        return nullptr;
    zrt::StartupOptions options;
    options.gameDir = folder.gameDir();
    zrt::Startup startup(options);
    if (!startup.run()) return nullptr;
    zrt::LoginWindow* login = startup.loginWindow();
    login->profileList().select(0);
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
    if (!QTest::qWaitFor([] { return topLevel<zrt::HallWindow>() != nullptr; }, 20000))
        return nullptr;
    zrt::HallWindow* halls = topLevel<zrt::HallWindow>();
    int amateur = -1;
    (void)QTest::qWaitFor(
        [&] {
            for (size_t i = 0; i < halls->shownHalls().size(); ++i)
                if (QString::fromStdString(halls->shownHalls()[i].text).startsWith("Amateur"))
                    amateur = static_cast<int>(i);
            return amateur >= 0;
        },
        30000);
    if (amateur < 0) return nullptr;
    QTest::mouseClick(halls, Qt::LeftButton, {}, halls->hallList().itemRect(amateur).center());
    halls->JoinSelectedHall();
    (void)QTest::qWaitFor([] { return topLevel<zrt::LobbyWnd>() != nullptr; }, 20000);
    zrt::LobbyWnd* lobby = topLevel<zrt::LobbyWnd>();
    if (lobby && !QTest::qWaitFor(
                     [lobby] { return lobby->windowTitle().startsWith("ZRTH Lobby ["); }, 10000))
        return nullptr;
    return lobby;
}
