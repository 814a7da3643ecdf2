// The group and invitation dialogs against a real hall: a LobbySession whose tables are built
// by the dispatcher from encoded lobby messages, GroupActions on top, and a sender that keeps
// what would go to the server player.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "lobby/app/resource_loader.h"
#include "lobby/platform/app_events.h"
#include "lobby/session/group_actions.h"
#include "lobby/ui/create_group_dialog.h"
#include "lobby/ui/group_info_dialog.h"
#include "lobby/ui/invitation_dialog.h"
#include "lobby/ui/invitation_reply_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/saved_game_dialog.h"
#include "lobby/ui/two_column_list_box.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_hall.h"
#include "tests/support/screenshot.h"

using zrt::test::kOwnId;
using zrt::test::makePlayer;

namespace {

// A hall with the own player (1000) and players 2..9, and the context the dialogs get.
struct Hall : zrt::test::LobbyHall {
    Hall() : LobbyHall(9) {}
    std::vector<zrt::test::SentMessage> sentOfCode(uint32_t code) const {
        std::vector<zrt::test::SentMessage> out;
        for (const auto& m : sender.sent)
            if (m.code() == code) out.push_back(m);
        return out;
    }
};

// Receives what the dialogs post to the lobby view.
class EventSink : public QObject {
  public:
    std::vector<std::pair<int, intptr_t>> events;
    bool event(QEvent* e) override {
        if (e->type() >= QEvent::User) {
            auto* app = static_cast<zrt::AppEvent*>(e);
            events.emplace_back(app->number, app->wParam);
            return true;
        }
        return QObject::event(e);
    }
};

}  // namespace

class GroupDialogsTest : public QObject {
    Q_OBJECT
    TestGameFolder folder_;

  private slots:
    void initTestCase() { QVERIFY(zrt::LoadLobbyResources(folder_.gameDir(), zrt::Pictures()).ok); }

    // --- CreateGroupDialog ---
    void createWithoutSavedGamesCannotContinueOne() {
        zrt::CreateGroupDialog d(nullptr, {});
        d.show();
        QVERIFY(!d.savedGameBox()->isEnabled());
        QTest::mouseClick(d.savedGameBox(), Qt::LeftButton);
        QVERIFY(!d.savedGameBox()->isChecked());
        QCOMPARE(d.settings().savedGameChoice, -1);
        QCOMPARE(d.savedGameBox()->toolTip(), QString("Continue an unfinished multiplayer game"));
        QCOMPARE(d.inviteOnlyBox()->toolTip(), QString("Only invited players can join your group"));
    }

    void createTitleFallsBackToWelcome() {
        zrt::CreateGroupDialog d(nullptr, {});
        d.show();
        QVERIFY(d.titleBox()->isChecked());
        QVERIFY(d.titleEdit()->isEnabled());
        QCOMPARE(d.settings().title, std::string("Welcome"));  // checked and empty
        QTest::keyClicks(d.titleEdit(), "Knights of the Round Table forever");
        QCOMPARE(d.titleEdit()->text().size(), 25);
        QCOMPARE(d.settings().title, std::string("Knights of the Round Tab"
                                                 "l"));
        QTest::mouseClick(d.titleBox(), Qt::LeftButton);
        QVERIFY(!d.titleEdit()->isEnabled());
        QCOMPARE(d.settings().title, std::string("Welcome"));
    }

    void createPlayerCount() {
        zrt::CreateGroupDialog d(nullptr, {"GAME1", "LAST"});
        d.show();
        QVERIFY(!d.playersList()->isEnabled());
        QCOMPARE(d.playersList()->currentText(), QString("4"));
        QCOMPARE(d.settings().capacity, 255u);
        QTest::mouseClick(d.playersBox(), Qt::LeftButton);
        QVERIFY(d.playersList()->isEnabled());
        QCOMPARE(d.settings().capacity, 4u);
        d.playersList()->setCurrentIndex(0);
        QCOMPARE(d.playersList()->currentText(), QString("2"));
        QCOMPARE(d.settings().capacity, 2u);
        // A saved game can be chosen now.
        QTest::mouseClick(d.savedGameBox(), Qt::LeftButton);
        QVERIFY(d.savedGameList()->isEnabled());
        QCOMPARE(d.savedGameList()->currentText(), QString("GAME1.SVM"));
        QCOMPARE(d.settings().savedGameChoice, 0);
        QTest::mouseClick(d.inviteOnlyBox(), Qt::LeftButton);
        QVERIFY(d.settings().inviteOnly);
        screenshot(d, "create_group_dialog");
    }

