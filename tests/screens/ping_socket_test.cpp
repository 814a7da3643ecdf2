// Two ping sockets on their own loopback addresses: probes answered to the sender, results to
// the asking window, abandonment by a probe for another window, the sequence wrap, and a port
// that cannot be bound.
#include "lobby/platform/ping_socket.h"

#include <QSignalSpy>
#include <QtTest>

class PingSocketTest : public QObject {
    Q_OBJECT
  private slots:
    void probeIsAnsweredAndTimed() {
        zrt::PingSocket a(nullptr, QHostAddress("127.0.14.1"));
        zrt::PingSocket b(nullptr, QHostAddress("127.0.14.2"));
        QVERIFY(a.usable() && b.usable());
        QObject window;
        QSignalSpy results(&a, &zrt::PingSocket::finished);
        QElapsedTimer round;
        round.start();
        a.Ping("127.0.14.2", &window, 7);
        QVERIFY(a.pending());
        // The prober still answers others' probes while its own waits.
        QObject other;
        QSignalSpy bResults(&b, &zrt::PingSocket::finished);
        b.Ping("127.0.14.1", &other, 9);
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 1, 5000);
        const double waited = round.elapsed() / 1000.0;
        QCOMPARE(results[0][0].value<QObject*>(), &window);
        QCOMPARE(results[0][1].toUInt(), 7u);
        QVERIFY(results[0][2].toBool());
        // The delay is the probe's own round trip: never negative, never longer than the
        // test waited for it, and what the socket keeps as the last delay.
        const double delay = results[0][3].toDouble();
        QVERIFY2(delay >= 0.0 && delay <= waited, qPrintable(QString::number(delay)));
        QCOMPARE(a.lastDelay(), delay);
        QTRY_COMPARE_WITH_TIMEOUT(bResults.count(), 1, 5000);
        QVERIFY(bResults[0][2].toBool());
        // The second answer to the doubled probe finds nothing pending: once the answer to a
        // later probe is in, the earlier answers have been read, and only that probe reported.
        QObject later;
        a.Ping("127.0.14.2", &later, 8);
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 2, 5000);
        QCOMPARE(results[1][0].value<QObject*>(), &later);
        QCoreApplication::sendPostedEvents(&a, QEvent::MetaCall);
        QCOMPARE(results.count(), 2);
    }

    void probeForAnotherWindowAbandonsTheFirst() {
        zrt::PingSocket a(nullptr, QHostAddress("127.0.14.3"));
        QObject first, second;
        QSignalSpy results(&a, &zrt::PingSocket::finished);
        a.Ping("127.0.14.4", &first, 1);  // nobody answers there
        a.Ping("127.0.14.4", &second, 2);
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 1, 5000);
        QCOMPARE(results[0][0].value<QObject*>(), &first);
        QVERIFY(!results[0][2].toBool());
        QCOMPARE(a.lastDelay(), -1.0);
        // The same window asking again replaces its probe silently; Cancel forgets it.
        a.Ping("127.0.14.4", &second, 3);
        a.Cancel(&second);
        QVERIFY(!a.pending());
        QCoreApplication::sendPostedEvents(&a, QEvent::MetaCall);  // a result would be queued
        QCOMPARE(results.count(), 1);
    }

    void sequenceWrapsToOne() {
        QCOMPARE(zrt::PingSocket::nextSequence(0), 1);
        QCOMPARE(zrt::PingSocket::nextSequence(41), 42);
        QCOMPARE(zrt::PingSocket::nextSequence(2147483647), 1);
        QByteArray p = zrt::PingSocket::probePacket(0x01020304);
        QCOMPARE(p, QByteArray("\x00\x04\x03\x02\x01", 5));
    }

    void busyPortEndsPingsAtOnce() {
        zrt::PingSocket first(nullptr, QHostAddress("127.0.14.5"));
        zrt::PingSocket second(nullptr, QHostAddress("127.0.14.5"));
        QVERIFY(first.usable());
        QVERIFY(!second.usable());
        QObject window;
        QSignalSpy results(&second, &zrt::PingSocket::finished);
        second.Ping("127.0.14.6", &window, 0);
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 1, 5000);
        QVERIFY(!results[0][2].toBool());
    }
};

QTEST_MAIN(PingSocketTest)
#include "ping_socket_test.moc"
