// The groups pane against a real hall built by the dispatcher from encoded lobby messages:
// its height, the row order, what each row draws, the hit areas and what clicks do.
#include "lobby/app/lobby_view.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "lobby/app/lobby_view_paint.h"
#include "lobby/app/resource_loader.h"
#include "lobby/platform/app_events.h"
#include "lobby/session/group_actions.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_pictures.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_hall.h"
#include "tests/support/modal_watcher.h"

using zrt::test::kOwnId;
using zrt::test::makePlayer;

namespace {

// A hall with the own player (1000) and players 2..9, and a pane on it.
struct Pane : zrt::test::LobbyHall {
    std::unique_ptr<zrt::LobbyView> view;
    std::vector<uint32_t> opened;

    Pane() : LobbyHall(9) {
        view = std::make_unique<zrt::LobbyView>(ctx, nullptr);
        view->resize(zrt::kLobbyViewWidth, 390);
        view->setOpenPlayerInfo([this](uint32_t id) { opened.push_back(id); });
        view->show();
    }
    void refresh() { view->refreshGroups(true); }
    void move(QPoint doc) {
        QMouseEvent e(QEvent::MouseMove, view->toViewport(doc),
                      view->viewport()->mapToGlobal(view->toViewport(doc)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &e);
    }
    void click(QPoint doc) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->toViewport(doc));
    }
};

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

bool shows(const QImage& document, QPoint at, const zrt::CachedBitmap& picture) {
    return document.copy(QRect(at, picture.image().size())) == rgb(picture.image());
}

// Middle of member cell k of row r.
QPoint cell(size_t r, int k) {
    return {70 + 50 * k + 22, zrt::RowTop(r) + 50};
}

}  // namespace

class LobbyViewTest : public QObject {
    Q_OBJECT
    TestGameFolder folder_;

  private slots:
    void initTestCase() { QVERIFY(zrt::LoadLobbyResources(folder_.gameDir(), zrt::Pictures()).ok); }

    // --- height and order ---
    void heightFollowsTheGroupCount() {
        Pane p;
        QCOMPARE(p.view->scrollHeight(), 550);
        QCOMPARE(zrt::LobbyScrollHeight(3), 550);
        for (uint32_t g = 1; g <= 4; ++g) p.create(50 + g, g + 1);
        QCOMPARE(p.view->scrollHeight(), 550);  // only a table refresh recomputes it
        p.view->refreshGroups(false);
        QCOMPARE(p.view->scrollHeight(), 550);
        p.refresh();
        QCOMPARE(p.view->scrollHeight(), 640);
        QCOMPARE(p.view->verticalScrollBar()->maximum(), 640 - p.view->viewport()->height());
        // The posted refresh does the same.
        p.leave(2, 51);
        zrt::PostAppEvent(p.view.get(), zrt::WM_GROUPS_REFRESH, 1);
        QCoreApplication::sendPostedEvents(p.view.get());
        QCOMPARE(p.view->scrollHeight(), 550);
    }

    void launchedGroupsFollowTheOpenOnes() {
        Pane p;
        p.create(50, 2, 4, false, /*launched=*/true);
        p.create(60, 3, 4);
        auto rows = p.session.hall.groupRows();
        QCOMPARE(zrt::GroupLineText(rows[0]), QString("Group #2  [ G60 ]"));
        QCOMPARE(zrt::GroupLineText(rows[1]), QString("Group #1  __________ Launched __________"));
        p.refresh();
        p.click(cell(0, 0));
        p.click(cell(1, 0));
        QCOMPARE(p.opened, (std::vector<uint32_t>{3, 2}));
        // The launched row has neither button nor empty places.
        const QImage doc = p.view->renderDocument();
        QVERIFY(shows(doc, {433, zrt::RowTop(0) + 32}, zrt::Pictures().bJoin));
        QVERIFY(!shows(doc, {433, zrt::RowTop(1) + 32}, zrt::Pictures().bJoin));
        QVERIFY(!shows(doc, {120, zrt::RowTop(1) + 25}, zrt::Pictures().boxWait));
    }

    // --- what a row draws ---
    void emptyPlacesOnlyForASetCapacity() {
        Pane p;
        p.create(50, 2, 255);
        p.create(60, 3, 4);
        p.create(70, 4, 3, false, false, /*inviteOnly=*/true);
        p.refresh();
        const QImage doc = p.view->renderDocument();
        const auto& pics = zrt::Pictures();
        for (int place = 1; place < 4; ++place)
            QVERIFY(!shows(doc, {70 + 50 * place, zrt::RowTop(0) + 25}, pics.boxWait));
        for (int place = 1; place < 4; ++place)
            QVERIFY(shows(doc, {70 + 50 * place, zrt::RowTop(1) + 25}, pics.boxWait));
        QVERIFY(!shows(doc, {70 + 50 * 4, zrt::RowTop(1) + 25}, pics.boxWait));
        QVERIFY(shows(doc, {120, zrt::RowTop(2) + 25}, pics.boxInvit));
        // An invitation-only group offers no Join.
        QVERIFY(!shows(doc, {433, zrt::RowTop(2) + 32}, pics.bJoin));
    }

    void scoresShowGemstonesInAGemstoneHall() {
        zrt::MemberView m;
        m.score = 1234;
        m.gemstones = 7;
        QCOMPARE(zrt::MemberScoreText(m, true), QString("1234(7)"));
        QCOMPARE(zrt::MemberScoreText(m, false), QString("1234"));
    }

