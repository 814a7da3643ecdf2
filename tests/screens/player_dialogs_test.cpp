// The player-information card, the whisper dialog and the small boxes, against a real hall
// built by the dispatcher from encoded lobby messages.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "lobby/app/resource_loader.h"
#include "lobby/platform/ping_socket.h"
#include "lobby/session/group_actions.h"
#include "lobby/ui/about_box.h"
#include "lobby/ui/goodbye_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/player_info_dialog.h"
#include "lobby/ui/whisper_dialog.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_hall.h"
#include "tests/support/screenshot.h"

using zrt::test::kOwnId;
using zrt::test::makePlayer;

namespace {

// A hall with the own player (1000, "Me") and players 2..5.
struct Hall : zrt::test::LobbyHall {
    Hall() : LobbyHall(5) {}
    zrt::PlayerEntry entry(uint32_t id) { return *session.hall.player(id); }
    // The card is modeless and deletes itself; the test keeps a guarded pointer.
    QPointer<zrt::PlayerInfoDialog> card(uint32_t id) {
        return new zrt::PlayerInfoDialog(ctx, entry(id), nullptr);
    }
};

void closeAndDelete(QPointer<zrt::PlayerInfoDialog>& d) {
    d->accept();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class PlayerDialogsTest : public QObject {
    Q_OBJECT
    TestGameFolder folder_;

  private slots:
    void initTestCase() { QVERIFY(zrt::LoadLobbyResources(folder_.gameDir(), zrt::Pictures()).ok); }

    // --- which buttons a card offers ---
    void ownCardOffersNothingToDo() {
        Hall h;
        h.create(50, kOwnId, 4);
        auto d = h.card(kOwnId);
        QVERIFY(!d->blockBox()->isEnabled());
        QVERIFY(!d->whisperButton()->isEnabled());
        QVERIFY(!d->inviteButton()->isEnabled());
        QVERIFY(d->pingButton()->isEnabled());
        QCOMPARE(d->nameField()->text(), QString("Me"));
        closeAndDelete(d);
        QVERIFY(d.isNull());
    }

    // Disabled buttons and check boxes show grey text, as on every dialog; enabled ones white.
    void disabledControlsAreGrey() {
        Hall h;
        auto d = h.card(kOwnId);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.data()));
        screenshot(*d, "player_info_dialog_own");
        for (QWidget* off : std::initializer_list<QWidget*>{d->inviteButton(), d->whisperButton(),
                                                            d->blockBox()}) {
            const int text = BrightestGrey(*off);
            QVERIFY2(text > qGray(zrt::kDialogGrey.rgb()) + 30, "no text drawn");
            QVERIFY(text <= qGray(zrt::kDisabledTextGrey.rgb()));
        }
        QCOMPARE(BrightestGrey(*d->pingButton()), 255);
        closeAndDelete(d);
    }

    void inviteOnlyIntoRoomOfTheUsersOwnGroup() {
        Hall h;
        auto none = h.card(2);  // the user is in no group
        QVERIFY(!none->inviteButton()->isEnabled());
        QVERIFY(none->whisperButton()->isEnabled());
        closeAndDelete(none);

        h.create(50, kOwnId, 3);
        h.join(2, 50);
        auto member = h.card(2);
        QVERIFY(!member->inviteButton()->isEnabled());
        auto outsider = h.card(3);
        QVERIFY(outsider->inviteButton()->isEnabled());
        outsider->show();
        screenshot(*outsider, "player_info_dialog");
        QTest::mouseClick(outsider->inviteButton(), Qt::LeftButton);
        QVERIFY(!outsider->inviteButton()->isEnabled());
        QCOMPARE(h.sender.sent.size(), size_t(1));
        auto invite =
            zrt::decodeInvite(h.sender.sent[0].bytes.data(), h.sender.sent[0].bytes.size());
        QVERIFY(invite && invite->invited == 3 && invite->groupId == 50 &&
                invite->inviter == kOwnId);

        h.join(4, 50);  // now full
        auto full = h.card(5);
        QVERIFY(!full->inviteButton()->isEnabled());
        for (auto* d : {&member, &outsider, &full}) closeAndDelete(*d);
    }

    void inviteNeedsTheUserToBeHost() {
        Hall h;
        h.create(50, 2, 4);
        h.join(kOwnId, 50);
        auto d = h.card(3);
        QVERIFY(!d->inviteButton()->isEnabled());
        closeAndDelete(d);
    }

    void invitingAPlayerWhoLeftSendsNothing() {
        Hall h;
        h.create(50, kOwnId, 4);
        auto d = h.card(3);
        h.feed(zrt::encodePlayerLeft(3));
        h.sender.sent.clear();
        QTest::mouseClick(d->inviteButton(), Qt::LeftButton);
        QVERIFY(h.sender.sent.empty());
        // Whisper to him is switched off instead of opening.
        QTest::mouseClick(d->whisperButton(), Qt::LeftButton);
        QVERIFY(!d->whisperButton()->isEnabled());
        closeAndDelete(d);
    }