    // --- SavedGameDialog ---
    void savedGameListShowsEveryGame() {
        zrt::SavedGameDialog d(nullptr, {"GAME1", "LAST"});
        QCOMPARE(d.list()->count(), 2);
        QCOMPARE(d.list()->item(1)->text(), QString("LAST.SVM"));
        QCOMPARE(d.choice(), 0);
        d.list()->setCurrentRow(1);
        QCOMPARE(d.choice(), 1);
        d.show();
        screenshot(d, "saved_game_dialog");
        zrt::SavedGameDialog empty(nullptr, {});
        QVERIFY(!empty.list()->isEnabled());
        QCOMPARE(empty.choice(), -1);
    }

    // --- InvitationDialog and InvitationReplyBox ---
    void invitationAcceptJoinsAndDeclineOnlyAnswers() {
        Hall h;
        h.create(50, 2, 4);
        auto details = h.actions.LookUpInvitation(2, 50);
        QVERIFY(details.has_value());
        {
            zrt::InvitationDialog d(nullptr, h.ctx, *details, 50);
            QCOMPARE(d.nameField()->text(), QString("P2"));
            QCOMPARE(d.groupNumberField()->text(), QString("1"));
            QCOMPARE(d.groupTitleField()->text(), QString("G50"));
            d.show();
            screenshot(d, "invitation_dialog");
            d.reject();
            QCOMPARE(d.replyResult(), zrt::GroupResult::Cancelled);
        }
        auto replies = h.sentOfCode(zrt::MSG_INVITE_REPLY);
        QCOMPARE(replies.size(), size_t(1));
        auto reply = zrt::decodeInviteReply(replies[0].bytes.data(), replies[0].bytes.size());
        QVERIFY(reply && !reply->accepted && reply->inviter == 2 && reply->answering == kOwnId);
        QVERIFY(h.sentOfCode(zrt::MSG_GROUP_JOIN).empty());

        h.sender.sent.clear();
        {
            zrt::InvitationDialog d(nullptr, h.ctx, *details, 50);
            d.accept();
            d.reject();  // answered once only
            QCOMPARE(d.replyResult(), zrt::GroupResult::Sent);
        }
        QCOMPARE(h.sender.sent.size(), size_t(2));
        QCOMPARE(h.sender.sent[0].code(), zrt::MSG_INVITE_REPLY);
        QCOMPARE(h.sender.sent[1].code(), zrt::MSG_GROUP_JOIN);
    }

    void invitationReplyTexts() {
        zrt::InvitationReplyBox yes(nullptr, "Ann", true);
        QCOMPARE(yes.nameField()->text(), QString("Ann"));
        QCOMPARE(yes.answerField()->text(), QString("This player has accepted your invitation"));
        yes.show();
        screenshot(yes, "invitation_reply_box");
        zrt::InvitationReplyBox no(nullptr, "Ann", false);
        QCOMPARE(no.answerField()->text(), QString("This player has declined your invitation"));
    }

    // --- GroupInfoDialog ---
    void groupOfSevenTakesNoEighth() {
        Hall h;
        h.create(50, kOwnId, 255);
        for (uint32_t id = 2; id <= 7; ++id) h.join(id, 50);
        auto data = h.session.hall.openGroupDialog();
        QVERIFY(data.has_value());
        zrt::GroupInfoDialog d(h.ctx, *data, nullptr, nullptr);
        QCOMPARE(d.members().size(), size_t(7));
        QCOMPARE(d.memberList()->count(), 7);
        d.memberJoined(8);
        QCOMPARE(d.members().size(), size_t(7));
        QCOMPARE(d.memberList()->count(), 7);
    }

    void removingTheSelectedMemberSelectsTheFirst() {
        Hall h;
        h.create(50, kOwnId, 255);
        h.join(2, 50);
        h.join(3, 50);
        auto data = h.session.hall.openGroupDialog();
        zrt::GroupInfoDialog d(h.ctx, *data, nullptr, nullptr);
        QCOMPARE(d.memberList()->currentRow(), 0);
        QCOMPARE(d.detailName()->text(), QString("Me"));
        d.memberList()->setCurrentRow(2);
        QCOMPARE(d.detailName()->text(), QString("P3"));
        d.memberLeft(3);
        QCOMPARE(d.memberList()->count(), 2);
        QCOMPARE(d.memberList()->currentRow(), 0);
        QCOMPARE(d.detailName()->text(), QString("Me"));
        // Not the selected one: the selection stays.
        d.memberList()->setCurrentRow(1);
        d.memberLeft(kOwnId);
        QCOMPARE(d.memberList()->currentItem()->text(), QString("P2"));
        d.memberLeft(2);
        QCOMPARE(d.memberList()->count(), 0);
        QVERIFY(d.memberList()->currentItem() == nullptr);
        QVERIFY(d.members().empty());
    }

