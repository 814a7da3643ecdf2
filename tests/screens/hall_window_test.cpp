// The hall selection screen offscreen against a real playnet::Host on loopback: the order and
// texts of the shown halls, the tool-tips, the kept selection, the empty pass that changes
// nothing, failed and successful joins, Cancel, and the input that a running join ignores.
//
// The host comes first: its private `emit` must be read before Qt's macro of that name exists.
// clang-format off
#include "playnet/host.h"
// clang-format on

#include "lobby/ui/hall_window.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QTcpServer>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <atomic>
#include <functional>
#include <memory>

#include "lobby/app/resource_loader.h"
#include "lobby/session/lobby_connection.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/main_window_rect.h"
#include "tests/support/game_folder.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/screenshot.h"

using zrt::HallWindow;
using zrt::LobbyConnection;

namespace {

// A plain mouse move (no button) as the window system delivers it.
void moveMouse(QWidget& w, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, w.mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
}

playnet::ClientOptions QuickOptions(int requestTimeoutMs = 5000) {
    playnet::ClientOptions o;
    o.enumRefreshMs = 50;
    o.requestTimeoutMs = requestTimeoutMs;
    return o;
}

// The lobby server's halls on a loopback address of the test's own; every hall holds its
// server player.
struct HallHost {
    explicit HallHost(const char* address) {
        playnet::HostOptions o;
        o.listenAddress = address;
        started = host.Start(o);
    }
    playnet::Guid add(const std::string& name, uint32_t kind, int others = 0) {
        playnet::SessionConfig c;
        c.name = name;
        c.application = zrt::HallApplication();
        c.maxPlayers = 50;
        c.user[0] = kind;
        c.password = zrt::kHallPassword;
        playnet::Guid id = *host.CreateSession(c);
        host.CreateHostPlayer(id, "server");
        for (int i = 0; i < others; ++i) host.CreateHostPlayer(id, "p" + std::to_string(i));
        return id;
    }
    playnet::Host host;
    bool started = false;
};

// A hall window bound to `address`, started and shown.
struct Screen {
    explicit Screen(const char* address, int requestTimeoutMs = 5000)
        : connection(playnet::kDefaultPort, QuickOptions(requestTimeoutMs)) {
        connection.CreateDirectPlay();
        bound = connection.ConnectToLobbyServer(address);
        window = std::make_unique<HallWindow>(connection);
        window->setEnterHall([this] { ++entered; });
        window->setBackToLogin([this] { ++backToLogin; });
        window->Start();
        window->show();
    }
    // Polls (as the timer would) until `done` holds, for at most 10 s.
    bool pollUntil(const std::function<bool()>& done) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            window->PollTick();
            if (done()) return true;
            QTest::qWait(20);
        }
        return false;
    }
    bool showsHalls(size_t n) {
        return pollUntil([&] { return window->shownHalls().size() == n; });
    }
    QPoint itemCentre(int i) const { return window->hallList().itemRect(i).center(); }
    int indexOf(const playnet::Guid& id) const {
        const auto& shown = window->shownHalls();
        for (size_t i = 0; i < shown.size(); ++i)
            if (shown[i].instance == id) return static_cast<int>(i);
        return -1;
    }

    LobbyConnection connection;  // outlives the window, as the process-wide one does
    std::unique_ptr<HallWindow> window;
    bool bound = false;
    int entered = 0;
    int backToLogin = 0;
};

}  // namespace

class HallWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(zrt::LoadLobbyResources(folder_.gameDir(), zrt::Pictures()).ok);
        zrt::MainWindowRect() = QRect(40, 30, 710, 590);
    }

    void showsHallsByKindWithCountsAndTips() {
        HallHost server("127.0.7.20");
        QVERIFY(server.started);
        Screen s("127.0.7.20");
        QVERIFY(s.bound);
        HallWindow& w = *s.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QString("ZRTH Lobby - Hall Selection"));
        QCOMPARE(w.size(), QSize(702, 552));
        QCOMPARE(w.enterRect().right() + 1, 340);
        QCOMPARE(w.cancelRect().topLeft(), QPoint(360, 478));
        QCOMPARE(w.pollInterval(), HallWindow::kSearchPollMs);
        screenshot(w, "hall_window_searching");

        server.add("Novice", 0, 4);  // five players with the server player
        server.add("Gems", 10);
        server.add("Veterans", 2);
        QVERIFY(s.showsHalls(3));
        const QStringList expected = {"Gems  ( 0 / 50 )", "Veterans  ( 0 / 50 )",
                                      "Novice  ( 4 / 50 )"};
        for (int i = 0; i < 3; ++i) QCOMPARE(w.hallList().itemText(i), expected[i]);
        QCOMPARE(w.pollInterval(), HallWindow::kHallsPollMs);

        QCOMPARE(w.toolTipAt(s.itemCentre(0)), QString("Battle Using Gemstones"));
        QCOMPARE(w.toolTipAt(s.itemCentre(1)), QString("For Expert Players"));
        QCOMPARE(w.toolTipAt(s.itemCentre(2)), QString("For Amateur Players"));
        QCOMPARE(w.toolTipAt(QPoint(5, 5)), QString());
        // A real tool-tip event shows the kind.
        QHelpEvent help(QEvent::ToolTip, s.itemCentre(0), w.mapToGlobal(s.itemCentre(0)));
        QApplication::sendEvent(&w, &help);
        QTRY_COMPARE_WITH_TIMEOUT(QToolTip::text(), QString("Battle Using Gemstones"), 5000);
        QToolTip::hideText();

        // The same halls again keep the tips; one more hall rebuilds them (and the polls until
        // it shows take the same three halls again first).
        const int builds = w.toolTipBuilds();
        for (int i = 0; i < 3; ++i) w.PollTick();
        QCOMPARE(w.shownHalls().size(), size_t(3));
        QCOMPARE(w.toolTipBuilds(), builds);
        server.add("Anyone", 7);
        QVERIFY(s.showsHalls(4));
        QCOMPARE(w.toolTipBuilds(), builds + 1);
        QCOMPARE(w.hallList().itemText(1), QString("Anyone  ( 0 / 50 )"));
        QCOMPARE(w.toolTipAt(s.itemCentre(1)), QString("Welcome for any players"));
        QCOMPARE(w.toolTipAt(s.itemCentre(3)), QString("For Amateur Players"));

        moveMouse(w, s.itemCentre(2));
        QCOMPARE(w.hallList().hoverIndex(), 2);
        QCOMPARE(w.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(&w, Qt::LeftButton, {}, s.itemCentre(2));
        QCOMPARE(w.hallList().selectedIndex(), 2);
        screenshot(w, "hall_window_halls");
    }

    // Back from a hall, the first listing no longer counts the player who left: the session
    // layer's earlier answers are not shown, its first new one is, without waiting for a poll.
    void firstListingAfterAHallIsCurrent() {
        HallHost server("127.0.7.26");
        QVERIFY(server.started);
        server.add("Open Hall", 0);
        LobbyConnection connection;  // the lobby's own pace: the halls are asked for every second
        connection.CreateDirectPlay();
        QVERIFY(connection.ConnectToLobbyServer("127.0.7.26"));
        zrt::HallList halls;
        QTRY_VERIFY_WITH_TIMEOUT(connection.EnumerateHalls(halls) && halls.count() == 1, 10000);
        std::atomic<int> opened{0};
        QVERIFY(connection.JoinHall(halls[0], [&](bool ok) { opened = ok ? 1 : -1; }));
        QTRY_VERIFY_WITH_TIMEOUT(opened != 0, 10000);
        connection.JoinHandled();
        QCOMPARE(opened.load(), 1);
        playnet::PlayerId me = 0;
        QCOMPARE(connection.directPlay()->CreatePlayer("me", nullptr, me), playnet::Result::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(connection.EnumerateHalls(halls) && halls.count() == 1 &&
                                     halls[0].text == "Open Hall  ( 1 / 50 )",
                                 10000);

        connection.CloseSession();
        HallWindow w(connection);
        w.Start();
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(!w.shownHalls().empty(), 10000);
        QCOMPARE(w.hallList().itemText(0), QString("Open Hall  ( 0 / 50 )"));
        screenshot(w, "hall_window_back_from_a_hall");
    }

    void selectionFollowsTheHallAndEmptyPassesChangeNothing() {
        HallHost server("127.0.7.21");
        QVERIFY(server.started);
        const playnet::Guid a = server.add("Alpha", 0);
        server.add("Beta", 1);
        Screen s("127.0.7.21");
        HallWindow& w = *s.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(s.showsHalls(2));

        // Enter without a selection does nothing.
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.enterRect().center());
        QVERIFY(!w.joining());

        QTest::mouseClick(&w, Qt::LeftButton, {}, s.itemCentre(s.indexOf(a)));
        QCOMPARE(w.hallList().selectedIndex(), 1);
        // A hall of a higher kind pushes Alpha down; the selection moves with it.
        server.add("Gamma", 5);
        QVERIFY(s.showsHalls(3));
        QCOMPARE(s.indexOf(a), 2);
        QCOMPARE(w.hallList().selectedIndex(), 2);

        // A pass that finds nothing leaves the list as it was.
        const QString before = w.hallList().itemText(0);
        for (const playnet::Guid& id : [&] {
                 std::vector<playnet::Guid> ids;
                 for (const auto& h : w.shownHalls()) ids.push_back(h.instance);
                 return ids;
             }())
            server.host.DestroySession(id);
        zrt::HallList probe;
        QTRY_VERIFY_WITH_TIMEOUT(s.connection.EnumerateHalls(probe) && probe.empty(), 10000);
        w.PollTick();  // may still take over the last pass that saw the halls
        w.PollTick();  // takes over a pass that found none
        QCOMPARE(w.shownHalls().size(), size_t(3));
        QCOMPARE(w.hallList().itemText(0), before);
        QCOMPARE(w.hallList().selectedIndex(), 2);

        // Alpha gone: its selection is lost.
        server.add("Delta", 3);
        QVERIFY(s.showsHalls(1));
        QCOMPARE(w.hallList().selectedIndex(), -1);
        QCOMPARE(w.hallList().itemText(0), QString("Delta  ( 0 / 50 )"));
    }

    void failedJoinIgnoresInputWhileRunningAndReportsTheFailure() {
        HallHost server("127.0.7.22");
        QVERIFY(server.started);
        server.add("Alpha", 0);
        server.add("Beta", 2);
        // A host that takes connections and never answers: the open runs until its time-out.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress("127.0.7.23"), playnet::kDefaultPort));

        Screen s("127.0.7.22", 3000);
        HallWindow& w = *s.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(s.showsHalls(2));
        QVERIFY(s.connection.ConnectToLobbyServer("127.0.7.23"));

        ModalWatcher closer;
        QTest::mouseClick(&w, Qt::LeftButton, {}, s.itemCentre(0));
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.enterRect().center());
        QVERIFY(w.joining());
        QCOMPARE(w.cursor().shape(), Qt::WaitCursor);

        // While the join runs: clicks, double clicks, Cancel, close and ticks do nothing.
        QTest::mouseClick(&w, Qt::LeftButton, {}, s.itemCentre(1));
        QCOMPARE(w.hallList().selectedIndex(), 0);
        QTest::mouseDClick(&w, Qt::LeftButton, {}, s.itemCentre(1));
        QCOMPARE(w.hallList().selectedIndex(), 0);
        moveMouse(w, w.cancelRect().center());
        QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.cancelRect().center());
        QVERIFY(!w.backToLogin());
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        w.PollTick();
        QCOMPARE(w.shownHalls().size(), size_t(2));

        QTRY_VERIFY_WITH_TIMEOUT(closer.messages.contains("Join Session Failure"), 15000);
        QCOMPARE(closer.messages.size(), 1);
        QVERIFY(!w.joining());
        QVERIFY(!w.joined());
        QVERIFY(w.isVisible());
        QVERIFY(w.cursor().shape() != Qt::WaitCursor);
        QCOMPARE(s.entered + s.backToLogin, 0);
    }

    void joinedHallClosesIntoTheLobby() {
        HallHost server("127.0.7.24");
        QVERIFY(server.started);
        server.add("Amateurs", 0);
        const playnet::Guid gems = server.add("Gems", 11, 2);
        Screen s("127.0.7.24");
        HallWindow& w = *s.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(s.showsHalls(2));
        w.move(80, 60);

        QTest::mouseDClick(&w, Qt::LeftButton, {}, s.itemCentre(s.indexOf(gems)));
        QTRY_COMPARE_WITH_TIMEOUT(s.entered, 1, 10000);
        QVERIFY(w.joined());
        QVERIFY(!w.isVisible());
        QCOMPARE(s.backToLogin, 0);
        QVERIFY(s.connection.gemstoneHall());
        QCOMPARE(zrt::MainWindowRect().topLeft(), w.frameGeometry().topLeft());
        playnet::SessionDesc desc;
        QCOMPARE(s.connection.directPlay()->GetSessionDesc(desc), playnet::Result::Ok);
        QCOMPARE(desc.instance, gems);
        s.connection.CloseSession();
    }

    void cancelGoesBackToLoginAndLeavesNoSession() {
        HallHost server("127.0.7.25");
        QVERIFY(server.started);
        server.add("Alpha", 0);
        Screen s("127.0.7.25");
        HallWindow& w = *s.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(s.showsHalls(1));

        moveMouse(w, w.cancelRect().center());
        QCOMPARE(w.cursor().shape(), Qt::PointingHandCursor);
        moveMouse(w, QPoint(5, 5));
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        moveMouse(w, w.cancelRect().center());
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.cancelRect().center());
        QTRY_COMPARE_WITH_TIMEOUT(s.backToLogin, 1, 5000);
        QCOMPARE(s.entered, 0);
        QVERIFY(!w.isVisible());

        // Closed by its close button: neither hook, the program would end.
        Screen plain("127.0.7.25");
        QVERIFY(QTest::qWaitForWindowExposed(plain.window.get()));
        QVERIFY(plain.window->close());
        QCOMPARE(plain.entered + plain.backToLogin, 0);
    }

  private:
    TestGameFolder folder_;
};

QTEST_MAIN(HallWindowTest)
#include "hall_window_test.moc"
