// The start-up steps against a real game folder copy: each stop shows its own message, and a
// good folder ends with the login window on screen.
#include "lobby/app/startup.h"

#include <QApplication>
#include <QDir>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

#include "lobby/app/resource_loader.h"
#include "lobby/app/startup_servers.h"
#include "lobby/data/process_state.h"
#include "lobby/platform/display_format.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/login_window.h"
#include "lobby/ui/main_window_rect.h"
#include "tests/support/game_folder.h"
#include "tests/support/server_process.h"

namespace {

// Closes every modal box that start-up raises, so a stop does not wait for a person.
void dismissModalBoxes() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            if (w->windowTitle() == "ZRTH Lobby - Error" || w->windowTitle() == "ZRTH Lobby News")
                w->close();
        }
    });
    timer->start(20);
}

// A game folder whose Server.txt names a running reference server.
struct FolderWithServer {
    explicit FolderWithServer(const char* address) : server(address) {
        QVERIFY(server.start());
        folder.writeServerTxt(QByteArray(address) + "\r\n");
    }
    TestGameFolder folder;
    zrttest::ServerProcess server;
};

QString runStartup(const TestGameFolder& folder, zrt::StartupOptions options = {}) {
    folder.useEnvironment();
    options.gameDir = folder.gameDir();
    zrt::Startup startup(options);
    bool ok = startup.run();
    if (ok) {
        delete startup.loginWindow();
        return "ok";
    }
    return startup.stopMessage();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { dismissModalBoxes(); }
    void cleanup() { zrt::OverrideDisplayProbe(std::nullopt); }

    void displayFormats() {
        FolderWithServer f("127.0.3.1");
        const TestGameFolder& folder = f.folder;
        zrt::DisplayProbe rgb565{16, {0x00, 0xF8}};
        zrt::DisplayProbe rgb555{16, {0x00, 0x7C}};
        zrt::DisplayProbe palette{8, {0, 0}};
        zrt::OverrideDisplayProbe(rgb565);
        QCOMPARE(zrt::DisplayPixelFormat(), zrt::PixelFormat::Rgb565);
        QCOMPARE(runStartup(folder), QString("ok"));
        zrt::OverrideDisplayProbe(rgb555);
        QCOMPARE(zrt::DisplayPixelFormat(), zrt::PixelFormat::Rgb555);
        QCOMPARE(runStartup(folder), QString("ok"));
        zrt::OverrideDisplayProbe(palette);
        QCOMPARE(runStartup(folder), QString(zrt::kMsgColourMode));
    }

    void secondCopyInTheSameRuntimeDir() {
        TestGameFolder folder;
        folder.useEnvironment();
        zrt::InstanceLock first;
        QCOMPARE(first.acquire(zrt::kInstanceLockName), zrt::InstanceLock::Result::Acquired);
        QCOMPARE(runStartup(folder), QString(zrt::kMsgSecondCopy));
    }

    void registrationMustMatchExactly() {
        FolderWithServer f("127.0.3.2");
        TestGameFolder& folder = f.folder;
        folder.registerGame(QString(zrt::kGameGuid).toLower().toStdString());
        QCOMPARE(runStartup(folder), QString(zrt::kMsgNotRegistered));
        folder.registerGame(zrt::kGameGuid);
        QCOMPARE(runStartup(folder), QString("ok"));
    }

    void unresolvableHostStopsBeforeAnyPicture() {
        TestGameFolder folder;
        zrt::Pictures() = zrt::LobbyPictures();
        zrt::StartupOptions options;
        options.hostName = "no-such-host.invalid";
        QCOMPARE(runStartup(folder, options), QString(zrt::kMsgInternet));
        QVERIFY(zrt::Pictures().bgSetup.isNull());
        QVERIFY(zrt::Pictures().portraits[0].isNull());
    }

    void resourceFailures() {
        TestGameFolder missingLast;
        missingLast.removeLobbyRes("bgLadder.jpg");
        QCOMPARE(runStartup(missingLast), QString(zrt::kMsgResources));

        TestGameFolder noLineEnd;
        noLineEnd.writeServerTxt("10.0.0.5");
        QCOMPARE(runStartup(noLineEnd), QString(zrt::kMsgResources));

        FolderWithServer crlf("127.0.3.3");
        QCOMPARE(runStartup(crlf.folder), QString("ok"));
        QCOMPARE(QString::fromStdString(zrt::Process().serverAddress), QString("127.0.3.3"));
    }

    void serverDownStopsWithTheVersionServerMessage() {
        TestGameFolder folder;
        folder.writeServerTxt("127.0.3.9\r\n");  // nothing listens there
        QCOMPARE(runStartup(folder), QString(zrt::kMsgVersionServer));
    }

    void databaseServerReplacesServerAddress() {
        // The version server names another host as the database server; nothing listens
        // there, so the second exchange fails, proving it went to the new address.
        zrttest::ServerProcess server("127.0.3.11");
        QVERIFY(server.editConfig("database_address = \"\"", "database_address = \"127.0.3.12\""));
        QVERIFY(server.start());
        TestGameFolder folder;
        folder.writeServerTxt("127.0.3.11\r\n");
        QCOMPARE(runStartup(folder), QString(zrt::kMsgDatabaseServer));
        QCOMPARE(QString::fromStdString(zrt::Process().serverAddress), QString("127.0.3.12"));
    }

    void cancelledExchangeEndsWithoutAMessage() {
        // A version server that takes the connection and never answers.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress("127.0.3.10"), 1695));
        TestGameFolder folder;
        folder.writeServerTxt("127.0.3.10\r\n");
        QTimer cancel;
        QObject::connect(&cancel, &QTimer::timeout, [] {
            QWidget* w = QApplication::activeModalWidget();
            if (w && w->windowTitle() == "ZRTH Lobby") QTest::keyClick(w, Qt::Key_Escape);
        });
        cancel.start(200);
        QCOMPARE(runStartup(folder), QString());
    }

    void serverTxtRules() {
        QCOMPARE(*zrt::ParseServerTxt("  host.example\r\nrest"), std::string("  host.example"));
        QVERIFY(!zrt::ParseServerTxt(QByteArray(256, 'a') + "\r"));
        QVERIFY(!zrt::ParseServerTxt(""));
    }

    void loginWindowAtTheCentredRect() {
        QRect r = zrt::CenteredMainWindowRect(QRect(0, 0, 1024, 768), 4, 20);
        QCOMPARE(r.left(), (1024 - 710) / 2);
        QCOMPARE(r.top(), (768 - 580) / 2);
        QCOMPARE(r.width(), 710);

        FolderWithServer f("127.0.3.4");
        f.folder.useEnvironment();
        zrt::StartupOptions options;
        options.gameDir = f.folder.gameDir();
        zrt::Startup startup(options);
        QVERIFY(startup.run());
        zrt::LoginWindow* login = startup.loginWindow();
        QVERIFY(QTest::qWaitForWindowExposed(login));
        QCOMPARE(login->size(), QSize(702, 552));
        QCOMPARE(login->windowTitle(), QString("ZRTH Lobby - Login"));
        QDir().mkpath(ZRT_SCREENSHOT_DIR);
        QVERIFY(login->grab().save(QString(ZRT_SCREENSHOT_DIR) + "/login_window.png"));
        delete login;
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
