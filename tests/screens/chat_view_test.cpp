// The chat pane in front of a real session and dispatcher: encoded lobby messages fill its
// player and chat lists (through a stand-in for the lobby frame that posts each UI call to the
// pane, as the frame does), and its input sends real MSG_CHAT bytes, recorded by the sender.
#include "lobby/app/chat_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "lobby/app/resource_loader.h"
#include "lobby/data/profile_lists.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "lobby/session/session_ui.h"
#include "lobby/ui/chat_line_output.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/two_column_list_box.h"
#include "tests/support/game_folder.h"
#include "tests/support/hall_fixture.h"
#include "tests/support/screenshot.h"

namespace {

constexpr uint32_t kOwnId = 1000;
constexpr uint32_t kServerId = 7;
constexpr uint32_t kAnn = 21, kBob = 22, kCid = 23, kDee = 24;

// Stands in for the network: every message the pane sends.
class RecordingSender : public zrt::SessionSender {
  public:
    std::vector<zrt::ChatMessage> chats;
    std::vector<bool> guaranteed;
    size_t others = 0;

    void send(const std::vector<uint8_t>& m) override {
        const auto code = zrt::messageCode(m.data(), m.size());
        if (code && *code == zrt::MSG_CHAT) {
            auto chat = zrt::decodeChat(m.data(), m.size());
            QVERIFY(chat.has_value());
            QCOMPARE(m.size(), chat->text.size() + 14);
            chats.push_back(*chat);
            guaranteed.push_back(zrt::deliveryOf(*code) == zrt::Delivery::Guaranteed);
        } else {
            ++others;
        }
    }
};

// Stands in for the lobby frame: what the dispatcher tells the UI is posted to the pane and
// runs when the event loop gets to it, in order.
class PostingUi : public zrt::test::QuietUi {
  public:
    explicit PostingUi(zrt::ChatView& view) : view_(view) {}

    void playerLineAdded(uint32_t id, const std::string& line) override {
        post([this, id, l = QString::fromLatin1(line)] { view_.addPlayerLine(id, l); });
    }
    void playerLineDeleted(uint32_t id) override {
        post([this, id] { view_.deletePlayerLine(id); });
    }
    void chatLine(zrt::ChatTarget target, uint32_t id, const std::string& name,
                  const std::string& text, bool whisper) override {
        if (target != zrt::ChatTarget::ChatList) return;
        post([this, id, n = QString::fromLatin1(name), t = QString::fromLatin1(text), whisper] {
            view_.showChatLine(id, n, t, whisper);
        });
    }
    void repaintPlayerList() override {
        post([this] { view_.repaintPlayerList(); });
    }

  private:
    template <class F>
    void post(F f) {
        QMetaObject::invokeMethod(&view_, std::move(f), Qt::QueuedConnection);
    }
    zrt::ChatView& view_;
};

zrt::PlayerEntry player(uint32_t id, const std::string& name, uint16_t score) {
    zrt::PlayerEntry p;
    p.id = id;
    p.address = "10.1.0." + std::to_string(id);
    p.name = name;
    p.score = score;
    return p;
}

// A hall with the pane, the session and its dispatcher.
struct Hall {
    zrt::LobbySession session;
    RecordingSender sender;
    zrt::LobbyContext ctx;
    zrt::ChatView view{ctx};
    PostingUi ui{view};
    zrt::SessionDispatcher dispatcher{session, sender, ui};

    Hall() {
        ctx.session = &session;
        ctx.sender = &sender;
        session.enterHall(player(0, "Zed", 150), false);
        session.ownPlayerId = kOwnId;
        view.show();
    }