    // --- block and ping ---
    void blockBoxGoesIntoTheBlockListOnClose() {
        Hall h;
        auto d = h.card(2);
        QVERIFY(!d->blockBox()->isChecked());
        QTest::mouseClick(d->blockBox(), Qt::LeftButton);
        QVERIFY(!h.session.hall.isBlocked(2));  // only on close
        closeAndDelete(d);
        QVERIFY(d.isNull());
        QVERIFY(h.session.hall.isBlocked(2));

        auto again = h.card(2);
        QVERIFY(again->blockBox()->isChecked());
        again->blockBox()->setChecked(false);
        again->reject();  // the close box and Cancel do the same
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(again.isNull());
        QVERIFY(!h.session.hall.isBlocked(2));
    }

    void pingWithoutSocketIsUnknownAndResultsAreStored() {
        Hall h;
        auto d = h.card(2);
        QCOMPARE(d->lastPingField()->text(), QString("Unknown"));
        QTest::mouseClick(d->pingButton(), Qt::LeftButton);
        QCOMPARE(d->lastPingField()->text(), QString("Unknown"));
        QVERIFY(!d->pingPending());

        d->PingResult(0, true, 0.04);
        QCOMPARE(d->lastPingField()->text(), QString("0.04 sec"));
        QCOMPARE(h.session.hall.player(2)->ping, 0.04f);
        d->PingResult(0, false, 0);
        QCOMPARE(d->lastPingField()->text(), QString("Unknown"));
        QCOMPARE(h.session.hall.player(2)->ping, -1.0f);
        closeAndDelete(d);

        // A measured ping shows on the next card.
        h.session.hall.setPing(3, 1.5f);
        auto next = h.card(3);
        QCOMPARE(next->lastPingField()->text(), QString("1.50 sec"));
        closeAndDelete(next);
    }

    void pendingPingIsCancelledOnClose() {
        Hall h;
        zrt::PingSocket socket(nullptr, QHostAddress("127.0.14.9"));
        QVERIFY(socket.usable());
        h.ctx.ping = &socket;
        auto d = h.card(2);
        QSignalSpy asked(d.data(), &zrt::PlayerInfoDialog::pingRequested);
        QSignalSpy cancelled(d.data(), &zrt::PlayerInfoDialog::pingCancelled);
        QTest::mouseClick(d->pingButton(), Qt::LeftButton);
        QCOMPARE(d->lastPingField()->text(), QString("Waiting Response..."));
        QVERIFY(d->pingPending());
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked[0][0].toString(), QString("10.0.0.2"));
        closeAndDelete(d);
        QCOMPARE(cancelled.count(), 1);
    }

    void busyPingPortIsExplainedOnce() {
        Hall h;
        zrt::PingSocket holder(nullptr, QHostAddress("127.0.14.10"));
        zrt::PingSocket second(nullptr, QHostAddress("127.0.14.10"));
        QVERIFY(!second.usable());
        h.ctx.ping = &second;
        auto d = h.card(2);
        QTest::mouseClick(d->pingButton(), Qt::LeftButton);
        QCOMPARE(d->lastPingField()->text(), QString(zrt::kPingPortBusy));
        QVERIFY(!d->pingPending());
        QTest::mouseClick(d->pingButton(), Qt::LeftButton);
        QCOMPARE(d->lastPingField()->text(), QString("Unknown"));
        closeAndDelete(d);
    }

    // --- whisper ---
    void whisperSendsOneChatAndEchoesItOnce() {
        Hall h;
        QStringList echoes;
        zrt::WhisperDialog d(nullptr, h.ctx, "P2", 2,
                             [&](const QString& name, uint32_t id, const QString& text) {
                                 echoes << QString("%1 %2 %3").arg(name).arg(id).arg(text);
                             });
        QCOMPARE(d.nameField()->text(), QString("P2"));
        d.show();
        QTest::keyClicks(d.messageEdit(), "meet at the river");
        screenshot(d, "whisper_dialog");
        d.accept();
        QCOMPARE(h.sender.sent.size(), size_t(1));
        auto chat = zrt::decodeChat(h.sender.sent[0].bytes.data(), h.sender.sent[0].bytes.size());
        QVERIFY(chat && chat->sender == kOwnId && chat->target == 2);
        QCOMPARE(chat->text, std::string("meet at the river"));
        QCOMPARE(echoes, QStringList{"Me 1000 meet at the river"});

        zrt::WhisperDialog empty(nullptr, h.ctx, "P2", 2, [&](auto&&...) { echoes << "x"; });
        empty.accept();
        QCOMPARE(h.sender.sent.size(), size_t(1));
        QCOMPARE(echoes.size(), 1);
    }

    // --- the small boxes ---
    void aboutAndGoodbyeBoxes() {
        zrt::AboutBox about(nullptr);
        QCOMPARE(about.windowTitle(), QString("ZRTH Lobby - About"));
        QStringList texts;
        for (auto* l : about.findChildren<QLabel*>()) texts << l->text();
        QVERIFY(texts.contains("Zerathon - Lobby") && texts.contains("Demo Version"));
        about.show();
        screenshot(about, "about_box");

        zrt::GoodbyeBox bye(nullptr);
        texts.clear();
        for (auto* l : bye.findChildren<QLabel*>()) texts << l->text();
        QVERIFY(texts.contains("Zerathon - Lobby ( Demo Version )"));
        QVERIFY(texts.contains("Thanks for Playing !"));
        bye.show();
        screenshot(bye, "goodbye_box");
    }
};

QTEST_MAIN(PlayerDialogsTest)
#include "player_dialogs_test.moc"