    // --- hit areas ---
    void clickInTheGapBetweenCellsDoesNothing() {
        Pane p;
        p.create(50, 2, 4);
        p.join(3, 50);
        p.refresh();
        const int t = zrt::RowTop(0);
        p.click({70 + 45 + 3, t + 50});  // between cell 0 and cell 1
        p.move({70 + 45 + 3, t + 50});
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::None);
        QVERIFY(p.opened.empty());
        p.click({70 + 50 + 45, t + 50});  // last pixel of cell 1
        p.click({71, t + 25});            // first of cell 0
        QCOMPARE(p.opened, (std::vector<uint32_t>{3, 2}));
        p.click({70 + 100 + 10, t + 50});  // an empty place is no member
        QCOMPARE(p.opened.size(), size_t(2));
        p.move(cell(0, 1));
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::MemberCell);
        QCOMPARE(p.view->viewport()->cursor().shape(), Qt::PointingHandCursor);
    }

    void launchAndMyGroupAreInactiveUntilTheyApply() {
        Pane p;
        const auto& pics = zrt::Pictures();
        bool shown = false;
        p.view->setShowOwnGroup([&] { shown = true; });
        p.refresh();
        QImage doc = p.view->renderDocument();
        QVERIFY(shows(doc, {154, 135}, pics.bLaunch3));
        QVERIFY(shows(doc, {244, 135}, pics.bMyGrp3));
        QVERIFY(shows(doc, {70, 135}, pics.bCreate));
        p.move({154 + 3, 138});
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::None);
        p.click({244 + 3, 138});
        QVERIFY(!shown);
        p.move({10, 10});

        p.create(50, kOwnId, 2);  // own group, not yet complete
        p.refresh();
        doc = p.view->renderDocument();
        QVERIFY(shows(doc, {154, 135}, pics.bLaunch3));
        QVERIFY(shows(doc, {244, 135}, pics.bMyGrp));
        QVERIFY(shows(doc, {433, zrt::RowTop(0) + 32}, pics.bQuit));
        p.click({244 + 3, 138});
        QVERIFY(shown);

        p.join(2, 50);  // complete: the host may launch
        p.refresh();
        doc = p.view->renderDocument();
        QVERIFY(shows(doc, {154, 135}, pics.bLaunch));
        p.move({154 + 3, 138});
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::Launch);
        QVERIFY(shows(p.view->renderDocument(), {154, 135}, pics.bLaunch2));

        // Launch reaches the frame through the posted launch event, with the member count.
        size_t launched = 0;
        p.view->setLaunchGroup([&launched](size_t members) { launched = members; });
        p.click({154 + 3, 138});
        QTRY_COMPARE(launched, size_t(2));
    }

    // A button whose dialog has closed is not lit again by the next group change: the mouse
    // went to the dialog, and the position the pane saw last is no longer where it is.
    void buttonIsNotLitAgainAfterItsDialog() {
        Pane p;
        p.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.view.get()));
        p.move({70 + 3, 138});
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::Create);
        ModalWatcher errors;  // nobody answers the group id: the creation fails and says so
        AnswerNextModal([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
        p.click({70 + 3, 138});
        QCOMPARE(errors.messages.size(), 1);
        p.refresh();
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::None);
        QVERIFY(shows(p.view->renderDocument(), {70, 135}, zrt::Pictures().bCreate));
    }

    // --- row buttons ---
    void joinAndQuitSendTheirRequests() {
        Pane p;
        p.create(50, 2, 4);
        p.refresh();
        p.move({433 + 2, zrt::RowTop(0) + 34});
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::Join);
        p.click({433 + 2, zrt::RowTop(0) + 34});
        QCOMPARE(p.sender.sent.size(), size_t(1));
        QCOMPARE(p.sender.sent[0].code(), zrt::MSG_GROUP_JOIN);
        QVERIFY(p.sender.sent[0].guaranteed);

        // The echo makes it the own group, and its button Quit.
        p.feed(p.sender.sent[0].bytes);
        p.refresh();
        QCOMPARE(p.view->hot().spot, zrt::LobbyHotSpot::QuitGroup);  // re-tested after refresh
        p.sender.onSend = [&p](const std::vector<uint8_t>& m) { p.feed(m); };
        p.click({433 + 2, zrt::RowTop(0) + 34});
        QCOMPARE(p.sender.sent.back().code(), zrt::MSG_GROUP_LEAVE);
        QCOMPARE(p.session.hall.read()->ownGroupId, 0u);

        // No answer to a leave: the error box says so.
        p.feed(p.sender.sent.front().bytes);
        p.sender.onSend = nullptr;
        p.refresh();
        ModalWatcher errors;
        p.click({433 + 2, zrt::RowTop(0) + 34});
        QTRY_COMPARE(errors.messages.size(), 1);
        QCOMPARE(errors.messages[0], QString(zrt::kCannotConnectText));
    }

    void screenshotOfOpenAndLaunchedGroups() {
        Pane p;
        p.session.gemstoneHall = true;
        p.create(50, 2, 4, false, true);
        p.join(3, 50);
        p.create(60, kOwnId, 3);
        p.join(4, 60);
        p.create(70, 5, 255);
        p.join(6, 70);
        p.join(7, 70);
        p.create(80, 8, 5, false, false, true);
        p.refresh();
        const QString dir = qEnvironmentVariable("ZRT_SCREENSHOT_DIR", ZRT_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        QVERIFY(p.view->grab().save(dir + "/lobby_view.png"));
        QVERIFY(p.view->renderDocument().save(dir + "/lobby_view_document.png"));
    }
};

QTEST_MAIN(LobbyViewTest)
#include "lobby_view_test.moc"
