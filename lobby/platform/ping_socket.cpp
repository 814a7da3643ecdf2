// The UDP latency probe.
#include "lobby/platform/ping_socket.h"

#include <QMetaObject>
#include <QNetworkDatagram>
#include <limits>

#include "lobby/platform/ping_packet.h"

namespace zrt {

PingSocket::PingSocket(QObject* parent, const QHostAddress& address, quint16 port)
    : QObject(parent), port_(port) {
    usable_ = socket_.bind(address, port);
    if (usable_) connect(&socket_, &QUdpSocket::readyRead, this, &PingSocket::readPending);
}

QByteArray PingSocket::probePacket(int32_t sequence) {
    const PingBytes p = encodePingPacket({kPingProbe, sequence});
    return QByteArray(reinterpret_cast<const char*>(p.data()), static_cast<qsizetype>(p.size()));
}

int32_t PingSocket::nextSequence(int32_t current) {
    if (current <= 0 || current == std::numeric_limits<int32_t>::max()) return 1;
    return current + 1;
}

void PingSocket::report(QObject* window, uint32_t tag, bool answered, double seconds) {
    QMetaObject::invokeMethod(
        this,
        [this, w = QPointer<QObject>(window), tag, answered, seconds] {
            if (w) emit finished(w, tag, answered, seconds);
        },
        Qt::QueuedConnection);
}

void PingSocket::Ping(const QString& address, QObject* window, uint32_t tag) {
    if (pending_ && window_ != window) {
        lastDelay_ = -1.0;
        report(window_, tag_, false, -1.0);
    }
    tag_ = tag;
    window_ = window;
    pending_ = true;
    sequence_ = nextSequence(sequence_);
    QHostAddress target(address);
    if (!usable_ || target.isNull()) {
        // Nothing can answer: a socket we could not bind, or no address to send to.
        pending_ = false;
        lastDelay_ = -1.0;
        report(window, tag, false, -1.0);
        return;
    }
    QByteArray packet = probePacket(sequence_);
    started_.start();
    socket_.writeDatagram(packet, target, port_);
    socket_.writeDatagram(packet, target, port_);
}

void PingSocket::Cancel(QObject* window) {
    if (pending_ && window_ == window) pending_ = false;
}

void PingSocket::readPending() {
    while (socket_.hasPendingDatagrams()) {
        QNetworkDatagram d = socket_.receiveDatagram(256);
        const QByteArray bytes = d.data();
        std::optional<PingPacket> packet = decodePingPacket(
            reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        if (!packet) continue;
        if (packet->kind == kPingProbe) {
            // Someone else's probe: answer it where it came from.
            const PingBytes answer = encodePingPacket({kPingAnswer, packet->sequence});
            socket_.writeDatagram(reinterpret_cast<const char*>(answer.data()),
                                  static_cast<qint64>(answer.size()), d.senderAddress(),
                                  static_cast<quint16>(d.senderPort()));
            continue;
        }
        if (!pending_ || packet->kind != kPingAnswer || packet->sequence != sequence_) continue;
        pending_ = false;
        lastDelay_ = static_cast<double>(started_.elapsed()) * 0.001;
        report(window_, tag_, true, lastDelay_);
    }
}

}  // namespace zrt
