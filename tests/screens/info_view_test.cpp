// The lobby screen's left column over a real session: what it paints (buttons, hall name and
// count, the user's figures and portrait), the buttons' hover pictures and tool-tips, and
// what each button does.
#include "lobby/app/info_view.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "lobby/app/resource_loader.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_lists.h"
#include "lobby/data/url_shortcut.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "lobby/session/session_ui.h"
#include "lobby/ui/confirm_box.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_pictures.h"
#include "tests/support/game_folder.h"
#include "tests/support/hall_fixture.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/screenshot.h"
#include "tests/support/url_recorder.h"

namespace {

void clickChild(QWidget* box, const char* name) {
    auto* button = box->findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

bool sameImage(const QImage& shot, const QRect& where, const QImage& picture) {
    return shot.copy(where).convertToFormat(QImage::Format_RGB32) ==
           picture.convertToFormat(QImage::Format_RGB32);
}

// Whether some pixel in the area is near the colour (text edges are smoothed).
bool hasColour(const QImage& shot, const QRect& where, const QColor& colour) {
    for (int y = where.top(); y <= where.bottom(); ++y)
        for (int x = where.left(); x <= where.right(); ++x) {
            const QColor c(shot.pixel(x, y));
            if (std::abs(c.red() - colour.red()) < 70 &&
                std::abs(c.green() - colour.green()) < 70 &&
                std::abs(c.blue() - colour.blue()) < 70)
                return true;
        }
    return false;
}

zrt::PlayerEntry player(uint32_t id, const std::string& name) {
    zrt::PlayerEntry p;
    p.id = id;
    p.address = "10.2.0.1";
    p.name = name;
    p.score = 100;
    return p;
}

// The column in a hall of three players (the own one included), 200 at most.
struct Column {
    zrt::LobbySession session;
    zrt::test::RecordingSender sender;
    zrt::test::QuietUi ui;
    zrt::SessionDispatcher dispatcher{session, sender, ui};
    zrt::LobbyContext ctx;
    zrt::InfoView view{ctx};
    int halls = 0, quits = 0, retitles = 0;

    explicit Column(const QString& gameDir) {
        ctx.session = &session;
        ctx.gameDir = gameDir;
        ctx.hallName = "Emerald Hall";
        ctx.maxPlayers = 200;
        session.enterHall(player(0, "Zed"), false);
        session.ownPlayerId = 1000;
        feed(zrt::encodeWelcome(7));
        feed(zrt::encodePlayerInfo(player(31, "Ann")));
        feed(zrt::encodePlayerInfo(player(32, "Bob")));
        feed(zrt::encodeStateEnd());
        view.backToHalls = [this] { ++halls; };
        view.quitLobby = [this] { ++quits; };
        view.retitle = [this] { ++retitles; };
        view.show();
    }
    void feed(const std::vector<uint8_t>& m) { dispatcher.DispatchMessage(m.data(), m.size()); }
    void click(zrt::InfoView::Button b) {
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.buttonRect(b).center());
    }
};

}  // namespace

class InfoViewTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        folder_ = std::make_unique<TestGameFolder>();
        QVERIFY(zrt::LoadLobbyResources(folder_->gameDir(), zrt::Pictures()).ok);
        zrt::ProfileEntry& me = zrt::Profiles().currentPlayer;
        me.loginName = "ZED";
        me.portrait = 5;
        me.country = 220;
        me.score = 1234;
        me.won = 17;
        me.lost = 9;
        me.quit = 2;
    }

    void paintsTheHallAndTheUser() {
        Column c(folder_->gameDir());
        QCOMPARE(c.view.size(), QSize(110, 390));
        QCOMPARE(c.view.playerCountText(), QString("3 / 200"));
        const QImage shot = c.view.grab().toImage();
        QVERIFY(c.retitles > 0);  // every repaint retitles the frame

        QCOMPARE(QColor(shot.pixel(1, 1)), QColor(90, 90, 90));
        QCOMPARE(QColor(shot.pixel(108, 200)), QColor(90, 90, 90));
        zrt::LobbyPictures& pics = zrt::Pictures();
        const QImage normal[] = {pics.bChall.image(), pics.bLadder.image(), pics.bZRHome.image(),
                                 pics.bLQuit.image()};
        const int tops[] = {9, 35, 61, 87};
        for (int b = 0; b < 4; ++b) {
            const QRect where(QPoint(8, tops[b]), normal[b].size());
            QCOMPARE(c.view.buttonRect(zrt::InfoView::Button(b)), where);
            QVERIFY(sameImage(shot, where, normal[b]));
        }

        // White boxes with black writing: the hall's name, the count, six figures.
        QCOMPARE(QColor(shot.pixel(5, 120)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(104, 156)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(4, 120)), QColor(90, 90, 90));
        QVERIFY(hasColour(shot, QRect(5, 120, 100, 17), Qt::black));
        QVERIFY(hasColour(shot, QRect(5, 140, 100, 17), Qt::black));
        for (int y = 253; y <= 328; y += 15) {
            QCOMPARE(QColor(shot.pixel(2, y)), QColor(Qt::white));
            QCOMPARE(QColor(shot.pixel(107, y + 12)), QColor(Qt::white));
            QVERIFY(hasColour(shot, QRect(3, y, 30, 13), Qt::black));   // label
            QVERIFY(hasColour(shot, QRect(33, y, 75, 13), Qt::black));  // value
        }
        QVERIFY(hasColour(shot, QRect(10, 172, 95, 14), QColor(255, 255, 0)));

        // The favourite nation's portrait, centred, its bottom edge at 247.
        const QImage portrait = pics.portraits[5].image();
        QVERIFY(!portrait.isNull());
        const QRect where((110 - portrait.width()) / 2, 247 - portrait.height(), portrait.width(),
                          portrait.height());
        QVERIFY(sameImage(shot, where, portrait));
        screenshot(c.view, "info_view");

        // Another player arrives: the count follows on the next paint.
        c.feed(zrt::encodePlayerInfo(player(33, "Cid")));
        QCOMPARE(c.view.playerCountText(), QString("4 / 200"));
        // Before the welcome the table is empty: the count never shows less than one.
        c.session.enterHall(player(0, "Zed"), false);
        QCOMPARE(c.view.playerCountText(), QString("1 / 200"));
    }

    void buttonsLightUpUnderTheMouse() {
        Column c(folder_->gameDir());
        zrt::LobbyPictures& pics = zrt::Pictures();
        const QRect ladder = c.view.buttonRect(zrt::InfoView::Ladder);
        QTest::mouseMove(&c.view, ladder.center());
        QCOMPARE(c.view.hotButton(), int(zrt::InfoView::Ladder));
        QCOMPARE(c.view.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(sameImage(c.view.grab().toImage(), ladder, pics.bLadder2.image()));

        QTest::mouseMove(&c.view, QPoint(50, 200));
        QCOMPARE(c.view.hotButton(), -1);
        QCOMPARE(c.view.cursor().shape(), Qt::ArrowCursor);
        QVERIFY(sameImage(c.view.grab().toImage(), ladder, pics.bLadder.image()));

        // Each button has its tool-tip; elsewhere there is none.
        const char* tips[] = {
            "Click here to return to the Halls Page", "Click here to view the Zerathon Ladder",
            "Click here to launch the Zerathon home page", "Click here to close the Lobby"};
        for (int b = 0; b < 4; ++b) {
            const QPoint at = c.view.buttonRect(zrt::InfoView::Button(b)).center();
            QHelpEvent help(QEvent::ToolTip, at, c.view.mapToGlobal(at));
            QApplication::sendEvent(&c.view, &help);
            QTRY_COMPARE(QToolTip::text(), QString::fromLatin1(tips[b]));
        }
        QHelpEvent none(QEvent::ToolTip, QPoint(50, 300), c.view.mapToGlobal(QPoint(50, 300)));
        QApplication::sendEvent(&c.view, &none);
        QTRY_VERIFY(QToolTip::text().isEmpty());
    }

    // The buttons' tips show while another window is active, without a click into this one.
    void tipsShowInAnInactiveWindow() {
        Column c(folder_->gameDir());
        QToolTip::hideText();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!c.view.isActiveWindow());
        QTest::mouseMove(&c.view, c.view.buttonRect(zrt::InfoView::Ladder).center());
        QTRY_COMPARE_WITH_TIMEOUT(QToolTip::text(),
                                  QString("Click here to view the Zerathon Ladder"), 10000);
        QToolTip::hideText();
    }

    void hallsAndQuit() {
        Column c(folder_->gameDir());
        c.click(zrt::InfoView::Halls);
        QCOMPARE(c.halls, 1);
        QCOMPARE(c.quits, 0);

        // Quit asks first: NO, Esc, then YES.
        QString question;
        AnswerNextModal([&](QWidget* w) {
            auto* box = qobject_cast<zrt::ConfirmBox*>(w);
            QVERIFY(box);
            question = box->firstLine()->text();
            QVERIFY(box->secondLine()->text().isEmpty());
            clickChild(box, "no");
        });
        QTest::mouseMove(&c.view, c.view.buttonRect(zrt::InfoView::Quit).center());
        QCOMPARE(c.view.hotButton(), int(zrt::InfoView::Quit));
        c.click(zrt::InfoView::Quit);
        QCOMPARE(question, QString("Do you really want to quit now ?"));
        QCOMPARE(c.quits, 0);
        QCOMPARE(c.view.hotButton(), -1);  // drawn normal again before the question

        AnswerNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        c.click(zrt::InfoView::Quit);
        QCOMPARE(c.quits, 0);

        AnswerNextModal([](QWidget* w) { clickChild(w, "yes"); });
        c.click(zrt::InfoView::Quit);
        QCOMPARE(c.quits, 1);
        QCOMPARE(c.halls, 1);
    }

    void homePageOpensOnlyWebAddresses() {
        Column c(folder_->gameDir());
        UrlRecorder recorder;
        const std::filesystem::path shortcut =
            std::filesystem::path(folder_->gameDir().toStdString()) / "LobbyRes" / "zrthome.url";

        QVERIFY(zrt::WriteUrlShortcut("https://zerathon.example.org/home", shortcut));
        c.click(zrt::InfoView::HomePage);
        QCOMPARE(recorder.opened, QList<QUrl>({QUrl("https://zerathon.example.org/home")}));

        QVERIFY(zrt::WriteUrlShortcut("ftp://zerathon.example.org/home", shortcut));
        c.click(zrt::InfoView::HomePage);
        QVERIFY(zrt::WriteUrlShortcut("file:///etc/passwd", shortcut));
        c.click(zrt::InfoView::HomePage);
        std::filesystem::remove(shortcut);
        c.click(zrt::InfoView::HomePage);
        QCOMPARE(recorder.opened.size(), 1);
    }

    void ladderWithoutServerSaysSo() {
        Column c(folder_->gameDir());
        // Nobody listens on this loopback address.
        zrt::Process().serverAddress = "127.0.63.63";
        ModalWatcher errors;
        QTest::mouseMove(&c.view, c.view.buttonRect(zrt::InfoView::Ladder).center());
        QCOMPARE(c.view.hotButton(), int(zrt::InfoView::Ladder));
        c.click(zrt::InfoView::Ladder);
        // The dialogs took the mouse: the button is not left lit behind them.
        QCOMPARE(c.view.hotButton(), -1);
        QCOMPARE(errors.messages, QStringList{"Error Connecting to the Server.\nPlease Try Later"});
        QCOMPARE(c.halls + c.quits, 0);
    }

  private:
    std::unique_ptr<TestGameFolder> folder_;
};

QTEST_MAIN(InfoViewTest)
#include "info_view_test.moc"
