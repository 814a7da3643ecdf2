// PingSocket: the lobby screen's UDP socket on port 9394. It measures the round trip to another
// player (a 5-byte probe, sent twice, answered by the other lobby with its first byte set to 1)
// and answers every probe it receives to the sender's address and port.
//
// One probe is pending at a time. A probe for another window abandons the pending one (its
// window hears "not answered"); a matching answer, or Cancel, ends it. There is no time-out:
// the asking dialog shows its waiting text until then.
//
// Thread: user interface (the socket's read notifications arrive there).
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QUdpSocket>
#include <cstdint>

namespace zrt {

class PingSocket : public QObject {
    Q_OBJECT
  public:
    static constexpr quint16 kPort = 9394;

    // Binds to the port on `address` (every local address by default). When the port cannot be
    // bound, usable() is false and every ping ends at once as not answered.
    explicit PingSocket(QObject* parent = nullptr,
                        const QHostAddress& address = QHostAddress::AnyIPv4, quint16 port = kPort);

    bool usable() const { return usable_; }

    // Probes `address` on behalf of `window`; the result comes back through `finished`.
    void Ping(const QString& address, QObject* window, uint32_t tag);
    // Forgets the pending probe when it belongs to `window` (no result is reported).
    void Cancel(QObject* window);

    bool pending() const { return pending_; }
    int32_t sequence() const { return sequence_; }
    void setSequence(int32_t sequence) { sequence_ = sequence; }  // tests: the wrap
    double lastDelay() const { return lastDelay_; }

    // A socket that could not be bound is explained to the user once (the first ping after
    // it); later pings just show that they were not answered.
    bool takeUnusableNotice() {
        bool first = !usable_ && !noticeGiven_;
        if (!usable_) noticeGiven_ = true;
        return first;
    }

    // The probe packet: kind 0, the sequence number little-endian.
    static QByteArray probePacket(int32_t sequence);
    // The sequence number after `current`: 1 after 2147483647.
    static int32_t nextSequence(int32_t current);

  signals:
    // Delivered queued, like a posted message: answered with the delay in seconds, or
    // abandoned (answered false, seconds -1).
    void finished(QObject* window, uint32_t tag, bool answered, double seconds);

  private:
    void readPending();
    void report(QObject* window, uint32_t tag, bool answered, double seconds);

    QUdpSocket socket_;
    quint16 port_;
    bool usable_ = false;
    int32_t sequence_ = 0;
    QElapsedTimer started_;
    QPointer<QObject> window_;
    uint32_t tag_ = 0;
    bool pending_ = false;
    double lastDelay_ = -1.0;
    bool noticeGiven_ = false;
};

}  // namespace zrt
