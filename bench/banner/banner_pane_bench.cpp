// The banner pane in a real lobby screen, offscreen: a zrtserver on loopback offers the
// generated animated demo banner as its banner record, a scripted web server serves it, and
// the bench signs in and enters a hall as a person would. Then:
//   1. the banner animates for a while (60 s by default): the CPU time (user + system) the
//      whole client process uses per second of animation;
//   2. twenty refreshes, each waited for until the new banner has been taken: the resident set
//      and the heap in use before and after (they must not grow with the refreshes).
//
//   bench_banner_pane [seconds]      run it in a network namespace of its own (loopback
//                                    addresses 127.0.16.x and the ping port 9394)
// Bounded: the animation phase lasts the given seconds, each refresh at most 10 s.
#include <malloc.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <string>

#include "lobby/app/gif_view.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/platform/app_events.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_road.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/server_process.h"

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

// Counts the new-banner events the pane takes.
class BannerCounter : public QObject {
  public:
    int taken = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (zrt::AppEvent::is(e, zrt::WM_BANNER_READY)) ++taken;
        return false;
    }
};

int fail(const char* what) {
    std::fprintf(stderr, "bench_banner_pane: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    TestGameFolder folder;
    QFile file(folder.gameDir() + "/LobbyRes/demo/banner_anim.gif");
    if (!file.open(QIODevice::ReadOnly)) return fail("no demo banner in the game folder");
    const std::string banner = file.readAll().toStdString();
    ScriptedPeer web("127.0.16.2");
    web.on("/anim.gif", {HttpAnswer(200, banner)});
    zrttest::ServerProcess server("127.0.16.1");
    if (!server.addBanner(web.url("/anim.gif"), "http://127.0.16.2/") || !server.start())
        return fail("the server did not start");
    folder.writeServerTxt(QByteArray::fromStdString(server.address()) + "\r\n");
    folder.useEnvironment();
    const QString password = CreateLobbyAccount(server, folder.gameDir(), "ALICE");
    zrt::LobbyWnd* lobby = SignInAndEnterHall(folder.gameDir(), password, "Amateur");
    if (!lobby || !lobby->gifView() || !lobby->gifView()->animating())
        return fail("no animated banner in the lobby screen");
    zrt::GifView* gif = lobby->gifView();

    // 1. Animation.
    QTest::qWait(1000);  // settle after entering the hall
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    const double cpu = cpuSeconds() - cpu0;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    std::printf("banner: %zu bytes, animated for %.1f s\n", banner.size(), elapsed);
    std::printf("cpu per second of animation: %.2f ms (%.2f %% of one core)\n",
                cpu * 1000.0 / elapsed, cpu * 100.0 / elapsed);

    // 2. Refreshes.
    BannerCounter counter;
    gif->installEventFilter(&counter);
    malloc_trim(0);
    const long rss0 = residentKiB();
    const size_t heap0 = heapInUse();
    for (int i = 1; i <= 20; ++i) {
        gif->RefreshBanner();
        if (!QTest::qWaitFor([&] { return counter.taken == i; }, 10000))
            return fail("a refresh did not bring its banner");
    }
    QTest::qWait(500);
    malloc_trim(0);
    const long rss1 = residentKiB();
    const size_t heap1 = heapInUse();
    std::printf("refreshes: %d, web requests: %d, still animating: %s\n", counter.taken,
                web.requests(), gif->animating() ? "yes" : "no");
    std::printf("resident set: %ld KiB before, %ld KiB after (%+ld KiB)\n", rss0, rss1,
                rss1 - rss0);
    std::printf("heap in use: %zu KiB before, %zu KiB after (%+ld KiB)\n", heap0 / 1024,
                heap1 / 1024, (long(heap1) - long(heap0)) / 1024);
    lobby->close();
    QTest::qWait(200);
    return 0;
}
