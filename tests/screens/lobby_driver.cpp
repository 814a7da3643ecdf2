// lobby_driver: one scripted player of the launch test, a real lobby in a process of its own
// (the lobby keeps process-wide state, so two players need two processes). It signs in with
// the only registered profile of its game folder, enters the amateur hall and plays a role:
//   host      creates a group of two, waits for it to fill, presses Launch
//   member    joins the first group shown, and so is launched by its host
//   observer  waits until a group is marked launched, saves the groups pane and leaves
// Host and member wait for the goodbye box (saved as a screenshot, then confirmed) and for the
// lobby screen to close. It prints "in the hall" once there. Exit status 0 when the role went
// as planned; what went wrong is written to standard error.
//
// Usage: lobby_driver ROLE GAME_DIR PASSWORD SHOT_DIR
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <cstdio>

#include "lobby/app/lobby_view.h"
#include "lobby/app/lobby_view_hit.h"
#include "lobby/app/lobby_wnd.h"
#include "lobby/session/group_actions.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/goodbye_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/news_box.h"
#include "tests/support/lobby_road.h"
#include "tests/support/modal_watcher.h"

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "lobby_driver: %s\n", what);
    return 1;
}

void click(zrt::LobbyView* view, QPoint document) {
    const QPoint at = view->toViewport(document);
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc != 5) return fail("usage: lobby_driver ROLE GAME_DIR PASSWORD SHOT_DIR");
    const QString role = argv[1], gameDir = argv[2], password = argv[3], shots = argv[4];

    // News is confirmed; the goodbye box is saved, then confirmed; error boxes are noted.
    ModalWatcher errors;
    bool goodbye = false;
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (qobject_cast<zrt::NewsBox*>(w)) w->close();
        if (auto* box = qobject_cast<zrt::GoodbyeBox*>(w); box && !goodbye) {
            goodbye = true;
            box->grab().save(shots + "/launch_goodbye_" + role + ".png");
            // Stay a moment, as a player reading it would, then confirm.
            QTimer::singleShot(1500, box, &QDialog::accept);
        }
    });
    boxes.start(50);

    QPointer<zrt::LobbyWnd> lobby =
        SignInAndEnterHall(gameDir, password, "Amateur", std::string("127.0.0.1"));
    if (!lobby) return fail("could not enter the hall");
    std::printf("in the hall\n");  // the test starts the next player only then
    std::fflush(stdout);
    zrt::LobbySession& session = *lobby->context().session;
    zrt::LobbyView* view = lobby->lobbyView();

    if (role == "observer") {
        auto launched = [&] {
            for (const zrt::GroupRow& row : session.hall.groupRows())
                if (row.group.launched) return true;
            return false;
        };
        if (!QTest::qWaitFor(launched, 120000)) return fail("no group was launched");
        // The pane paints from the hall itself, so the pictures show the mark at once.
        view->renderDocument().save(shots + "/launch_marked_groups.png");
        lobby->grab().save(shots + "/launch_marked_lobby.png");
        lobby->close();
        return errors.messages.isEmpty() ? 0 : fail("an error box was shown");
    }

    if (role == "host") {
        zrt::NewGroup group;
        group.capacity = 2;
        group.title = "Launch test";
        if (lobby->context().groups->CreateGroup(group) != zrt::GroupResult::Sent)
            return fail("the group could not be created");
        if (!QTest::qWaitFor([&] { return session.hall.ownGroupStatus().launchable; }, 120000))
            return fail("nobody joined the group");
        // A click is hit-tested against the hall itself: Launch is there once launchable.
        click(view, {zrt::kLaunchX + 3, zrt::kToolRowY + 3});
    } else {
        if (!QTest::qWaitFor([&] { return !session.hall.groupRows().empty(); }, 120000))
            return fail("no group to join");
        click(view, {zrt::kRowButtonX + 2, zrt::RowTop(0) + 34});
        if (!QTest::qWaitFor([&] { return session.hall.ownGroupStatus().inGroup; }, 20000))
            return fail("the join was not taken");
    }
    if (!QTest::qWaitFor([&] { return lobby.isNull() || !lobby->isVisible(); }, 120000))
        return fail("the lobby screen did not close after the launch");
    if (!errors.messages.isEmpty())
        return fail(("error box: " + errors.messages.join(" / ")).toLocal8Bit().constData());
    return goodbye ? 0 : fail("no goodbye box");
}
