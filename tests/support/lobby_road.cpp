#include "tests/support/lobby_road.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "lobby/app/lobby_wnd.h"
#include "lobby/app/startup.h"
#include "lobby/data/profile_lists.h"
#include "lobby/ui/hall_window.h"
#include "lobby/ui/login_dialog.h"
#include "lobby/ui/login_window.h"
#include "lobby/ui/news_box.h"
#include "tests/support/server_requests.h"

bool ListHolds(const QListWidget* list, const QString& part) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains(part)) return true;
    return false;
}

QString CreateLobbyAccount(const zrttest::ServerProcess& server, const QString& gameDir,
                           const std::string& stem) {
    if (zrttest::createAccount(server.address(), stem, stem + "@example.org") != 0) return {};
    const QString password =
        QString::fromStdString(zrttest::mailedPassword(server.dataDir(), stem).value_or(""));
    zrt::ProfileLists lists;
    zrt::ScanProfiles(gameDir.toStdString(), lists);
    for (size_t i = 0; i < lists.unregistered.size(); ++i) {
        if (lists.unregistered[i].stem != stem) continue;
        if (zrt::RegisterProfile(gameDir.toStdString(), lists, i, stem, 3, 220) !=
            zrt::ProfileResult::Ok)
            return {};
        return password;
    }
    return {};
}

zrt::LoginWindow* StartLobby(const QString& gameDir, const std::optional<std::string>& hostName) {
    zrt::StartupOptions options;
    options.gameDir = gameDir;
    options.hostName = hostName;
    zrt::Startup startup(options);
    QTimer closeNews;
    QObject::connect(&closeNews, &QTimer::timeout, [] {
        if (auto* news = qobject_cast<zrt::NewsBox*>(QApplication::activeModalWidget()))
            news->close();
    });
    closeNews.start(50);
    if (!startup.run()) return nullptr;
    zrt::LoginWindow* login = startup.loginWindow();
    login->profileList().select(0);
    return login;
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

zrt::HallWindow* SignIn(const QString& gameDir, const QString& password,
                        const std::optional<std::string>& hostName) {
    zrt::LoginWindow* login = StartLobby(gameDir, hostName);
    if (!login) return nullptr;
    ContinueWithPassword(login, password);
    if (!QTest::qWaitFor([] { return VisibleTopLevel<zrt::HallWindow>() != nullptr; }, 30000))
        return nullptr;
    return VisibleTopLevel<zrt::HallWindow>();
}

zrt::LobbyWnd* EnterHall(zrt::HallWindow* halls, const QString& hallPrefix) {
    int chosen = -1;
    (void)QTest::qWaitFor(
        [&] {
            for (size_t i = 0; i < halls->shownHalls().size(); ++i)
                if (QString::fromStdString(halls->shownHalls()[i].text).startsWith(hallPrefix))
                    chosen = static_cast<int>(i);
            return chosen >= 0;
        },
        60000);
    if (chosen < 0) return nullptr;
    QTest::mouseClick(halls, Qt::LeftButton, {}, halls->hallList().itemRect(chosen).center());
    halls->JoinSelectedHall();
    (void)QTest::qWaitFor([] { return VisibleTopLevel<zrt::LobbyWnd>() != nullptr; }, 30000);
    zrt::LobbyWnd* lobby = VisibleTopLevel<zrt::LobbyWnd>();
    if (lobby && !QTest::qWaitFor(
                     [lobby] { return lobby->windowTitle().startsWith("ZRTH Lobby ["); }, 20000))
        return nullptr;
    return lobby;
}

zrt::LobbyWnd* SignInAndEnterHall(const QString& gameDir, const QString& password,
                                  const QString& hallPrefix,
                                  const std::optional<std::string>& hostName) {
    zrt::HallWindow* halls = SignIn(gameDir, password, hostName);
    return halls ? EnterHall(halls, hallPrefix) : nullptr;
}
