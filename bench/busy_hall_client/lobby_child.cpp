// The measured children: the lobby in a hall, and a bare window.
#include "bench/busy_hall_client/lobby_child.h"

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "lobby/app/application.h"
#include "lobby/app/lobby_wnd.h"
#include "tests/support/lobby_road.h"

namespace busyhall {

namespace {

// Runs the event loop until standard input ends (the bench closes it) or an hour has passed;
// then saves a picture of `window` as NAME.png in the screenshot folder (3 when it cannot).
int serveUntilStdinEnds(QApplication& app, QWidget& window, const QString& name) {
    std::printf("ready %d %d\n", window.width(), window.height());
    std::fflush(stdout);
    int status = 0;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buf[64];
        if (::read(STDIN_FILENO, buf, sizeof buf) > 0) return;
        const QString dir = qEnvironmentVariable("ZRT_SCREENSHOT_DIR", ZRT_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        if (!window.grab().save(dir + "/" + name + ".png")) status = 3;
        app.quit();
    });
    QTimer::singleShot(std::chrono::hours(1), &app, &QApplication::quit);
    app.exec();
    return status;
}

}  // namespace

int runLobbyClient(int argc, char** argv) {
    if (argc < 5) return 2;
    zrt::LobbyApplication app(argc, argv);
    zrt::LobbyWnd* lobby =
        SignInAndEnterHall(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                           QString::fromLocal8Bit(argv[4]));
    if (!lobby) {
        std::fprintf(stderr, "the lobby did not reach the hall\n");
        return 1;
    }
    return serveUntilStdinEnds(app, *lobby, "busy_hall_lobby");
}

int runBareWindow(int argc, char** argv) {
    if (argc < 4) return 2;
    QApplication app(argc, argv);
    QWidget window;
    window.resize(std::atoi(argv[2]), std::atoi(argv[3]));
    window.show();
    return serveUntilStdinEnds(app, window, "busy_hall_bare");
}

}  // namespace busyhall
