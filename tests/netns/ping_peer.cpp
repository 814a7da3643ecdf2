// One lobby's ping socket as a stand-alone program, for running two lobbies on two hosts (or
// two network namespaces) against each other.
//
//   ping_peer answer [SECONDS]   bind UDP 9394 on every address and answer probes for SECONDS
//                                (default 30); prints "answering" once bound
//   ping_peer probe ADDRESS      bind UDP 9394 on every address, ping ADDRESS and print
//                                "%.2f sec" (exit 0) or "Unknown" (exit 1) after at most 5 s
//
// While its own probe is pending, the prober also sends itself a probe over loopback from a
// second socket and checks that the ping socket answers it (a lobby keeps answering others
// while it waits); the outcome goes to stderr and a missing answer fails the run.
// Exit 2: bad arguments or port 9394 not bindable.
#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>
#include <cstdlib>

#include "lobby/platform/ping_socket.h"

namespace {

constexpr int kProbeWaitMs = 5000;
constexpr int kMaxAnswerSeconds = 600;
constexpr uint32_t kSelfSequence = 0x5A17E001;  // not a sequence the ping socket would use soon

int usage() {
    std::fprintf(stderr, "usage: ping_peer answer [SECONDS] | ping_peer probe ADDRESS\n");
    return 2;
}

int answer(QCoreApplication& app, int seconds) {
    std::printf("answering on UDP %u for %d s\n", zrt::PingSocket::kPort, seconds);
    std::fflush(stdout);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    return 0;
}

int probe(QCoreApplication& app, zrt::PingSocket& ping, const QString& address) {
    QObject window;  // the asking dialog
    bool answered = false;
    double seconds = -1.0;
    QObject::connect(&ping, &zrt::PingSocket::finished, &app,
                     [&](QObject* w, uint32_t, bool ok, double s) {
                         if (w != &window) return;
                         answered = ok;
                         seconds = s;
                         app.quit();
                     });

    // The self-probe is queued on the ping socket before our own probe goes out, and the ping
    // socket reads nothing before the event loop runs, so it is read while ours is pending.
    QUdpSocket self;
    const bool selfBound = self.bind(QHostAddress::LocalHost, 0);
    QByteArray selfProbe = zrt::PingSocket::probePacket(static_cast<int32_t>(kSelfSequence));
    if (selfBound) self.writeDatagram(selfProbe, QHostAddress::LocalHost, zrt::PingSocket::kPort);
    bool selfAnswered = false;
    bool pendingAtSelfAnswer = false;
    auto readSelf = [&] {
        while (self.hasPendingDatagrams()) {
            QByteArray got = self.receiveDatagram(256).data();
            QByteArray expected = selfProbe;
            expected[0] = 1;
            if (got == expected && !selfAnswered) {
                selfAnswered = true;
                pendingAtSelfAnswer = ping.pending();
            }
        }
    };
    QObject::connect(&self, &QUdpSocket::readyRead, &app, readSelf);

    ping.Ping(address, &window, 0);
    QTimer::singleShot(kProbeWaitMs, &app, &QCoreApplication::quit);
    app.exec();
    // Our answer may have ended the loop before the self-answer was read; give it one bounded
    // look.
    if (selfBound && !selfAnswered && (self.hasPendingDatagrams() || self.waitForReadyRead(1000))) {
        readSelf();
    }

    if (!selfBound) {
        std::fprintf(stderr, "self-probe: no loopback socket, not checked\n");
    } else if (!selfAnswered) {
        std::fprintf(stderr, "self-probe: not answered\n");
    } else {
        // Seen from here only when the answer is read before ours: otherwise it is
        // inconclusive, though the queue order above says it was answered while pending.
        std::fprintf(stderr, "self-probe: answered%s\n",
                     pendingAtSelfAnswer ? " while our own probe was pending"
                                         : " (read after our own probe had ended)");
    }
    if (answered) {
        std::printf("%.2f sec\n", seconds);
    } else {
        std::printf("Unknown\n");
    }
    return answered && (!selfBound || selfAnswered) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) return usage();
    const QString mode = args[1];
    if (mode != "answer" && !(mode == "probe" && args.size() == 3)) return usage();
    int seconds = 30;
    if (mode == "answer" && args.size() >= 3) {
        bool ok = false;
        seconds = args[2].toInt(&ok);
        if (!ok || seconds < 1 || seconds > kMaxAnswerSeconds) return usage();
    }

    zrt::PingSocket ping;
    if (!ping.usable()) {
        std::fprintf(stderr, "UDP port %u cannot be bound\n", zrt::PingSocket::kPort);
        return 2;
    }
    return mode == "answer" ? answer(app, seconds) : probe(app, ping, args[2]);
}
