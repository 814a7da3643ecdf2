// The ladder query and the ladder window: replies from a peer that answers with fixed bytes,
// the slots, the scroll range and the place digits.
#include "lobby/ui/ladder_window.h"

#include <QApplication>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include "lobby/app/resource_loader.h"
#include "lobby/data/process_state.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_pictures.h"
#include "tests/support/game_folder.h"

namespace {

// A database server stand-in that answers every connection with the same bytes.
class FixedReplyServer : public QTcpServer {
  public:
    FixedReplyServer(const QString& address, QByteArray reply) : reply_(std::move(reply)) {
        listen(QHostAddress(address), 1694);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                s->readAll();
                s->write(reply_);
                s->disconnectFromHost();
            });
        });
    }

  private:
    QByteArray reply_;
};

std::vector<zrt::LadderEntry> ladder(int rows) {
    std::vector<zrt::LadderEntry> entries;
    for (int i = 0; i < rows; ++i) {
        zrt::LadderEntry e;
        e.loginName = "PLAYER" + std::to_string(i + 1);
        e.stats.score = static_cast<uint16_t>(1000 - i);
        e.stats.country = 220;
        e.stats.won = static_cast<uint16_t>(i);
        entries.push_back(e);
    }
    return entries;
}

QByteArray bytes(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

}  // namespace

class LadderWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QVERIFY(zrt::LoadLobbyResources(folder_.gameDir(), zrt::Pictures()).ok); }

    void emptyLadderIsAnError() {
        FixedReplyServer server("127.0.11.1", QByteArray(1, '\0'));
        zrt::Process().serverAddress = "127.0.11.1";
        QString shown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&shown] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<zrt::ErrorBox*>(w)) {
                shown = box->message();
                box->close();
            } else if (w && w->windowTitle() == "ZRTH Lobby Ladder") {
                shown = "ladder window";
                w->close();
            }
        });
        watch.start(20);
        zrt::RunLadderQuery(nullptr);
        QCOMPARE(shown, QString("Error receiving ladder information"));
    }

    void threeEntriesShowInOrder() {
        QByteArray reply = bytes(zrt::encodeLadderReply(ladder(3)));
        QCOMPARE(reply.size(), 124);
        FixedReplyServer server("127.0.11.2", reply);
        zrt::Process().serverAddress = "127.0.11.2";
        int rows = -1;
        bool barEnabled = true;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* w = qobject_cast<zrt::LadderWindow*>(QApplication::activeModalWidget())) {
                rows = w->rowCount();
                barEnabled = w->scrollBar()->isEnabled();
                w->grab().save(QString(ZRT_SCREENSHOT_DIR) + "/ladder_three.png");
                w->close();
            }
        });
        watch.start(20);
        zrt::RunLadderQuery(nullptr);
        QCOMPARE(rows, 3);
        QVERIFY(!barEnabled);
    }

    void twelveRowsScrollOneAtATime() {
        zrt::LadderWindow w(ladder(12));
        QCOMPARE(w.scrollBar()->minimum(), 0);
        QCOMPARE(w.scrollBar()->maximum(), 7);
        QVERIFY(w.scrollBar()->isEnabled());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w.topPlace(), 1);
        w.scrollBar()->setValue(7);
        QCOMPARE(w.topPlace(), 7);   // the last slot now shows place 12
        w.scrollBar()->setValue(4);  // places 5..9 and 10: one digit, then two
        QDir().mkpath(ZRT_SCREENSHOT_DIR);
        QVERIFY(w.grab().save(QString(ZRT_SCREENSHOT_DIR) + "/ladder_window.png"));
    }

    void tooManyRowsAreCut() {
        zrt::LadderWindow w(ladder(120));
        QCOMPARE(w.rowCount(), 99);
    }

  private:
    TestGameFolder folder_;
};

QTEST_MAIN(LadderWindowTest)
#include "ladder_window_test.moc"
