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

QString CreateLobbyAccount(ServerProcess& server, const QString& gameDir, const std::string& stem) {
    zrt::ServerExchange create(server.address().toStdString(), 1694);
    create.setRequest(zrt::encodeNewAccountRequest(
        {stem, zrt::newAccountStats(3, 220, 2026, 12, 7), stem + "@example.org"}));
    if (create.run() <= 0 || create.reply()[0] != 0) return {};
    const QString password = server.lastMailedPassword();
    zrt::ProfileLists lists;
    zrt::ScanProfiles(gameDir.toStdString(), lists);
    for (size_t i = 0; i < lists.unregistered.size(); ++i) {
        if (lists.unregistered[i].stem != stem) continue;
        if (zrt::RegisterProfile(gameDir.toStdString(), lists, i, stem, 3, 220) != zrt::ProfileResult::Ok)
            return {};
        return password;
    }
    return {};
}

void ContinueWithPassword(zrt::LoginWindow* login, const QString& password) {
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
}

zrt::LobbyWnd* SignInAndEnterHall(const QString& gameDir, const QString& password,
                                  const QString& hallPrefix, const std::optional<std::string>& hostName) {
    zrt::StartupOptions options;
    options.gameDir = gameDir;
    options.hostName = hostName;
    zrt::Startup startup(options);
    if (!startup.run()) return nullptr;
    ContinueWithPassword(startup.loginWindow(), password);
    if (!QTest::qWaitFor([] { return VisibleTopLevel<zrt::HallWindow>() != nullptr; }, 20000))
        return nullptr;
    zrt::HallWindow* halls = VisibleTopLevel<zrt::HallWindow>();
    int chosen = -1;
    (void)QTest::qWaitFor(
        [&] {
            for (size_t i = 0; i < halls->shownHalls().size(); ++i)
                if (QString::fromStdString(halls->shownHalls()[i].text).startsWith(hallPrefix))
                    chosen = static_cast<int>(i);
            return chosen >= 0;
        },
        30000);
    if (chosen < 0) return nullptr;
    QTest::mouseClick(halls, Qt::LeftButton, {}, halls->hallList().itemRect(chosen).center());
    halls->JoinSelectedHall();
    (void)QTest::qWaitFor([] { return VisibleTopLevel<zrt::LobbyWnd>() != nullptr; }, 20000);
    zrt::LobbyWnd* lobby = VisibleTopLevel<zrt::LobbyWnd>();
    if (lobby && !QTest::qWaitFor([lobby] { return lobby->windowTitle().startsWith("ZRTH Lobby ["); },
                                  10000))
        return nullptr;
    return lobby;
}