    void feed(const std::vector<uint8_t>& m) {
        dispatcher.DispatchMessage(m.data(), m.size());
        dispatcher.FlushRefresh();
        QCoreApplication::processEvents();
    }
    // The welcome, a snapshot of four players, the state end.
    void enterLive() {
        feed(zrt::encodeWelcome(kServerId));
        feed(zrt::encodePlayerInfo(player(kDee, "dee", 80)));
        feed(zrt::encodePlayerInfo(player(kAnn, "Ann", 120)));
        feed(zrt::encodePlayerInfo(player(kCid, "Cid", 95)));
        feed(zrt::encodePlayerInfo(player(kBob, "bob", 100)));
        feed(zrt::encodeStateEnd());
        sender.chats.clear();
        sender.guaranteed.clear();
        sender.others = 0;
    }
    void say(uint32_t from, const std::string& text, uint32_t target = 0) {
        feed(zrt::encodeChat({from, target, text}));
    }
    int rowOf(zrt::TwoColumnListBox* list, uint32_t id) {
        for (int r = 0; r < list->count(); ++r)
            if (zrt::PlayerIdOfRow(*list, r) == id) return r;
        return -1;
    }
    void type(const QString& text) {
        view.chatInput()->setFocus();
        view.chatInput()->setText(text);
        QTest::keyClick(view.chatInput(), Qt::Key_Return);
    }
};

QStringList lines(const zrt::TwoColumnListBox* list) {
    QStringList out;
    for (int r = 0; r < list->count(); ++r) out << list->item(r)->text();
    return out;
}

QPoint rowCentre(zrt::TwoColumnListBox* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

// A double click as the window system delivers it: press, release, press (a double click),
// release.
void doubleClick(zrt::TwoColumnListBox* list, int row) {
    QWidget* top = list->window();
    const QPoint at = list->viewport()->mapTo(top, rowCentre(list, row));
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, at);
}

}  // namespace

class ChatViewTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        folder_ = std::make_unique<TestGameFolder>();
        QVERIFY(zrt::LoadLobbyResources(folder_->gameDir(), zrt::Pictures()).ok);
        zrt::Profiles().currentPlayer.loginName = "Zed";
    }

    void controlsAndLayout() {
        Hall h;
        zrt::ChatView& v = h.view;
        QCOMPARE(v.size(), QSize(700, 160));
        QCOMPARE(v.chatInput()->geometry(), QRect(93, 3, 427, 25));
        QCOMPARE(v.chatList()->geometry(), QRect(3, 31, 517, 126));
        QCOMPARE(v.playerList()->geometry(), QRect(525, 31, 172, 126));
        QCOMPARE(v.whisperBox()->geometry(), QRect(525, 3, 172, 25));
        QCOMPARE(v.chatInput()->property("controlId").toInt(), 300);
        QCOMPARE(v.playerList()->property("controlId").toInt(), 301);
        QCOMPARE(v.chatList()->property("controlId").toInt(), 302);
        QCOMPARE(v.whisperBox()->property("controlId").toInt(), 303);

        QCOMPARE(v.chatInput()->maxLength(), 100);
        QCOMPARE(v.chatInput()->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(v.chatInput()->palette().color(QPalette::Text), QColor(Qt::white));
        QCOMPARE(v.whisperBox()->text(), QString("Whisper"));
        QCOMPARE(v.whisperBox()->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QCOMPARE(v.chatInput()->toolTip(),
                 QString("Enter message to chat with all players in this hall"));
        QCOMPARE(v.chatList()->toolTip(),
                 QString("Double-click on a message to know who's its sender"));
        QCOMPARE(v.playerList()->toolTip(),
                 QString("Double-click on a player to view his/her information"));
        QCOMPARE(v.whisperBox()->toolTip(),
                 QString("Check this box to whisper to the highlighted player(s)"));

        for (auto* list : {v.chatList(), v.playerList()}) {
            QCOMPARE(list->columnOffset(), 105);
            QVERIFY(list->striped());
            QCOMPARE(list->firstFont().pixelSize(), zrt::ArialFont(11).pixelSize());
        }
        QCOMPARE(v.playerList()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(v.chatList()->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(v.playerList()->highlighting());
        QVERIFY(!v.chatList()->highlighting());

        // The grey pane and the yellow label.
        const QImage shot = v.grab().toImage();
        QCOMPARE(QColor(shot.pixel(1, 100)), QColor(90, 90, 90));
        bool yellow = false;
        for (int y = 3; y < 28 && !yellow; ++y)
            for (int x = 0; x < 93 && !yellow; ++x) {
                const QColor c(shot.pixel(x, y));
                yellow = c.red() > 200 && c.green() > 200 && c.blue() < 90;  // smoothed edges
            }
        QVERIFY(yellow);
        QCOMPARE(QColor(shot.pixel(680, 15)), QColor(90, 90, 90));  // beside "Whisper"

        // Resized: the same rule from the new client size.
        v.resize(800, 200);
        QCOMPARE(v.chatInput()->geometry(), QRect(93, 3, 527, 25));
        QCOMPARE(v.chatList()->geometry(), QRect(3, 31, 617, 166));
        QCOMPARE(v.playerList()->geometry(), QRect(625, 31, 172, 166));
        QCOMPARE(v.whisperBox()->geometry(), QRect(625, 3, 172, 25));
    }

    void playerListFollowsTheSession() {
        Hall h;
        h.feed(zrt::encodeWelcome(kServerId));
        h.feed(zrt::encodePlayerInfo(player(kDee, "dee", 80)));
        h.feed(zrt::encodePlayerInfo(player(kAnn, "Ann", 120)));
        QCOMPARE(h.view.playerList()->count(), 0);  // nothing while the snapshot loads
        h.feed(zrt::encodePlayerInfo(player(kCid, "Cid", 95)));
        h.feed(zrt::encodeStateEnd());
        // Sorted by the text ignoring case; the own player is not listed.
        QCOMPARE(lines(h.view.playerList()), QStringList({"Ann\t120", "Cid\t95", "dee\t80"}));
        QCOMPARE(h.rowOf(h.view.playerList(), kCid), 1);

        h.feed(zrt::encodePlayerInfo(player(kBob, "bob", 100)));
        QCOMPARE(lines(h.view.playerList()),
                 QStringList({"Ann\t120", "bob\t100", "Cid\t95", "dee\t80"}));
        h.feed(zrt::encodePlayerLeft(kCid));
        QCOMPARE(lines(h.view.playerList()), QStringList({"Ann\t120", "bob\t100", "dee\t80"}));

        // Bob and Dee sit in a launched group: their names are highlighted.
        QVERIFY(!h.view.highlightedNames().contains("bob"));
        zrt::GroupCreatedMessage g;
        g.groupId = 5;
        g.creator = kBob;
        g.title = "Duel";
        h.feed(zrt::encodeGroupCreated(g));
        h.feed(zrt::encodeGroupJoin({kDee, 5}));
        h.feed(zrt::encodeLaunch({5, "10.1.0.22"}));
        QVERIFY(h.view.highlightedNames().contains("bob"));
        QVERIFY(h.view.highlightedNames().contains("dee"));
        QVERIFY(!h.view.highlightedNames().contains("Ann"));

        h.view.clearLists();
        QCOMPARE(h.view.playerList()->count(), 0);
        QCOMPARE(h.view.highlightedNames().size(), size_t(0));
    }

    void whispersGoToEverySelectedPlayer() {
        Hall h;
        h.enterLive();
        auto* players = h.view.playerList();
        for (uint32_t id : {kDee, kAnn, kCid})
            players->item(h.rowOf(players, id))->setSelected(true);
        QTest::mouseClick(h.view.whisperBox(), Qt::LeftButton, {}, QPoint(8, 12));
        QVERIFY(h.view.whisperBox()->isChecked());
        h.type("psst, all three");

        // One message per selected line, in list order (Ann, Cid, dee), all plain.
        QCOMPARE(h.sender.chats.size(), size_t(3));
        const uint32_t targets[] = {kAnn, kCid, kDee};
        for (size_t i = 0; i < 3; ++i) {
            QCOMPARE(h.sender.chats[i].sender, kOwnId);
            QCOMPARE(h.sender.chats[i].target, targets[i]);
            QCOMPARE(h.sender.chats[i].text, std::string("psst, all three"));
            QVERIFY(!h.sender.guaranteed[i]);
        }
        // Shown once, as a whisper from the own player.
        QCOMPARE(lines(h.view.chatList()), QStringList({"Zed\t~  psst, all three"}));
        QCOMPARE(zrt::PlayerIdOfRow(*h.view.chatList(), 0), kOwnId);
        QVERIFY(h.view.chatInput()->text().isEmpty());
    }

    void nothingIsSentWithoutTargetOrWelcome() {
        Hall h;
        // Before the welcome the server player is unknown: nothing goes out.
        h.type("too early");
        QVERIFY(h.sender.chats.empty());
        QCOMPARE(h.view.chatInput()->text(), QString("too early"));

        h.enterLive();
        h.view.whisperBox()->setChecked(true);
        h.type("to whom?");
        QVERIFY(h.sender.chats.empty());
        QCOMPARE(h.view.chatInput()->text(), QString("to whom?"));
        QCOMPARE(h.view.chatList()->count(), 0);

        // An empty input sends nothing either.
        h.view.whisperBox()->setChecked(false);
        h.type("");
        QVERIFY(h.sender.chats.empty());
    }

    void hallLineShowsWhenTheRelayArrives() {
        Hall h;
        h.enterLive();
        h.type("hello hall");
        QCOMPARE(h.sender.chats.size(), size_t(1));
        QCOMPARE(h.sender.chats[0], (zrt::ChatMessage{kOwnId, 0, "hello hall"}));
        QVERIFY(!h.sender.guaranteed[0]);
        QVERIFY(h.view.chatInput()->text().isEmpty());
        QCOMPARE(h.view.chatList()->count(), 0);

        // The server's relay to every player, the sender included.
        h.say(kOwnId, "hello hall");
        QCOMPARE(lines(h.view.chatList()), QStringList({"Zed\t:  hello hall"}));

        // Longer than 100 characters: cut to 100 on the wire.
        h.type(QString(130, QLatin1Char('a')));
        QCOMPARE(h.sender.chats.back().text, std::string(100, 'a'));
    }

    void longTextsBreakUnderTheName() {
        Hall h;
        h.enterLive();
        // Room for about forty x's in the second column: 90 of them take three lines.
        const int x = QFontMetrics(h.view.chatList()->firstFont()).horizontalAdvance('x');
        const int scrollBar = h.view.chatList()->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int frame = 2 * h.view.chatList()->frameWidth();
        h.view.resize(183 + frame + 105 + scrollBar + 5 + 40 * x + x / 2, 160);

        const std::string text(90, 'x');
        h.say(kAnn, text);
        QStringList got = lines(h.view.chatList());
        QCOMPARE(got.size(), 3);
        QVERIFY(got[0].startsWith("Ann\t:  x"));
        QVERIFY(got[1].startsWith("\t   x"));
        QVERIFY(got[2].startsWith("\t   x"));
        QString joined;
        for (const QString& line : got) joined += line.section('\t', 1).mid(3);
        QCOMPARE(joined, QString::fromStdString(text));
        for (int r = 0; r < 3; ++r) QCOMPARE(zrt::PlayerIdOfRow(*h.view.chatList(), r), kAnn);

        // A whisper indents its continuations by four blanks.
        h.say(kBob, text, kOwnId);
        got = lines(h.view.chatList()).mid(3);
        QCOMPARE(got.size(), 3);
        QVERIFY(got[0].startsWith("bob\t~  x"));
        QVERIFY(got[1].startsWith("\t    x"));
        QVERIFY(got[2].startsWith("\t    x"));

        // A list too narrow even for the prefix still ends: one character of text per line.
        h.view.chatList()->clear();
        h.view.resize(183 + 50, 160);
        h.say(kAnn, "abc");
        QCOMPARE(lines(h.view.chatList()), QStringList({"Ann\t:  a", "\t   b", "\t   c"}));
    }

    void fullListPushesTheOldestLineOut() {
        Hall h;
        h.enterLive();
        for (int i = 0; i < zrt::kChatListLines; ++i) h.say(kAnn, "line " + std::to_string(i));
        QCOMPARE(h.view.chatList()->count(), 1024);
        QCOMPARE(h.view.chatList()->item(0)->text(), QString("Ann\t:  line 0"));
        h.say(kBob, "one more");
        QCOMPARE(h.view.chatList()->count(), 1024);
        QCOMPARE(h.view.chatList()->item(0)->text(), QString("Ann\t:  line 1"));
        QCOMPARE(h.view.chatList()->item(1023)->text(), QString("bob\t:  one more"));
        // The new line is scrolled into view.
        const QRect last = h.view.chatList()->visualItemRect(h.view.chatList()->item(1023));
        QVERIFY(h.view.chatList()->viewport()->rect().intersects(last));
    }

    void linesOfDepartedPlayersAreDropped() {
        Hall h;
        h.enterLive();
        // Bob's line is on its way to the pane when his departure is received.
        const auto chat = zrt::encodeChat({kBob, 0, "bye"});
        const auto left = zrt::encodePlayerLeft(kBob);
        h.dispatcher.DispatchMessage(chat.data(), chat.size());
        h.dispatcher.DispatchMessage(left.data(), left.size());
        QCoreApplication::processEvents();
        QCOMPARE(h.view.chatList()->count(), 0);
        QCOMPARE(h.rowOf(h.view.playerList(), kBob), -1);

        // Somebody never seen in the hall.
        h.say(999, "who am I");
        h.view.showChatLine(998, "Ghost", "boo", false);
        QCOMPARE(h.view.chatList()->count(), 0);
    }

    void clicksOnTheLists() {
        Hall h;
        h.enterLive();
        h.view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.view));
        std::vector<uint32_t> opened;
        h.view.openPlayerInfo = [&](uint32_t id) { opened.push_back(id); };
        h.say(kAnn, "first");
        h.say(kBob, "second");
        auto* players = h.view.playerList();
        auto* chat = h.view.chatList();
        players->selectAll();
        QCOMPARE(players->selectedItems().size(), 4);

        // Clicking Bob's line leaves Bob the only selected player; the input has the focus.
        chat->setFocus();
        QTest::mouseClick(chat->viewport(), Qt::LeftButton, {}, rowCentre(chat, 1));
        QCOMPARE(players->selectedItems().size(), 1);
        QCOMPARE(players->selectedItems().front()->data(zrt::kPlayerIdRole).toUInt(), kBob);
        QVERIFY(h.view.chatInput()->hasFocus());

        // Whisper box checked now: the answer goes to Bob.
        QTest::mouseClick(h.view.whisperBox(), Qt::LeftButton, {}, QPoint(8, 12));
        QVERIFY(h.view.chatInput()->hasFocus());
        h.type("hi bob");
        QCOMPARE(h.sender.chats.size(), size_t(1));
        QCOMPARE(h.sender.chats[0].target, kBob);

        // Double clicks open the information of the line's sender, or of the listed player.
        doubleClick(chat, 0);
        doubleClick(players, h.rowOf(players, kDee));
        QCOMPARE(opened, (std::vector<uint32_t>{kAnn, kDee}));
        QVERIFY(h.view.chatInput()->hasFocus());

        // A line whose sender has left opens nothing.
        h.feed(zrt::encodePlayerLeft(kAnn));
        doubleClick(chat, 0);
        QCOMPARE(opened.size(), size_t(2));
    }

    void screenshotOfThePane() {
        Hall h;
        h.enterLive();
        zrt::GroupCreatedMessage g;
        g.groupId = 5;
        g.creator = kCid;
        g.title = "Duel";
        h.feed(zrt::encodeGroupCreated(g));
        h.feed(zrt::encodeLaunch({5, "10.1.0.23"}));
        h.say(kAnn, "Anyone for a four player game?");
        h.say(kBob,
              "Count me in, but only after this coffee. It is a long one, so give me "
              "a minute.");
        h.say(kDee, "meet me in group 3", kOwnId);
        h.view.playerList()->item(h.rowOf(h.view.playerList(), kDee))->setSelected(true);
        h.view.whisperBox()->setChecked(true);
        h.type("on my way");
        h.view.chatInput()->setText("typing...");
        screenshot(h.view, "chat_view");
    }

  private:
    std::unique_ptr<TestGameFolder> folder_;
};

QTEST_MAIN(ChatViewTest)
#include "chat_view_test.moc"