    void groupWhisperGoesToEveryMember() {
        Hall h;
        h.create(50, kOwnId, 255);
        h.join(2, 50);
        h.join(3, 50);
        auto data = h.session.hall.openGroupDialog();
        zrt::GroupInfoDialog d(h.ctx, *data, nullptr, nullptr);
        d.show();
        QTest::keyClicks(d.whisperEdit(), "ready?");
        QTest::keyClick(d.whisperEdit(), Qt::Key_Return);
        auto chats = h.sentOfCode(zrt::MSG_CHAT);
        QCOMPARE(chats.size(), size_t(3));
        std::vector<uint32_t> targets;
        for (const auto& m : chats) {
            auto chat = zrt::decodeChat(m.bytes.data(), m.bytes.size());
            QVERIFY(chat && chat->text == "ready?" && chat->sender == kOwnId && !m.guaranteed);
            targets.push_back(chat->target);
        }
        QCOMPARE(targets, (std::vector<uint32_t>{kOwnId, 2, 3}));
        QVERIFY(d.whisperEdit()->text().isEmpty());
        QVERIFY(d.isVisible());  // Enter does not close the dialog

        // Before the server player is known nothing goes out.
        h.sender.sent.clear();
        h.session.serverPlayerId = 0;
        QTest::keyClicks(d.whisperEdit(), "again");
        QTest::keyClick(d.whisperEdit(), Qt::Key_Return);
        QVERIFY(h.sentOfCode(zrt::MSG_CHAT).empty());
    }

    void launchFollowsTheLaunchableRuleAndPostsTheCount() {
        Hall h;
        EventSink view;
        h.create(50, kOwnId, 3);
        h.join(2, 50);
        auto data = h.session.hall.openGroupDialog();
        QPointer<zrt::GroupInfoDialog> d = new zrt::GroupInfoDialog(h.ctx, *data, &view, nullptr);
        d->show();
        QCOMPARE(d->playGameField()->text(), QString("Start a new game"));
        QVERIFY(!d->launchButton()->isEnabled());
        h.join(3, 50);
        d->memberJoined(3);
        QVERIFY(d->launchButton()->isEnabled());
        h.leave(3, 50);
        d->memberLeft(3);
        QVERIFY(!d->launchButton()->isEnabled());
        h.join(4, 50);
        d->memberJoined(4);
        QVERIFY(d->launchButton()->isEnabled());

        // Chat lines from the session land in its chat list.
        d->chatList().addItem("P2\t~  hello");
        screenshot(*d, "group_info_dialog");

        // No probe socket yet: the ping ends at once.
        d->memberList()->setCurrentRow(1);
        QTest::mouseClick(d->pingButton(), Qt::LeftButton);
        QCOMPARE(d->lastPingField()->text(), QString("Unknown"));
        QCOMPARE(d->pingsPending(), 0);
        d->PingResult(2, true, 0.04);
        QCOMPARE(d->lastPingField()->text(), QString("0.04 sec"));
        QCOMPARE(h.session.hall.player(2)->ping, 0.04f);

        QTest::mouseClick(d->launchButton(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(&view);
        QCOMPARE(view.events.size(), size_t(1));
        QCOMPARE(view.events[0].first, zrt::WM_GROUP_LAUNCH);
        QCOMPARE(view.events[0].second, intptr_t(3));
        QVERIFY(!h.session.hall.read()->groupDialog.open);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(d.isNull());
    }

    void quitAndSessionClose() {
        Hall h;
        h.create(50, kOwnId, 3);
        h.join(2, 50);
        h.sender.onSend = [&h](const std::vector<uint8_t>& m) {
            if (m.size() >= 4 && m[0] == zrt::MSG_GROUP_LEAVE) h.feed(m);  // the server's echo
        };
        auto data = h.session.hall.openGroupDialog();
        QPointer<zrt::GroupInfoDialog> d = new zrt::GroupInfoDialog(h.ctx, *data, nullptr, nullptr);
        d->show();
        QTest::mouseClick(d->quitButton(), Qt::LeftButton);
        QCOMPARE(h.sentOfCode(zrt::MSG_GROUP_LEAVE).size(), size_t(1));
        QCOMPARE(h.ui.count("dialog-close"), size_t(1));
        d->closeFromSession();  // what the frame does on the session's close
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(d.isNull());
        QCOMPARE(h.session.hall.read()->ownGroupId, 0u);
    }
};

QTEST_MAIN(GroupDialogsTest)
#include "group_dialogs_test.moc"
